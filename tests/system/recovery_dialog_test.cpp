#include "system/RecoveryDialog.h"

#include <QLabel>
#include <QTreeWidget>
#include <gtest/gtest.h>

// Names come from copies on the disk: none is read as markup, which could load a file.
TEST(RecoveryDialog, ShowsNamesAsTextAndSaysWhenSomeWait) {
    const QString html = QStringLiteral("a<img src=/dev/zero>b");
    QList<KeptWork> copies;
    for (int i = 0; i <= recoveredAtOnce; ++i)
        copies.append({html, QStringLiteral("../") + html, QDateTime::currentDateTime(), i != 0});
    RecoveryDialog dialog(copies);
    const QList<QLabel*> labels = dialog.findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 2); // the question and the note on the copies that wait
    for (const QLabel* label : labels)
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_TRUE(labels[1]->text().contains(QString::number(recoveredAtOnce)));
    const QTreeWidgetItem* first = dialog.lstCopies->topLevelItem(0);
    EXPECT_EQ(first->text(0), html);
    EXPECT_TRUE(first->text(1).startsWith(QStringLiteral("../") + html + u' '));
    EXPECT_EQ(dialog.lstCopies->topLevelItem(1)->text(1), QStringLiteral("../") + html);
}
