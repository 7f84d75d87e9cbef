#include "system/RecoveryDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

RecoveryDialog::RecoveryDialog(const QList<KeptWork>& copies, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmRecovery"));
    setWindowTitle(QStringLiteral("Recover unsaved work"));
    auto* layout = new QVBoxLayout(this);
    // Labels guess rich text from what they are given; nothing here is markup.
    const auto addText = [this, layout](const QString& text) {
        auto* label = new QLabel(text, this);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        layout->addWidget(label);
    };
    addText(QStringLiteral("Quillet ended without saving these documents. Their unsaved work was "
                           "kept and can be opened again."));
    if (copies.size() > recoveredAtOnce)
        addText(QStringLiteral("Recover opens the first %1 of these %2 documents; the others "
                               "are kept and offered again at the next start.")
                    .arg(recoveredAtOnce)
                    .arg(copies.size()));

    lstCopies = new QTreeWidget(this);
    lstCopies->setObjectName(QStringLiteral("lstCopies"));
    lstCopies->setAccessibleName(QStringLiteral("Unsaved documents"));
    lstCopies->setRootIsDecorated(false);
    lstCopies->setHeaderLabels(
        {QStringLiteral("Document"), QStringLiteral("File"), QStringLiteral("Kept at")});
    const QLocale locale;
    for (const KeptWork& copy : copies) {
        QString file = copy.path.isEmpty() ? QStringLiteral("(never saved)") : copy.path;
        if (!copy.pathTrusted)
            file += QStringLiteral(" (not a full name: saving asks where)");
        new QTreeWidgetItem(
            lstCopies,
            {copy.caption, file, locale.toString(copy.keptAt.toLocalTime(), QLocale::ShortFormat)});
    }
    for (int column = 0; column < lstCopies->columnCount(); ++column)
        lstCopies->resizeColumnToContents(column);
    layout->addWidget(lstCopies);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* recover =
        buttons->addButton(QStringLiteral("&Recover"), QDialogButtonBox::AcceptRole);
    recover->setObjectName(QStringLiteral("cmdRecover"));
    recover->setDefault(true);
    QPushButton* discard =
        buttons->addButton(QStringLiteral("&Discard"), QDialogButtonBox::DestructiveRole);
    discard->setObjectName(QStringLiteral("cmdDiscard"));
    connect(recover, &QPushButton::clicked, this, [this] {
        choice_ = RecoveryChoice::Recover;
        accept();
    });
    connect(discard, &QPushButton::clicked, this, [this] {
        choice_ = RecoveryChoice::Discard;
        accept();
    });
    layout->addWidget(buttons);
    resize(620, 300);
}

RecoveryChoice RecoveryDialog::ask() {
    choice_ = RecoveryChoice::Later;
    exec();
    return choice_;
}
