#include "dialogs/ShowFind.h"

#include "dialogs/frmFindForm.h"

#include <QLineEdit>

namespace Module1 {
void ShowFind(QWidget* document, const QString& text, frmFindForm::ActivePane activePane,
              FindFocus focus) {
    frmFindForm* form = frmFindForm::instance(document, std::move(activePane));
    form->txtFind->setText(text);
    // A window manager gives a newly mapped window the focus unless told it was not asked for.
    form->setAttribute(Qt::WA_ShowWithoutActivating, focus == FindFocus::Document);
    form->show();
    form->raise();
    if (focus == FindFocus::Dialog)
        form->activateWindow();
}
} // namespace Module1
