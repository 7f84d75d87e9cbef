// Tables as the pane's layout places them: where Qt's own layout places them, tab stops counted
// from each cell's edge, rows as tall as their tallest cell, merged cells, tables in cells.
#include "layout/PaneLayout.h"
#include "rtf/RtfReader.h"
#include "storage/DocumentDefaults.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextTable>
#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr qreal pageWidth = 600;

std::unique_ptr<QTextDocument> read(const QByteArray& rtf, bool ownLayout) {
    auto document = std::make_unique<QTextDocument>();
    DocumentDefaults::setUp(*document);
    EXPECT_TRUE(rtf::read(rtf, *document).ok());
    if (ownLayout)
        document->setDocumentLayout(new PaneLayout(document.get()));
    document->setPageSize(QSizeF(pageWidth, -1));
    return document;
}

QByteArray rtfOf(const char* body) {
    return QByteArray("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}}"
                      "{\\colortbl;\\red255\\green0\\blue0;\\red200\\green220\\blue240;}\\f0 ") +
           body + "}";
}

// The paragraph holding `text`.
QTextBlock blockWith(const QTextDocument& document, const QString& text) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.text() == text)
            return block;
    }
    ADD_FAILURE() << "no paragraph " << qPrintable(text);
    return document.begin();
}

QRectF rectOf(QTextDocument& document, const QString& text) {
    return document.documentLayout()->blockBoundingRect(blockWith(document, text));
}

// Where the character at `offset` of the paragraph holding `text` stands on the page.
qreal xOf(QTextDocument& document, const QString& text, int offset) {
    const QTextBlock block = blockWith(document, text);
    (void)document.documentLayout()->blockBoundingRect(block);
    const QTextLayout* layout = block.layout();
    return layout->position().x() + layout->lineForTextPosition(offset).cursorToX(offset);
}

// Two rows of three cells with borders, padding and shading; the middle cell of the first row
// taller than the others; a row whose first two cells are merged; the last cell of the first
// row merged down into the second, taller than both rows; and a paragraph after the table.
const char* const bordered =
    "Before the table.\\par"
    "\\trowd\\trgaph108\\trleft-108"
    "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs"
    "\\brdrw10\\cellx1800"
    "\\clcbpat2\\clbrdrt\\brdrs\\brdrw30\\clbrdrb\\brdrs\\brdrw30\\cellx4000"
    "\\clvmgf\\clbrdrr\\brdrs\\brdrw10\\cellx6000"
    "\\pard\\intbl One\\cell Two words that wrap in a cell this wide, onto a few lines of it"
    "\\par and a second paragraph\\cell Merged down\\par with\\par more\\par lines\\par than"
    "\\par the\\par others\\par need\\cell\\row"
    "\\trowd\\trgaph108\\trleft-108\\clmgf\\cellx1800\\clmrg\\cellx4000\\clvmrg\\cellx6000"
    "\\pard\\intbl Across two\\cell\\cell\\cell\\row"
    "\\pard After the table.\\par";

// A table in a cell, an indented table after an empty paragraph and a centred one before one.
const char* const nested =
    "Start.\\par"
    "\\trowd\\trgaph108\\cellx3000\\cellx6000"
    "\\pard\\intbl\\itap1 Outer one\\par"
    "\\pard\\intbl\\itap2 Inner one\\nestcell{\\nonesttables\\par}Inner two\\nestcell"
    "{\\nonesttables\\par}\\pard\\intbl\\itap2{\\*\\nesttableprops\\trowd\\trgaph108"
    "\\cellx1200\\cellx2800\\nestrow}{\\nonesttables\\par}"
    "\\pard\\intbl\\itap1 Below the inner table\\cell Outer two\\cell"
    "\\pard\\intbl\\itap1{\\trowd\\trgaph108\\cellx3000\\cellx6000\\row}"
    "\\pard Between.\\par\\par"
    "\\trowd\\trgaph108\\trleft720\\cellx2880\\pard\\intbl Indented\\cell\\row"
    "\\pard Between again.\\par"
    "\\trowd\\trgaph108\\trqc\\cellx2880\\pard\\intbl Centred\\cell\\row"
    "\\pard\\par End.\\par";

} // namespace

