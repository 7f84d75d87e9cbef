#include "support/rtf_test_support.h"

#include "model/DocumentProperties.h"
#include "model/Twips.h"
#include "rtf/RtfWriter.h"

#include <QTextFrame>
#include <QTextTable>
#include <gtest/gtest.h>

using rtftest::plainText;
using rtftest::readRtf;

namespace {

QByteArray withHeader(const QByteArray& body) {
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}"
           "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;\\red255\\green255"
           "\\blue255;}" +
           body + "}";
}

QString describe(QTextFrame::iterator it, const QTextFrame::iterator& end,
                 const QString& separator);

// A table as [rows / one after another], each row's cells | between them, a cell spanning rows
// or columns marked ↓n or →n.
QString describe(const QTextTable& table) {
    QStringList rows;
    for (int row = 0; row < table.rows(); ++row) {
        QStringList cells;
        for (int column = 0; column < table.columns(); ++column) {
            const QTextTableCell cell = table.cellAt(row, column);
            if (cell.row() != row || cell.column() != column)
                continue;
            QString text = describe(cell.begin(), cell.end(), QStringLiteral("¶"));
            if (cell.rowSpan() > 1)
                text += QStringLiteral("↓%1").arg(cell.rowSpan());
            if (cell.columnSpan() > 1)
                text += QStringLiteral("→%1").arg(cell.columnSpan());
            cells << text;
        }
        rows << cells.join(QStringLiteral(" | "));
    }
    return "[" + rows.join(QStringLiteral(" / ")) + "]";
}

// The paragraphs and tables of a frame, `separator` between them.
QString describe(QTextFrame::iterator it, const QTextFrame::iterator& end,
                 const QString& separator) {
    QStringList items;
    for (; !it.atEnd() && it != end; ++it) {
        if (const auto* table = qobject_cast<const QTextTable*>(it.currentFrame()))
            items << describe(*table);
        else
            items << it.currentBlock().text();
    }
    return items.join(separator);
}

QString describe(const QTextDocument& document) {
    return describe(document.rootFrame()->begin(), document.rootFrame()->end(),
                    QStringLiteral("\n"));
}

// The numbers from `first` to `last`, each followed by `separator`.
QByteArray numberedCells(int first, int last, const QByteArray& separator) {
    QByteArray cells;
    for (int i = first; i <= last; ++i)
        cells += QByteArray::number(i) + separator;
    return cells;
}

struct Case {
    const char* name;
    QByteArray body;
    QByteArray shown; // as describe() gives the document
};

