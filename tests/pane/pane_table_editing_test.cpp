// Moving, selecting and editing in table cells: the pane's keys against Qt's own editor, which
// lays the same document out with Qt's layout.
#include "pane/RichTextBox.h"
#include "rtf/RtfReader.h"
#include "storage/DocumentDefaults.h"
#include "support/PaneTestSupport.h"
#include "support/ScriptedDesktop.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QAccessibleTextInterface>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextFrame>
#include <QTextTable>
#include <gtest/gtest.h>

#include <memory>
#include <variant>
#include <vector>

using panetest::difference;

namespace {

// A sentence before a table of two rows, three cells each, the first of them wrapping over
// lines, a table in the last cell, and a paragraph after.
const QByteArray document =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}}\\f0 "
    "A paragraph before the table.\\par"
    "\\trowd\\trgaph108\\cellx2400\\cellx4800\\cellx7200"
    "\\pard\\intbl First cell, with text enough to wrap onto a second line and a third in it"
    "\\cell Second\\par cell\\cell Third\\cell\\row"
    "\\trowd\\trgaph108\\cellx2400\\cellx4800\\cellx7200"
    "\\pard\\intbl\\itap1 Fourth\\cell Fifth\\cell"
    "\\pard\\intbl\\itap2 Inner\\nestcell{\\nonesttables\\par}table\\nestcell{\\nonesttables\\par}"
    "\\pard\\intbl\\itap2{\\*\\nesttableprops\\trowd\\trgaph108\\cellx5800\\cellx7000\\nestrow}"
    "{\\nonesttables\\par}\\pard\\intbl\\itap1\\cell"
    "\\pard\\intbl\\itap1{\\trowd\\trgaph108\\cellx2400\\cellx4800\\cellx7200\\row}"
    "\\pard A paragraph after the table.\\par}";

std::unique_ptr<QTextDocument> read() {
    auto read = std::make_unique<QTextDocument>();
    DocumentDefaults::setUp(*read);
    EXPECT_TRUE(rtf::read(document, *read).ok());
    return read;
}

using Key = std::pair<Qt::Key, Qt::KeyboardModifiers>;
using Step = std::variant<Key, QString>; // a key, or text typed

Key key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    return {k, modifiers};
}

struct Exposed : QTextEdit {
    using QTextEdit::createMimeDataFromSelection;
    using QTextEdit::insertFromMimeData;
};

// The pane, and Qt's own editor showing the same document at the same size.
class Twin {
public:
    Twin() {
        pane_.adoptDocument(read());
        reference_.setDocument(read().release());
        reference_.document()->setParent(&reference_);
        for (QTextEdit* editor : {static_cast<QTextEdit*>(&pane_), &reference_}) {
            editor->setFont(pane_.font());
            editor->resize(640, 400);
            editor->show();
        }
        QCoreApplication::processEvents(); // both editors' first paint
    }

    // Puts both carets at `offset` into the paragraph holding `text`.
    void place(const QString& text, int offset) {
        for (QTextEdit* editor : editors()) {
            QTextCursor cursor(editor->document());
            cursor.setPosition(positionOf(*editor->document(), text) + offset);
            editor->setTextCursor(cursor);
        }
    }
    void apply(const Step& step) {
        for (QTextEdit* editor : editors()) {
            if (const auto* typed = std::get_if<QString>(&step))
                QTest::keyClicks(editor, *typed);
            else
                QTest::keyClick(editor, std::get<Key>(step).first, std::get<Key>(step).second);
        }
    }
    void expectSame(const std::string& step) const {
        SCOPED_TRACE(step);
        ASSERT_EQ(difference(pane_.document()->toRawText(), reference_.document()->toRawText()),
                  "");
        EXPECT_EQ(pane_.textCursor().position(), reference_.textCursor().position());
        EXPECT_EQ(pane_.textCursor().anchor(), reference_.textCursor().anchor());
    }
    void undo() {
        pane_.undo();
        reference_.undo();
    }
    // Copies each editor's selection and pastes it where `text`'s paragraph ends, each into itself.
    void copyTo(const QString& text) {
        const auto copied = panetest::copySelection(pane_);
        const std::unique_ptr<QMimeData> own(
            static_cast<Exposed&>(reference_).createMimeDataFromSelection());
        for (QTextEdit* editor : editors()) {
            QTextCursor cursor(editor->document());
            cursor.setPosition(positionOf(*editor->document(), text));
            cursor.movePosition(QTextCursor::EndOfBlock);
            editor->setTextCursor(cursor);
        }
        panetest::paste(pane_, *copied);
        static_cast<Exposed&>(reference_).insertFromMimeData(own.get());
    }

    RichTextBox& pane() { return pane_; }

private:
    static int positionOf(const QTextDocument& document, const QString& text) {
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            if (block.text().startsWith(text))
                return block.position();
        }
        ADD_FAILURE() << "no paragraph " << qPrintable(text);
        return 0;
    }
    std::vector<QTextEdit*> editors() { return {&pane_, &reference_}; }

    ScopedScriptedDesktop scripted_;
    RichTextBox pane_;
    QTextEdit reference_;
};

struct Case {
    const char* name;
    const char* startIn; // the start of the paragraph the caret starts in
    int offset;
    std::vector<Step> steps;
};

} // namespace

