#include "model/DocumentProperties.h"
#include "model/ListNumbers.h"
#include "model/Twips.h"
#include "pane/RichTextBox.h"
#include "support/PaneTestSupport.h"
#include "support/ScriptedDesktop.h"

#include <QFile>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>
#include <gtest/gtest.h>

namespace {
class PaneParagraphs : public ::testing::Test {
protected:
    ScopedScriptedDesktop scripted;
    RichTextBox pane;

    QTextBlock block(int number) const { return pane.document()->findBlockByNumber(number); }

    // Centred, first line at .5 in, following lines at .75 in, a tab stop at 2 in.
    void makeTitle(int paragraph) {
        pane.setSelStart(block(paragraph).position());
        pane.setSelAlignment(Alignment::Centre);
        pane.setSelIndent(720);
        pane.setSelHangingIndent(360);
        pane.setSelTabStops({2880});
    }

    static void expectSameParagraphFormat(const QTextBlock& a, const QTextBlock& b) {
        const QTextBlockFormat x = a.blockFormat();
        const QTextBlockFormat y = b.blockFormat();
        EXPECT_EQ(x.alignment(), y.alignment()) << b.blockNumber();
        EXPECT_EQ(x.leftMargin(), y.leftMargin()) << b.blockNumber();
        EXPECT_EQ(x.textIndent(), y.textIndent()) << b.blockNumber();
        EXPECT_EQ(x.tabPositions(), y.tabPositions()) << b.blockNumber();
    }
};
} // namespace

TEST_F(PaneParagraphs, EveryEnterMakesAParagraphInTheFormatItSplits) {
    pane.setText("Title\nEnd");
    makeTitle(0);
    panetest::select(pane, 0, 5);
    pane.setSelBold(true);
    pane.setSelStart(5);
    QTest::keyClick(&pane, Qt::Key_Return);
    QTest::keyClick(&pane, Qt::Key_Return);
    QTest::keyClicks(&pane, "Next");

    EXPECT_EQ(pane.Text(), "Title\n\nNext\nEnd");
    for (int paragraph : {1, 2})
        expectSameParagraphFormat(block(0), block(paragraph));
    EXPECT_FALSE(block(3).blockFormat().alignment() & Qt::AlignHCenter)
        << "the paragraph after keeps its own format";
    panetest::select(pane, block(2).position(), 4);
    EXPECT_EQ(pane.SelBold(), true);

    // Each Enter is its own step back.
    pane.document()->undo();
    pane.document()->undo();
    EXPECT_EQ(pane.Text(), "Title\n\nEnd");
}

TEST_F(PaneParagraphs, EnterInAnEmptyListParagraphEndsTheListWhereItsNumberStood) {
    pane.setText("item");
    pane.setSelBullet(true);
    pane.setSelStart(4);
    QTest::keyClick(&pane, Qt::Key_Return);
    ASSERT_EQ(pane.Text(), "item\n");
    EXPECT_NE(block(1).textList(), nullptr) << "a new item after an item";

    QTest::keyClick(&pane, Qt::Key_Return);
    EXPECT_EQ(pane.Text(), "item\n") << "no paragraph is added";
    EXPECT_EQ(block(1).textList(), nullptr);
    EXPECT_EQ(pane.SelIndent(), 0);
    EXPECT_EQ(pane.SelHangingIndent(), 0);
    EXPECT_EQ(block(1).blockFormat().leftMargin(), 0);

    QTest::keyClick(&pane, Qt::Key_Return);
    EXPECT_EQ(pane.Text(), "item\n\n") << "then Enter makes paragraphs again";
}

