#include "files/PaneFile.h"
#include "model/Twips.h"
#include "pane/RichTextBox.h"
#include "support/Files.h"
#include "support/PaneTestSupport.h"
#include "support/ScriptedDesktop.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
class Pane : public ::testing::Test {
protected:
    ScopedScriptedDesktop scripted;
    QTemporaryDir dir;
    RichTextBox pane;
};
} // namespace

TEST_F(Pane, MixedSelectionsReadAsNull) {
    pane.setText("plain bold");
    panetest::select(pane, 6, 4);
    pane.setSelBold(true);
    pane.setSelFontSize(20);
    EXPECT_EQ(pane.SelBold(), true);
    panetest::select(pane, 0, 10);
    EXPECT_EQ(pane.SelBold(), std::nullopt);
    EXPECT_EQ(pane.SelFontSize(), std::nullopt);
    EXPECT_EQ(pane.SelItalic(), false);
    EXPECT_EQ(pane.SelFontName(), "Arial");
}

TEST_F(Pane, BulletsGoOnAndOffManyParagraphsAtOnce) {
    // Many paragraphs at once, past the size of one list: every one of them.
    pane.setText(QString("x\n").repeated(99) + "x");
    panetest::select(pane, 0, int(pane.Text().size()));
    pane.setSelBullet(true);
    EXPECT_EQ(pane.SelBullet(), true);
    pane.setSelBullet(false);
    EXPECT_EQ(pane.SelBullet(), false);
}

TEST_F(Pane, PicturesCopiedInThePaneAreSavedAsTheFileHadThem) {
    // A metafile the pane can only stand in for; copying goes through HTML.
    const QByteArray picture = "{\\pict\\wmetafile8\\picw2540\\pich1270\r\n"
                               "010009000003100000000000030000000000\r\n}";
    const QString file = dir.filePath("logo.rtf");
    ASSERT_TRUE(testfiles::write(file, "{\\rtf1 Logo: " + picture + "\\par}"));
    DocumentFile::load(pane, file);
    pane.selectAll();
    pane.copy();
    pane.moveCursor(QTextCursor::End);
    pane.paste();
    ASSERT_EQ(pane.Text(), QStringLiteral("Logo: \uFFFCLogo: \uFFFC"));
    DocumentFile::save(pane, file);
    EXPECT_EQ(testfiles::read(file).count(picture), 2) << testfiles::read(file).constData();
}
