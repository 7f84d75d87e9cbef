#pragma once

#include "dialogs/FindDialog.h"

#include <QString>

class QWidget;

namespace Find {
// Opens the find dialog over `document` (loading it, owned by that window, when it is not
// loaded) with `text` as the text to find. A loaded dialog keeps its range and captions.
// With `focus` Document the dialog opens without taking the keyboard from the document.
enum class FindFocus { Dialog, Document };
void ShowFind(QWidget* document, const QString& text, FindDialog::ActivePane activePane,
              FindFocus focus = FindFocus::Dialog);
} // namespace Find