TEST_F(PaneParagraphs, CopiedParagraphsKeepTheirFormatAndAddNoParagraph) {
    pane.setText("Centred\nIndented\tcolumn\nNext one\nAfter");
    pane.setSelStart(0);
    pane.setSelAlignment(Alignment::Centre);
    pane.setSelStart(block(1).position());
    pane.setSelIndent(720);
    pane.setSelTabStops({2880});
    pane.setSelStart(block(2).position());
    pane.setSelIndent(360);
    // From the start of the indented paragraph to the end of the next.
    panetest::select(pane, block(1).position(),
                     block(2).position() + block(2).length() - 1 - block(1).position());
    const auto copied = panetest::copySelection(pane);

    for (const QString& kind : {QStringLiteral("text/rtf"), QStringLiteral("text/html")}) {
        QMimeData only;
        only.setData(kind, copied->data(kind));
        RichTextBox into;
        panetest::paste(into, only);
        EXPECT_EQ(into.Text(), "Indented\tcolumn\nNext one") << kind.toStdString();
        const QTextBlockFormat first = into.document()->firstBlock().blockFormat();
        EXPECT_EQ(Twips::fromLayout(first.leftMargin() + first.textIndent()), 720)
            << kind.toStdString();
        // HTML has no tab stops.
        if (kind == "text/rtf") {
            ASSERT_EQ(first.tabPositions().size(), 1);
            EXPECT_EQ(Twips::fromLayout(first.tabPositions()[0].position), 2880);
        }
        const QTextBlockFormat second = into.document()->lastBlock().blockFormat();
        EXPECT_EQ(Twips::fromLayout(second.leftMargin() + second.textIndent()), 360)
            << kind.toStdString();

        // Inside a paragraph, the pasted text joins it and the paragraph after keeps its format.
        into.setText("<>");
        into.setSelStart(1);
        panetest::paste(into, only);
        EXPECT_EQ(into.Text(), "<Indented\tcolumn\nNext one>") << kind.toStdString();
        EXPECT_EQ(into.document()->firstBlock().blockFormat().leftMargin(), 0);
    }
}

TEST_F(PaneParagraphs, AListPastedFromAnotherWordProcessorKeepsItsNumbersAndItsLastMark) {
    QFile file(QStringLiteral(QUILLET_TEST_DATA "/rtf/office-numbered-list.rtf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QMimeData clipboard;
    clipboard.setData(QStringLiteral("text/rtf"), file.readAll());
    pane.setText("Dear reader,\nYours,");
    pane.setSelStart(block(1).position());
    panetest::paste(pane, clipboard);

    EXPECT_EQ(pane.Text(), "Dear reader,\nCheck the invoice\nSign the order\nPost it back\nYours,");
    QStringList numbers;
    for (int paragraph = 0; paragraph < 5; ++paragraph)
        numbers << ListNumbers::itemText(block(paragraph));
    EXPECT_EQ(numbers, QStringList({"", "1.", "2.", "3.", ""}));
    EXPECT_EQ(block(4).textList(), nullptr) << "the paragraph after keeps its own format";
}

// A page break after a paragraph, and the hidden text of its mark, go with the text after the
// caret; a page break before it stays with the text before. Long paragraphs, which the pane
// breaks itself, split the same way.
TEST_F(PaneParagraphs, EnterKeepsAParagraphsPageBreaksAndHiddenTextAtItsEnds) {
    const struct {
        const char* name;
        int length; // of the paragraph split in the middle
    } cases[] = {{"short paragraph", 10}, {"long paragraph", 40'000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        pane.setText(QString(c.length, u'a'));
        QTextBlockFormat format;
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore |
                                  QTextFormat::PageBreak_AlwaysAfter);
        format.setProperty(DocumentProperty::HiddenText, QVariant::fromValue(QList<int>{1}));
        QTextCursor(pane.document()).mergeBlockFormat(format);
        pane.setSelStart(c.length / 2);
        QTest::keyClick(&pane, Qt::Key_Return);
        ASSERT_EQ(pane.document()->blockCount(), 2);
        const QTextBlockFormat first = block(0).blockFormat();
        const QTextBlockFormat second = block(1).blockFormat();
        EXPECT_EQ(first.pageBreakPolicy(), QTextFormat::PageBreak_AlwaysBefore);
        EXPECT_EQ(second.pageBreakPolicy(), QTextFormat::PageBreak_AlwaysAfter);
        EXPECT_FALSE(first.hasProperty(DocumentProperty::HiddenText));
        EXPECT_TRUE(second.hasProperty(DocumentProperty::HiddenText));
        pane.document()->undo();
        EXPECT_EQ(pane.document()->blockCount(), 1);
        EXPECT_EQ(block(0).blockFormat().pageBreakPolicy(),
                  QTextFormat::PageBreak_AlwaysBefore | QTextFormat::PageBreak_AlwaysAfter);
    }
}
