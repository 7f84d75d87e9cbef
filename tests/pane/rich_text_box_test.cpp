#include "files/PaneFile.h"
#include "model/Twips.h"
#include "pane/RichTextBox.h"
#include "support/Files.h"
#include "support/PaneTestSupport.h"
#include "support/ScriptedDesktop.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
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

TEST_F(Pane, ParagraphAttributesInTwips) {
    pane.setText("one\ntwo");
    panetest::select(pane, 0, 5);
    pane.setSelIndent(720);
    pane.setSelHangingIndent(360);
    pane.setSelRightIndent(1440);
    pane.setSelTabStops({720, 1440});
    pane.setSelAlignment(Alignment::Centre);
    EXPECT_EQ(pane.SelIndent(), 720);
    EXPECT_EQ(pane.SelHangingIndent(), 360);
    EXPECT_EQ(pane.SelRightIndent(), 1440);
    EXPECT_EQ(pane.SelTabCount(), 2);
    EXPECT_EQ(pane.SelTabs(1), 1440);
    EXPECT_EQ(pane.SelAlignment(), Alignment::Centre);
    pane.setSelStart(5);
    pane.setSelTabStops({360});
    panetest::select(pane, 0, 5);
    EXPECT_EQ(pane.SelTabCount(), std::nullopt);
}

TEST_F(Pane, EditingKeysTheDesktopDoesNotGiveTextFields) {
    pane.setText("hello");
    panetest::select(pane, 0, 5);
    QTest::keyClick(&pane, Qt::Key_Insert, Qt::ControlModifier);
    QTest::keyClick(&pane, Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(pane.Text(), "");
    QTest::keyClick(&pane, Qt::Key_Insert, Qt::ShiftModifier);
    QTest::keyClick(&pane, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(pane.Text(), "hellohello");
    QTest::keyClick(&pane, Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(pane.Text(), "hello");
}

TEST_F(Pane, BulletsMakeRoomAndSurviveRichText) {
    // Many paragraphs at once, past the size of one list: every one of them.
    pane.setText(QString("x\n").repeated(99) + "x");
    panetest::select(pane, 0, int(pane.Text().size()));
    pane.setSelBullet(true);
    EXPECT_EQ(pane.SelBullet(), true);
    pane.setSelBullet(false);
    EXPECT_EQ(pane.SelBullet(), false);

    // Saved and opened again, still a bullet, and one that goes off.
    pane.setText("item");
    pane.setSelBullet(true);
    const QString file = dir.filePath("bullets.rtf");
    DocumentFile::save(pane, file);
    RichTextBox reloaded;
    DocumentFile::load(reloaded, file);
    EXPECT_EQ(reloaded.Text(), "item");
    EXPECT_EQ(reloaded.SelBullet(), true);
    reloaded.setSelBullet(false);
    EXPECT_EQ(reloaded.SelBullet(), false);
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

TEST_F(Pane, CtrlClickOnALinkOpensItInTheBrowser) {
    const QString file = dir.filePath("link.rtf");
    ASSERT_TRUE(testfiles::write(
        file, "{\\rtf1 See {\\field{\\*\\fldinst HYPERLINK \"https://example.org/x\"}"
              "{\\fldrslt the site}} or {\\field{\\*\\fldinst HYPERLINK \\\\l \"top\"}"
              "{\\fldrslt the top}}.\\par}"));
    DocumentFile::load(pane, file);
    pane.resize(400, 200);
    pane.show();
    auto pointAt = [&](int position) {
        QTextCursor cursor(pane.document());
        cursor.setPosition(position);
        return pane.cursorRect(cursor).center() + QPoint(3, 0);
    };
    const QPoint site = pointAt(pane.Text().indexOf("site"));
    // A plain click edits the link's text; a Ctrl+click opens it, and a link to a place in the
    // document has nowhere to go.
    QTest::mouseClick(pane.viewport(), Qt::LeftButton, Qt::NoModifier, site);
    EXPECT_TRUE(scripted.desktop.openedUrls.isEmpty());
    QTest::mouseClick(pane.viewport(), Qt::LeftButton, Qt::ControlModifier, site);
    EXPECT_EQ(scripted.desktop.openedUrls, QList<QUrl>{QUrl("https://example.org/x")});
    QTest::mouseClick(pane.viewport(), Qt::LeftButton, Qt::ControlModifier,
                      pointAt(pane.Text().indexOf("top")));
    QTest::mouseClick(pane.viewport(), Qt::LeftButton, Qt::ControlModifier,
                      pointAt(pane.Text().indexOf("or")));
    EXPECT_EQ(scripted.desktop.openedUrls.size(), 1);
}

TEST_F(Pane, AFileKeepsItsDefaultTabStops) {
    const QString file = dir.filePath("inch.rtf");
    testfiles::write(file, "{\\rtf1\\deftab1440 a\\tab b}");
    DocumentFile::load(pane, file);
    EXPECT_EQ(Twips::fromLayout(pane.document()->defaultTextOption().tabStopDistance()), 1440);
    DocumentFile::save(pane, file);
    EXPECT_TRUE(testfiles::read(file).contains("\\deftab1440"));
}