// A table as pasted from a web page: frames round the table and each cell, space between the
// cells, columns sized by share and by their content.
const char* const html =
    "<p>Before</p><table border=\"1\" cellspacing=\"3\" cellpadding=\"4\" width=\"80%\">"
    "<tr><td width=\"30%\">A share of the width</td><td>Sized by the text in it, which runs "
    "on long enough to wrap</td><td>Short</td></tr>"
    "<tr><td colspan=\"2\">Across two columns</td><td rowspan=\"2\">Down two rows, with "
    "words enough to need more lines than the others</td></tr>"
    "<tr><td>x</td><td><table border=\"1\"><tr><td>in</td><td>side</td></tr></table></td>"
    "</tr></table><p>After</p>";

std::unique_ptr<QTextDocument> fromHtml(bool ownLayout) {
    auto document = std::make_unique<QTextDocument>();
    DocumentDefaults::setUp(*document);
    document->setHtml(QString::fromLatin1(html));
    if (ownLayout)
        document->setDocumentLayout(new PaneLayout(document.get()));
    document->setPageSize(QSizeF(pageWidth, -1));
    return document;
}

TEST(PaneTableLayout, TablesStandWhereQtsOwnLayoutPutsThem) {
    for (const char* body : {bordered, nested, html}) {
        const bool fromWeb = body == html;
        auto own = fromWeb ? fromHtml(true) : read(rtfOf(body), true);
        auto stock = fromWeb ? fromHtml(false) : read(rtfOf(body), false);
        ASSERT_FALSE(own->rootFrame()->childFrames().isEmpty());
        for (QTextBlock a = own->begin(), b = stock->begin(); a.isValid();
             a = a.next(), b = b.next()) {
            if (a.text().isEmpty())
                continue;
            SCOPED_TRACE(a.text().toStdString());
            const QRectF ownRect = own->documentLayout()->blockBoundingRect(a);
            const QRectF stockRect = stock->documentLayout()->blockBoundingRect(b);
            EXPECT_NEAR(ownRect.left(), stockRect.left(), 1.0);
            EXPECT_NEAR(ownRect.top(), stockRect.top(), 1.0);
            EXPECT_NEAR(ownRect.height(), stockRect.height(), 0.5);
            EXPECT_EQ(a.layout()->lineCount(), b.layout()->lineCount());
        }
        EXPECT_NEAR(own->documentLayout()->documentSize().height(),
                    stock->documentLayout()->documentSize().height(), 1.0);
    }
}

TEST(PaneTableLayout, RowsAreAsTallAsTheirTallestCellAndMergedCellsSpanTheirRows) {
    auto document = read(rtfOf(bordered), true);
    const QRectF one = rectOf(*document, "One");
    const QRectF wrapped = rectOf(*document, "and a second paragraph");
    const QRectF merged = rectOf(*document, "need");
    const QRectF across = rectOf(*document, "Across two");
    const QRectF after = rectOf(*document, "After the table.");
    // Cells of a row start on one line; the next row starts below the tallest cell of this one.
    EXPECT_NEAR(one.top(), rectOf(*document, "Merged down").top(), 1);
    EXPECT_GT(across.top(), wrapped.bottom());
    // Columns from the cells' edges: the first cell starts at -108 twips, the second at 1800,
    // their text a cell padding later; the cells merged across start where the first does.
    const QString second =
        QStringLiteral("Two words that wrap in a cell this wide, onto a few lines of it");
    EXPECT_NEAR(rectOf(*document, second).left() - one.left(), (1800 + 108) / 15.0, 1);
    EXPECT_NEAR(across.left(), one.left(), 1);
    // The cell merged down holds eight lines, more than the two rows it spans need otherwise:
    // the second row grows to hold it, and the paragraph after the table follows.
    EXPECT_GE(after.top(), merged.bottom());
    EXPECT_LT(after.top() - merged.bottom(), 8);
}

TEST(PaneTableLayout, TabStopsCountFromTheMarginAndFromEachCellsEdge) {
    // The paragraph before the table counts its stops from the margin as it would without the
    // table; in a cell, from the cell's edge plus its padding.
    const char* body = "\\pard\\li720\\fi360\\tx4320\\tx7200 A\\tab B\\tab C\\par"
                       "\\trowd\\trgaph108\\cellx4000\\cellx8000"
                       "\\pard\\intbl x\\cell\\pard\\intbl\\tx1440 D\\tab E\\cell\\row"
                       "\\pard After.\\par";
    auto document = read(rtfOf(body), true);
    const QString tabbed = QStringLiteral("A\tB\tC");
    const qreal margin = xOf(*document, tabbed, 0) - 1080 / 15.0; // the first line's indent
    EXPECT_NEAR(xOf(*document, tabbed, 2) - margin, 4320 / 15.0, 0.5);
    EXPECT_NEAR(xOf(*document, tabbed, 4) - margin, 7200 / 15.0, 0.5);
    const QString inCell = QStringLiteral("D\tE");
    const qreal cellText = xOf(*document, inCell, 0);
    EXPECT_NEAR(xOf(*document, inCell, 2) - cellText, 1440 / 15.0, 0.5);
    EXPECT_NEAR(cellText - xOf(*document, "x", 0), 4000 / 15.0, 1);
}

