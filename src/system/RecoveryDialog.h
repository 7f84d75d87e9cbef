#pragma once

#include "system/Desktop.h"

#include <QDialog>

class QTreeWidget;

// The start-up's question about the work a crashed or killed run left behind: one line per copy
// (its caption, its file and when it was kept), Recover or Discard.
class RecoveryDialog : public QDialog {
    Q_OBJECT

public:
    explicit RecoveryDialog(const QList<KeptWork>& copies, QWidget* parent = nullptr);

    // Shows the dialog until the user chooses; closing it leaves the copies for the next start.
    RecoveryChoice ask();

    QTreeWidget* lstCopies = nullptr;

private:
    RecoveryChoice choice_ = RecoveryChoice::Later;
};
