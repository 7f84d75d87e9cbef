#include "dialogs/ShowFind.h"

#include "dialogs/FindDialog.h"

#include <QLineEdit>

namespace Find {
void ShowFind(QWidget* document, const QString& text, FindDialog::ActivePane activePane,
              FindFocus focus) {
    FindDialog* form = FindDialog::instance(document, std::move(activePane));
    form->txtFind->setText(text);
    // A window manager gives a newly mapped window the focus unless told it was not asked for.
    form->setAttribute(Qt::WA_ShowWithoutActivating, focus == FindFocus::Document);
    form->show();
    form->raise();
    if (focus == FindFocus::Dialog)
        form->activateWindow();
}
} // namespace Find
