#pragma once

#include "system/Desktop.h"

#include <QList>
#include <QString>
#include <cstdint>

// The Window menu's suite entries: bring a companion program's window to the front, or have the
// suite's launcher start the program.
namespace Common {

// Entry 0 to 7 of the menu; 3 is the separator and does nothing. Failures are reported.
void startCompanion(int entry);

// Windows whose title contains `title`, letter case ignored: found and the last activation
// attempt succeeded.
bool ActivateByTitle(const QString& title);
// Element 0 of `list` is a placeholder; the matches follow. Returns their number.
int16_t FindWindowsByTitle(QList<Desktop::WindowHandle>& list, const QString& title);
// Appends the matching descendants of `parent`, each window's own descendants before it.
void CollectWindows(QList<Desktop::WindowHandle>& list, Desktop::WindowHandle parent,
                    const QString& pattern);
// At most 255 characters; empty when the window is gone.
QString GetWindowCaption(Desktop::WindowHandle window);

} // namespace Common