// How files of other writers lay tables out, and what each reads as. A document keeps an empty
// paragraph before a table that starts it or a cell, and one after every table.
const Case cases[] = {
    {"rows with their definitions first",
     "x\\par\\trowd\\cellx1000\\cellx2000\\pard\\intbl a\\cell "
     "b\\cell\\row\\trowd\\cellx1000\\cellx2000\\pard\\intbl "
     "c\\cell d\\cell\\row\\pard y",
     "x\n[a | b / c | d]\ny"},
    {"a definition that ends the row, as newer writers repeat it",
     "\\pard\\intbl a\\cell b\\cell{\\trowd\\cellx1000\\cellx3000\\row}\\pard y", "\n[a | b]\ny"},
    {"cells a definition starts without paragraphs in a table", "\\trowd\\cellx1000 a\\cell\\row",
     "\n[a]\n"},
    {"no definition at all, empty cells kept", "\\intbl a\\cell\\cell b\\cell\\row",
     "\n[a |  | b]\n"},
    {"a cell's paragraphs, the last ended by the cell's mark",
     "\\intbl a\\par b\\cell c\\par\\cell\\row", "\n[a¶b | c¶]\n"},
    {"cells merged across",
     "\\trowd\\clmgf\\cellx1000\\clmrg\\cellx2000\\cellx3000\\intbl "
     "a\\cell\\cell b\\cell\\row\\trowd\\cellx1000\\cellx2000\\cellx3000\\intbl "
     "c\\cell d\\cell e\\cell\\row",
     "\n[a→2 | b / c | d | e]\n"},
    {"a wider cell spans the columns other rows make",
     "\\trowd\\cellx2000\\cellx3000\\intbl a\\cell b\\cell\\row"
     "\\trowd\\cellx1000\\cellx2000\\cellx3000\\intbl c\\cell d\\cell e\\cell\\row",
     "\n[a→2 | b / c | d | e]\n"},
    {"a row ending short of the others reaches their end",
     "\\trowd\\cellx1000\\intbl a\\cell\\row\\trowd\\cellx1000\\cellx2000\\intbl b\\cell "
     "c\\cell\\row",
     "\n[a→2 / b | c]\n"},
    {"cells merged down, the text of those below kept",
     "\\trowd\\clvmgf\\cellx1000\\cellx2000\\intbl a\\cell b\\cell\\row"
     "\\trowd\\clvmrg\\cellx1000\\cellx2000\\intbl below\\cell c\\cell\\row"
     "\\trowd\\clvmrg\\cellx1000\\cellx2000\\intbl\\cell d\\cell\\row",
     "\n[a¶below↓3 | b / c / d]\n"},
    {"a cell merged down under one of other width stays a cell",
     "\\trowd\\cellx2000\\intbl a\\cell\\row\\trowd\\clvmrg\\cellx1000\\cellx2000\\intbl b\\cell "
     "c\\cell\\row",
     "\n[a→2 / b | c]\n"},
    {"nested rows defined at their end",
     "\\intbl x\\par\\intbl\\itap2 a\\nestcell b\\nestcell"
     "{\\*\\nesttableprops\\trowd\\cellx500\\cellx1000\\nestrow}"
     "{\\nonesttables\\par}\\intbl\\itap1 \\cell y\\cell\\row",
     "\n[x¶[a | b]¶ | y]\n"},
    {"a table opening a cell, and one in that",
     "\\intbl\\itap3 a\\nestcell\\nestrow\\itap2\\nestcell\\nestrow\\itap1\\cell\\row",
     "\n[¶[¶[a]¶]¶]\n"},
    {"text after a table's last row ends it",
     "\\intbl a\\cell\\row\\pard b\\par\\intbl c\\cell\\row", "\n[a]\nb\n[c]\n"},
    // Cells past the 64th of a row follow its table, a row's worth to a paragraph: a cell holding
    // thousands of them would be laid out whole each time the window shows it.
    {"more cells than a row holds follow its table, the last row's worth just begun",
     "\\trowd\\cellx100\\intbl " + numberedCells(1, 129, "\\cell ") + "\\row\\pard end",
     "\n[" + numberedCells(1, 64, " | ").chopped(3) + "]\n" +
         numberedCells(65, 128, "\t").chopped(1) + "\n129\nend"},
    {"an empty cell past the definitions is a slip, not a cell",
     "\\trowd\\cellx1000\\cellx2000\\intbl a\\cell b\\cell\\cell\\row", "\n[a | b]\n"},
    {"a paragraph marked in a table with no cell after it is a paragraph",
     "\\pard\\intbl stray\\par\\pard body", "stray\nbody"},
    {"a row no cell mark ended is cut short by the next one's definition",
     "\\trowd\\cellx1000\\intbl a\\cell\\row\\intbl lead\\par\\trowd\\cellx1000\\intbl "
     "b\\cell\\row",
     "\n[a]\nlead\n[b]\n"},
    {"a header's rows are its own", "{\\header\\intbl h\\cell i\\cell\\row}\\intbl a\\cell\\row",
     "\n[a]\n"},
};

} // namespace

TEST(RtfTable, ReadsRowsAsTablesOnOneGrid) {
    for (const Case& c : cases) {
        const QByteArray rtf = withHeader(c.body);
        auto document = readRtf(rtf);
        EXPECT_EQ(describe(*document), QString::fromUtf8(c.shown)) << c.name;
        EXPECT_EQ(rtf::readText(rtf), plainText(*document)) << c.name;
    }
}

