#include "support/Files.h"
#include "support/rtf_test_support.h"

#include "rtf/RtfWriter.h"

#include <QDirIterator>
#include <QTextCursor>
#include <QTextFrame>
#include <QTextTable>
#include <gtest/gtest.h>

using rtftest::readRtf;

namespace {

// Text and tables from `it` to `end`, nested tables inside the cell that holds them:
// "[rows x columns:|cell|cell/|cell|cell/]", each cell its paragraphs' text and its tables.
QString structureOf(QTextFrame::iterator it, QTextFrame::iterator end);

QString structureOf(const QTextTable& table) {
    QString out = QStringLiteral("[%1x%2:").arg(table.rows()).arg(table.columns());
    for (int row = 0; row < table.rows(); ++row) {
        for (int column = 0; column < table.columns(); ++column) {
            const QTextTableCell cell = table.cellAt(row, column);
            if (cell.row() == row && cell.column() == column)
                out += u'|' + structureOf(cell.begin(), cell.end());
        }
        out += u'/';
    }
    return out + u']';
}

QString structureOf(QTextFrame::iterator it, QTextFrame::iterator end) {
    QString out;
    for (; !it.atEnd() && it != end; ++it) {
        if (const auto* table = qobject_cast<const QTextTable*>(it.currentFrame()))
            out += structureOf(*table);
        else if (!it.currentFrame() && !it.currentBlock().text().isEmpty())
            out += it.currentBlock().text() + u' ';
    }
    return out;
}

QString structureOf(const QTextDocument& document) {
    return structureOf(document.rootFrame()->begin(), document.rootFrame()->end());
}

} // namespace

// Every RTF file the tests read, hand-made, from other editors and the fuzz finds, saves the same
// bytes when its save is opened and saved again.
TEST(RtfSaveTwice, EveryTestFileSavesTheSameBytesTwice) {
    QDirIterator files(QStringLiteral(QUILLET_TEST_DATA), {"*.rtf"}, QDir::Files,
                       QDirIterator::Subdirectories);
    int count = 0;
    while (files.hasNext()) {
        const QString path = files.next();
        SCOPED_TRACE(path.toStdString());
        const QByteArray saved = rtf::write(*readRtf(testfiles::read(path)));
        const QByteArray again = rtf::write(*readRtf(saved));
        EXPECT_EQ(again.toStdString(), saved.toStdString());
        ++count;
    }
    EXPECT_GT(count, 100);
}

// Nested tables as the writer writes them read back as the same tables, rows and cells: a
// document built in the editor, and files with tables in cells before and after text, two in one
// cell and three levels deep.
TEST(RtfSaveTwice, NestedTablesReadBackAsTheyWereWritten) {
    QTextDocument built;
    QTextCursor cursor(&built);
    cursor.insertText("intro");
    QTextTable* outer = cursor.insertTable(2, 2);
    cursor = outer->cellAt(0, 0).firstCursorPosition();
    cursor.insertText("before");
    cursor.insertBlock();
    QTextTable* inner = cursor.insertTable(2, 3);
    inner->cellAt(1, 2).firstCursorPosition().insertText("deep");
    cursor = inner->cellAt(0, 0).firstCursorPosition();
    cursor.insertTable(1, 2)->cellAt(0, 1).firstCursorPosition().insertText("deepest");
    cursor = inner->lastCursorPosition();
    cursor.movePosition(QTextCursor::NextBlock);
    cursor.insertText("after");
    outer->cellAt(1, 1).firstCursorPosition().insertText("plain");
    const QString expected = structureOf(built);
    ASSERT_TRUE(expected.contains("[1x2:")) << expected.toStdString();
    const QByteArray written = rtf::write(built);
    EXPECT_EQ(structureOf(*readRtf(written)).toStdString(), expected.toStdString())
        << written.constData();
    // Readers find each nested row by its properties group, and each nested cell by its mark.
    EXPECT_EQ(written.count("{\\*\\nesttableprops\\trowd"), 3) << written.constData();
    EXPECT_EQ(written.count("\\nestrow}"), 3);
    EXPECT_EQ(written.count("\\nestcell"), 8);
    EXPECT_EQ(written.count("\\itap3"), 2);
    EXPECT_EQ(written.count("\\row"), 2);

    const QByteArray files[] = {
        "{\\rtf1\\trowd\\cellx3000\\cellx6000\\pard\\intbl before\\par"
        "\\pard\\intbl\\itap2 a1\\nestcell b1\\nestcell"
        "{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2000\\nestrow}{\\nonesttables\\par}"
        "\\pard\\intbl\\itap2 a2\\nestcell b2\\nestcell"
        "{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2000\\nestrow}{\\nonesttables\\par}"
        "\\pard\\intbl\\itap1 after\\cell\\pard\\intbl plain\\cell\\row\\pard end\\par}",
        "{\\rtf1\\trowd\\cellx3000\\cellx6000\\pard\\intbl x\\cell"
        "\\pard\\intbl\\itap2 c1\\nestcell\\pard\\intbl\\itap3 d1\\nestcell d2\\nestcell"
        "{\\*\\nesttableprops\\trowd\\cellx500\\cellx900\\nestrow}{\\nonesttables\\par}"
        "\\pard\\intbl\\itap2\\nestcell"
        "{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2000\\nestrow}{\\nonesttables\\par}"
        "\\pard\\intbl\\itap1\\cell\\row}",
        "{\\rtf1\\trowd\\cellx3000\\pard\\intbl\\itap2 a\\nestcell"
        "{\\*\\nesttableprops\\trowd\\cellx1400\\nestrow}{\\nonesttables\\par}"
        "\\pard\\intbl\\itap2 z1\\nestcell z2\\nestcell"
        "{\\*\\nesttableprops\\trowd\\cellx700\\cellx1400\\nestrow}{\\nonesttables\\par}"
        "\\pard\\intbl\\itap1 tail\\cell\\row}",
    };
    for (const QByteArray& file : files) {
        SCOPED_TRACE(file.constData());
        const auto read = readRtf(file);
        const QString tables = structureOf(*read);
        ASSERT_TRUE(tables.contains("[") && tables.count(u'[') >= 2) << tables.toStdString();
        const QByteArray saved = rtf::write(*read);
        EXPECT_EQ(structureOf(*readRtf(saved)).toStdString(), tables.toStdString())
            << saved.constData();
    }
}
