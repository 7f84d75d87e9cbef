#include "support/ProgramFixture.h"

#include "suite/HelpPage.h"
#include "suite/HelpViewer.h"
#include "support/Files.h"

#include <QImage>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextDocument>

namespace {
class HelpViewer : public ProgramFixture {};
} // namespace

// Beside the program, else in an installed program's data folder.
TEST_F(HelpViewer, StartsTheViewerOnTheHelpFile) {
    scripted.desktop.dataFolder = path("share/quillet");
    writeFile("share/quillet/help.exe", "");
    writeFile("share/quillet/help/qlet.hpt", "");
    Common::StartHelp();
    writeFile("help.exe", "");
    writeFile("help/qlet.hpt", "");
    Common::StartHelp();
    EXPECT_EQ(
        scripted.desktop.started,
        (QList<QStringList>{{path("share/quillet/help.exe"), path("share/quillet/help/qlet.hpt")},
                            {path("help.exe"), path("help/qlet.hpt")}}));
}

// The manual the package ships opens with its title, and its contents links move within it.
TEST(HelpPage, ShowsTheManualAndFollowsOnlyItsOwnSections) {
    HelpPage page;
    page.resize(400, 300);
    page.show();
    ASSERT_TRUE(page.open(QStringLiteral(QUILLET_TEST_DATA "/../../data/help/qlet.hpt")));
    EXPECT_EQ(page.windowTitle(), QStringLiteral("Quillet Help"));
    EXPECT_TRUE(page.toPlainText().contains(QStringLiteral("Exit and restore")));
    emit page.anchorClicked(QUrl(QStringLiteral("#keys")));
    const int atKeys = page.verticalScrollBar()->value();
    EXPECT_GT(atKeys, 0);
    emit page.anchorClicked(QUrl(QStringLiteral("https://example.org/")));
    emit page.anchorClicked(QUrl(QStringLiteral("other.htm#keys")));
    EXPECT_EQ(page.verticalScrollBar()->value(), atKeys);
    EXPECT_TRUE(page.source().isEmpty());
}

// A help file names nothing the viewer reads: pictures and style sheets anywhere stay unread,
// and a file that is not there, or not a file, says so on the page.
TEST(HelpPage, ReadsNothingButTheHelpFile) {
    QTemporaryDir folder;
    const QString secret = folder.filePath(QStringLiteral("secret.png"));
    QImage(4, 4, QImage::Format_RGB32).save(secret);
    const QString help = folder.filePath(QStringLiteral("help.hpt"));
    ASSERT_TRUE(testfiles::write(help, "<img src=\"" + secret.toUtf8() + "\"><img src=\"file://" +
                                           secret.toUtf8() + "\">words"));
    HelpPage page;
    ASSERT_TRUE(page.open(help));
    for (const QString& name : {secret, QStringLiteral("file://") + secret}) {
        const QVariant read = page.document()->resource(QTextDocument::ImageResource, QUrl(name));
        EXPECT_TRUE(read.toByteArray().isEmpty());
        EXPECT_TRUE(read.value<QImage>().isNull());
    }
    EXPECT_EQ(page.windowTitle(), QStringLiteral("Help"));

    for (const QString& bad : {folder.filePath(QStringLiteral("none.hpt")), folder.path()}) {
        EXPECT_FALSE(page.open(bad));
        EXPECT_TRUE(page.toPlainText().startsWith(QStringLiteral("The help file ") + bad));
    }
}
