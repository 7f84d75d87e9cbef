#include "dialogs/FindEngine.h"
#include "storage/TableText.h"

#include <QTextDocument>
#include <QTextTable>
#include <gtest/gtest.h>

#include <tuple>

using namespace FindEngine;

TEST(FindEngine, BoundsFollowTheRangeAndTheSelection) {
    // Selection 4..7 (start 4, length 3) in a text of 20 characters: all searches everything,
    // up ends before the selection's last character, down starts after the selection and a
    // replace on its last character. Each row: range, find start, replace start, end.
    const std::tuple<Range, int, int, int> rows[] = {
        {All, 1, 1, 21}, {Up, 1, 1, 7}, {Down, 8, 7, 21}};
    for (const auto& [range, findStart, replaceStart, end] : rows) {
        const Bounds find = findBounds(range, 4, 3, 20);
        const Bounds replace = replaceBounds(range, 4, 3, 20);
        EXPECT_EQ(std::make_pair(find.start, find.end), std::make_pair(findStart, end)) << range;
        EXPECT_EQ(std::make_pair(replace.start, replace.end), std::make_pair(replaceStart, end))
            << range;
    }
}

// How letters compare without case is the runtime's InStr test, and walking down a document the
// find dialog's; here, the range's edges and the offsets, in UTF-16 units also for letters
// outside the basic plane.
TEST(FindEngine, FindInRange) {
    struct Row {
        const char* name;
        QString text;
        QString what;
        int start;
        int end;
        std::optional<int> found;
    };
    const QString cat = QStringLiteral("The cat and the hat");
    const Row rows[] = {
        {"a match ending at the last character", "a cat", "cat", 1, 6, 2},
        {"up with the caret at the end misses it", "a cat", "cat", 1, 5, std::nullopt},
        {"a start below 1 searches from the top", cat, "THE", -3, 20, 0},
        {"a start past the end finds nothing", cat, "t", 21, 21, std::nullopt},
        {"an empty text to find is never found", cat, "", 1, 20, std::nullopt},
        {"letters outside the basic plane", QStringLiteral("x\U00010400"),
         QStringLiteral("\U00010428"), 1, 4, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        int start = row.start;
        EXPECT_EQ(findInRange(row.text, row.what, start, row.end), row.found);
        EXPECT_EQ(start, std::max(row.start, 1));
    }
}

TEST(FindEngine, ReplaceAllIsOneUndoStepAndLeavesTheCaretAfterTheLastReplacement) {
    struct Row {
        QString text;
        QString what;
        QString with;
        QString expected;
        std::optional<int> caret;
    };
    // Each search starts just after the caret the previous replacement left.
    const Row rows[] = {
        {"x x", "x", "xx", "xx xx", 5},
        {"aaaa", "aa", "a", "aa", 2},
        {"aabb", "ab", "", "ab", 1},
        {"The the THE", "the", "a", "a a a", 5},
        {"a\nb\na", "a", "c\nd", "c\nd\nb\nc\nd", 9},
        {"nothing here", "word", "x", "nothing here", std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text.toStdString() + " / " + row.what.toStdString());
        QTextDocument document;
        document.setPlainText(row.text);
        document.clearUndoRedoStacks();
        EXPECT_EQ(replaceAll(document, row.text, row.what, row.with), row.caret);
        EXPECT_EQ(document.toPlainText(), row.expected);
        if (row.caret) {
            document.undo();
            EXPECT_EQ(document.toPlainText(), row.text);
            EXPECT_FALSE(document.isUndoAvailable());
        }
    }
}

TEST(FindEngine, ReplaceAllLeavesAnOccurrenceThatRunsAcrossTableCells) {
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText("a\tb");
    QTextTable* table = cursor.insertTable(1, 2);
    table->cellAt(0, 0).firstCursorPosition().insertText("a");
    table->cellAt(0, 1).firstCursorPosition().insertText("b");
    QString text = document.toPlainText();
    TableText::markCells(document, text);
    ASSERT_EQ(text, "a\tb\na\tb\n");
    EXPECT_EQ(replaceAll(document, text, "a\tb", "x"), 1);
    EXPECT_EQ(document.begin().text(), "x");
    EXPECT_EQ(table->cellAt(0, 0).firstCursorPosition().block().text(), "a");
    EXPECT_EQ(table->cellAt(0, 1).firstCursorPosition().block().text(), "b");
}
