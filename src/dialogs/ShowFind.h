#pragma once

#include <QString>

class QWidget;

namespace Module1 {
// Opens the find dialog over `document` (loading it, owned by that window, when it is not
// loaded) with `text` as the text to find. A loaded dialog keeps its range and captions.
void ShowFind(QWidget* document, const QString& text);
} // namespace Module1