TEST(PaneTableEditing, KeysMoveSelectAndEditInCellsAsInQtsOwnEditor) {
    const Key down = key(Qt::Key_Down);
    const Key up = key(Qt::Key_Up);
    const Case cases[] = {
        {"right and left across cells' edges",
         "Second",
         6,
         {key(Qt::Key_Right), key(Qt::Key_Right), key(Qt::Key_Left), key(Qt::Key_Left)}},
        {"down through the wrapped lines of a cell, into the next row and out of the table",
         "First",
         3,
         {down, down, down, down, down, down}},
        {"up from after the table, through the rows, to the paragraph before",
         "A paragraph after",
         5,
         {up, up, up, up, up, up}},
        {"home and end on a wrapped line of a cell",
         "First",
         40,
         {key(Qt::Key_Home), key(Qt::Key_End), key(Qt::Key_End, Qt::ShiftModifier)}},
        {"selections over cells and out of the table",
         "Second",
         2,
         {key(Qt::Key_Down, Qt::ShiftModifier), key(Qt::Key_Right, Qt::ShiftModifier),
          key(Qt::Key_Down, Qt::ShiftModifier), key(Qt::Key_Down, Qt::ShiftModifier)}},
        {"into the table inside a cell and out of it",
         "Fifth",
         0,
         {down, down, key(Qt::Key_Right), key(Qt::Key_End), down}},
        {"the document's start and end, and a page down",
         "Third",
         1,
         {key(Qt::Key_End, Qt::ControlModifier), key(Qt::Key_Home, Qt::ControlModifier),
          key(Qt::Key_PageDown)}},
        {"backspace at a cell's start and delete at its end merge no cells",
         "Third",
         0,
         {key(Qt::Key_Backspace), key(Qt::Key_Backspace), key(Qt::Key_End), key(Qt::Key_Delete),
          key(Qt::Key_Delete)}},
        {"typing, a new paragraph and backspace in a cell",
         "Fourth",
         6,
         {QStringLiteral(" row"), key(Qt::Key_Return), QStringLiteral("new"),
          key(Qt::Key_Backspace), key(Qt::Key_Backspace), key(Qt::Key_Backspace),
          key(Qt::Key_Backspace), down}},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        Twin twin;
        twin.place(QString::fromLatin1(row.startIn), row.offset);
        int n = 0;
        for (const Step& step : row.steps) {
            twin.apply(step);
            twin.expectSame("step " + std::to_string(++n));
        }
    }
}

TEST(PaneTableEditing, EditsInCellsUndoAsInQtsOwnEditor) {
    Twin twin;
    twin.place(QStringLiteral("Fifth"), 5);
    for (const Step& step :
         std::vector<Step>{QStringLiteral(" cell"), key(Qt::Key_Return), QStringLiteral("More"),
                           key(Qt::Key_Up), key(Qt::Key_Backspace)})
        twin.apply(step);
    twin.expectSame("edited");
    for (int i = 0; i < 4; ++i) {
        twin.undo();
        twin.expectSame("undo " + std::to_string(i));
    }
}

// Cells copied from the pane paste as the cells Qt's own editor pastes, whether part of a row or
// the whole table with the paragraph before it, and a paste undoes as one step.
TEST(PaneTableEditing, CopiedCellsAndTablesPasteAsInQtsOwnEditor) {
    const Key shiftDown = key(Qt::Key_Down, Qt::ShiftModifier);
    const Key shiftRight = key(Qt::Key_Right, Qt::ShiftModifier);
    const Case cases[] = {
        {"two cells of a row", "cell", 2, {shiftRight, shiftRight, shiftRight, shiftRight}},
        {"cells over two rows", "Second", 2, {shiftDown, shiftDown}},
        {"the whole table and the paragraph before it",
         "A paragraph before",
         0,
         {shiftDown, shiftDown, shiftDown, shiftDown, shiftDown, shiftDown,
          key(Qt::Key_Home, Qt::ShiftModifier)}},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        Twin twin;
        twin.place(QString::fromLatin1(row.startIn), row.offset);
        for (const Step& step : row.steps)
            twin.apply(step);
        twin.copyTo(QStringLiteral("A paragraph after"));
        twin.expectSame("pasted");
        // Cells paste as a table of their own after the one they came from.
        EXPECT_EQ(twin.pane().document()->rootFrame()->childFrames().size(), 2);
        twin.undo();
        twin.expectSame("undone");
    }
}

TEST(PaneTableEditing, ACharactersExtentsAreWhereItIsDrawnInACell) {
    ScopedScriptedDesktop scripted;
    RichTextBox pane;
    pane.adoptDocument(read());
    panetest::show(pane, 640, 400);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&pane);
    ASSERT_TRUE(accessible && accessible->textInterface());
    QAccessibleTextInterface* text = accessible->textInterface();
    const QString all = text->text(0, text->characterCount());
    for (const char* word : {"Second", "Fifth", "Inner", "after"}) {
        SCOPED_TRACE(word);
        const int at = int(all.indexOf(QLatin1String(word)));
        ASSERT_GE(at, 0);
        const QRect extents = text->characterRect(at + 1);
        // Where the pane draws the caret before the same character.
        QTextCursor cursor(pane.document());
        cursor.setPosition(at + 1);
        const QRect caret = pane.cursorRect(cursor);
        const QPoint onScreen = pane.viewport()->mapToGlobal(caret.topLeft());
        EXPECT_NEAR(extents.left(), onScreen.x(), 2);
        EXPECT_NEAR(extents.top(), onScreen.y(), 2);
        EXPECT_GT(extents.width(), 0);
        // A point there is on that character.
        EXPECT_EQ(text->offsetAtPoint(extents.center()), at + 1);
    }
}