TEST(PaneTableLayout, ATableInACellStandsInItsCell) {
    auto document = read(rtfOf(nested), true);
    const QRectF outer = rectOf(*document, "Outer one");
    const QRectF inner = rectOf(*document, "Inner one");
    const QRectF innerTwo = rectOf(*document, "Inner two");
    const QRectF below = rectOf(*document, "Below the inner table");
    EXPECT_GT(inner.top(), outer.bottom() - 1);
    EXPECT_GE(inner.left(), outer.left());
    EXPECT_EQ(inner.top(), innerTwo.top());
    EXPECT_NEAR(innerTwo.left() - inner.left(), 1200 / 15.0, 1);
    EXPECT_GE(below.top(), inner.bottom());
    EXPECT_GT(rectOf(*document, "Between.").top(), below.bottom() - 1);
    // Indented by its row's left edge; centred in the page's width.
    EXPECT_NEAR(rectOf(*document, "Indented").left() - rectOf(*document, "Between.").left(),
                (720 + 108) / 15.0, 1);
    const QRectF centred = rectOf(*document, "Centred");
    EXPECT_GT(centred.left(), 150);
}

TEST(PaneTableLayout, ALongTableIsLaidOutWhereShownAndAnEditLaysOutItsRowAlone) {
    // A table of a thousand rows of two cells between two paragraphs.
    QByteArray body = "Before.\\par";
    for (int row = 0; row < 1000; ++row)
        body += "\\trowd\\trgaph108\\cellx3000\\cellx6000\\pard\\intbl Row " +
                QByteArray::number(row) + "\\cell Second cell of row " + QByteArray::number(row) +
                "\\cell\\row";
    body += "\\pard After.\\par";
    auto document = read(rtfOf(body.constData()), true);
    QAbstractTextDocumentLayout* layout = document->documentLayout();
    const auto laidOut = [&](const QString& text) {
        return blockWith(*document, text).layout()->lineCount() > 0;
    };
    // Shown at its top: the rows far below are not laid out yet.
    QTextBlock top = blockWith(*document, "Row 2");
    (void)layout->blockBoundingRect(top);
    EXPECT_TRUE(laidOut("Row 3"));
    EXPECT_FALSE(laidOut("Row 500"));
    EXPECT_FALSE(laidOut("After."));
    // Going to the end lays out the rows there, and the paragraph after the table stands below
    // the last row wherever the rows between were estimated.
    const QRectF after = layout->blockBoundingRect(blockWith(*document, "After."));
    const QRectF last = layout->blockBoundingRect(blockWith(*document, "Row 999"));
    EXPECT_GT(after.top(), last.bottom() - 1);
    EXPECT_FALSE(laidOut("Row 500"));

    // An edit in a row lays that row out again, not its neighbours: a line of the row below
    // moved aside stays where it was put.
    QTextBlock below = blockWith(*document, "Second cell of row 4");
    QTextLine moved = below.layout()->lineAt(0);
    moved.setPosition(QPointF(1234, 0));
    const qreal rowBelowTop = layout->blockBoundingRect(below).top();
    QTextCursor cursor(blockWith(*document, "Row 3"));
    const qreal oneLine = layout->blockBoundingRect(cursor.block()).height();
    cursor.movePosition(QTextCursor::EndOfBlock);
    cursor.insertText(QStringLiteral(" grows by enough words to wrap onto a second line of its "
                                     "cell, and a third"));
    EXPECT_EQ(below.layout()->lineAt(0).position().x(), 1234);
    // ... and moves the rows after it down by what it grew.
    const QRectF grown = layout->blockBoundingRect(cursor.block());
    EXPECT_GT(grown.height(), 30);
    EXPECT_NEAR(layout->blockBoundingRect(below).top() - rowBelowTop, grown.height() - oneLine, 1);
}