TEST(RtfTable, WritesTablesThatReadBackAsTheyWere) {
    for (const Case& c : cases) {
        auto document = readRtf(withHeader(c.body));
        const QByteArray written = rtf::write(*document);
        auto reread = readRtf(written);
        EXPECT_EQ(describe(*reread), describe(*document)) << c.name << "\n" << written.constData();
    }
    // What readers of nested tables look for: the nested row's definition at its end, a text for
    // readers without them, and the outer level said again after the nested row.
    const QByteArray nested = rtf::write(*readRtf(withHeader(cases[10].body)));
    EXPECT_TRUE(nested.contains("\\pard\\intbl\\itap2 a\\nestcell")) << nested.constData();
    EXPECT_TRUE(nested.contains("{\\*\\nesttableprops\\trowd")) << nested.constData();
    EXPECT_TRUE(nested.contains("\\nestrow}{\\nonesttables\\par}\r\n\\pard\\intbl\\itap1"))
        << nested.constData();
}

TEST(RtfTable, KeepsWidthsBordersShadingAndPadding) {
    auto document = readRtf(
        withHeader("\\trowd\\trgaph108\\trleft-108\\trqc"
                   "\\clbrdrt\\brdrs\\brdrw20\\brdrcf1\\clbrdrb\\brdrdb\\clcbpat2\\cellx1332"
                   "\\clvertalc\\clpadt60\\clpadft3\\clshdng5000\\clcbpat3\\cellx3000"
                   "\\intbl a\\cell b\\cell\\row"));
    const auto* table =
        qobject_cast<const QTextTable*>(document->rootFrame()->childFrames().value(0));
    ASSERT_TRUE(table);
    const QTextTableFormat format = table->format();
    const QList<QTextLength> widths = format.columnWidthConstraints();
    ASSERT_EQ(widths.size(), 2);
    EXPECT_EQ(Twips::fromLayout(widths[0].rawValue()), 1440);
    EXPECT_EQ(Twips::fromLayout(widths[1].rawValue()), 1668);
    EXPECT_EQ(format.intProperty(DocumentProperty::TableIndent), -108);
    EXPECT_EQ(format.leftMargin(), 0);
    EXPECT_EQ(format.alignment(), Qt::AlignHCenter);

    const QTextTableCellFormat first = table->cellAt(0, 0).format().toTableCellFormat();
    EXPECT_EQ(Twips::fromLayout(first.topBorder()), 20);
    EXPECT_EQ(first.topBorderStyle(), QTextFrameFormat::BorderStyle_Solid);
    EXPECT_EQ(first.topBorderBrush().color(), QColor(255, 0, 0));
    EXPECT_EQ(first.bottomBorderStyle(), QTextFrameFormat::BorderStyle_Double);
    EXPECT_GT(first.bottomBorder(), 0);
    EXPECT_EQ(first.leftBorderStyle(), QTextFrameFormat::BorderStyle_None);
    EXPECT_EQ(first.background().color(), QColor(0, 0, 255));
    EXPECT_EQ(Twips::fromLayout(first.leftPadding()), 108);
    EXPECT_EQ(Twips::fromLayout(first.rightPadding()), 108);

    const QTextTableCellFormat second = table->cellAt(0, 1).format().toTableCellFormat();
    EXPECT_EQ(second.verticalAlignment(), QTextCharFormat::AlignMiddle);
    EXPECT_EQ(Twips::fromLayout(second.topPadding()), 60);
    // Half of the automatic black over white.
    EXPECT_EQ(second.background().color(), QColor(128, 128, 128));

    // Written back, the same widths, borders and shading.
    const QByteArray written = rtf::write(*document);
    for (const char* part : {"\\trgaph108\\trleft-108\\trqc", "\\cellx1332", "\\cellx3000",
                             "\\clbrdrt\\brdrs\\brdrw20\\brdrcf", "\\clbrdrb\\brdrdb\\brdrw10",
                             "\\clvertalc", "\\clpadt60"})
        EXPECT_TRUE(written.contains(part)) << part << "\n" << written.constData();
    EXPECT_EQ(rtf::write(*readRtf(written)), written);
}
