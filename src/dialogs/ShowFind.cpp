#include "dialogs/ShowFind.h"

#include "dialogs/frmFindForm.h"

#include <QLineEdit>

namespace Module1 {
void ShowFind(QWidget* document, const QString& text) {
    frmFindForm* form = frmFindForm::instance(document);
    form->txtFind->setText(text);
    form->show();
    form->raise();
    form->activateWindow();
}
} // namespace Module1
