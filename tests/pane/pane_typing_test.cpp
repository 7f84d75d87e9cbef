#include "layout/PaneLayout.h"
#include "pane/RichTextBox.h"
#include "storage/DocumentDefaults.h"
#include "support/PaneTestSupport.h"
#include "support/ScriptedDesktop.h"

#include <QTest>
#include <QTextBlock>
#include <gtest/gtest.h>

using panetest::difference;

namespace {
// One thing the user does, done to the pane through its keys and to a reference document through
// QTextCursor the way Qt's text widget edits a paragraph of ordinary length.
struct Act {
    enum Kind { Place, Select, Type, Backspace, Delete, Enter, LineBreak, Save, Bold };
    Kind kind;
    int at = 0; // where the caret goes (-1: the end), the selection's anchor, or how many keys
    int to = 0; // the selection's end
    QString text = {};
};
Act keys(Act::Kind kind, int times = 1) {
    return {kind, times};
}
Act type(const QString& text) {
    return {Act::Type, 0, 0, text};
}

class Twin {
public:
    Twin(RichTextBox& pane, const QString& text) : pane_(pane) {
        pane.setText(text);
        // Made as the pane makes its document, so that both count as modified alike.
        reference_.setUndoRedoEnabled(false);
        QTextCursor(&reference_).insertText(text, pane.currentCharFormat());
        reference_.setUndoRedoEnabled(true);
        reference_.clearUndoRedoStacks();
        cursor_ = QTextCursor(&reference_);
    }

    void apply(const Act& act) {
        const bool repeats = act.kind == Act::Backspace || act.kind == Act::Delete;
        for (int i = 0; i < (repeats ? std::max(act.at, 1) : 1); ++i)
            applyOnce(act);
    }
    void undo() {
        pane_.undo();
        reference_.undo(&cursor_);
    }
    void redo() {
        pane_.redo();
        reference_.redo(&cursor_);
    }
    // The texts, the carets and selections, and whether there is more to undo and redo.
    void expectSame(const std::string& step) const {
        SCOPED_TRACE(step);
        ASSERT_EQ(difference(pane_.document()->toRawText(), reference_.toRawText()), "");
        EXPECT_EQ(pane_.textCursor().position(), cursor_.position());
        EXPECT_EQ(pane_.textCursor().anchor(), cursor_.anchor());
        EXPECT_EQ(pane_.document()->isUndoAvailable(), reference_.isUndoAvailable());
        EXPECT_EQ(pane_.document()->isRedoAvailable(), reference_.isRedoAvailable());
    }
    bool canUndo() const { return reference_.isUndoAvailable(); }
    bool canRedo() const { return reference_.isRedoAvailable(); }

private:
    void applyOnce(const Act& act) {
        switch (act.kind) {
        case Act::Place: {
            const int at = act.at < 0 ? int(reference_.characterCount()) - 1 : act.at;
            pane_.setSelStart(at);
            cursor_.setPosition(at);
            break;
        }
        case Act::Select: {
            QTextCursor selection = pane_.textCursor();
            for (QTextCursor* cursor : {&selection, &cursor_}) {
                cursor->setPosition(act.at);
                cursor->setPosition(act.to, QTextCursor::KeepAnchor);
            }
            pane_.setTextCursor(selection);
            break;
        }
        case Act::Type:
            QTest::keyClicks(&pane_, act.text);
            for (const QChar c : act.text) {
                cursor_.insertText(QString(c));
            }
            break;
        case Act::Backspace:
            QTest::keyClick(&pane_, Qt::Key_Backspace);
            QTextCursor(cursor_).deletePreviousChar();
            break;
        case Act::Delete:
            QTest::keyClick(&pane_, Qt::Key_Delete);
            QTextCursor(cursor_).deleteChar();
            break;
        case Act::Enter:
            QTest::keyClick(&pane_, Qt::Key_Return);
            cursor_.insertBlock();
            break;
        case Act::LineBreak:
            QTest::keyClick(&pane_, Qt::Key_Return, Qt::ShiftModifier);
            cursor_.insertText(QString(QChar::LineSeparator));
            break;
        case Act::Save:
            pane_.document()->setModified(false);
            reference_.setModified(false);
            break;
        case Act::Bold: {
            pane_.setSelBold(true);
            QTextCharFormat format;
            format.setFontWeight(QFont::Bold);
            cursor_.mergeCharFormat(format);
            break;
        }
        }
    }

    RichTextBox& pane_;
    QTextDocument reference_;
    QTextCursor cursor_;
};
} // namespace

TEST(PaneTyping, EditsInAParagraphLaidOutInPiecesUndoAsQtsCursorDoes) {
    ScopedScriptedDesktop scripted;
    RichTextBox pane;
    panetest::show(pane);
    const QString first = QStringLiteral("A short first paragraph.\n");
    const QString line = panetest::longParagraph(100'000);
    Twin twin(pane, first + line + QStringLiteral("\nA short last one."));
    QCoreApplication::processEvents(); // the first paint
    PaneLayout* layout = panetest::layoutOf(pane);
    ASSERT_TRUE(layout);
    const int start = int(first.size());
    const int end = start + int(line.size());
    const int middle = start + 50'000;
    ASSERT_TRUE(layout->inLongParagraph(middle));

    // Each row is one step; the names say what Qt's widget makes of it for undo.
    using A = Act;
    const std::vector<std::pair<std::string, std::vector<Act>>> steps = {
        {"typing: one step", {{A::Place, middle}, type("hello")}},
        {"Backspace past what was typed: two steps", {keys(A::Backspace, 7)}},
        {"typing then Delete over text read in: two steps", {type("ab"), keys(A::Delete, 3)}},
        {"Delete then Backspace over neighbours: one step",
         {{A::Place, middle + 1000}, keys(A::Delete, 2), keys(A::Backspace, 2)}},
        {"a save between two letters: two steps", {type("x"), {A::Save}, type("y")}},
        {"typing in another format: a step of its own", {{A::Bold}, type("BB")}},
        {"Enter, then typing with a line break: two steps",
         {{A::Enter}, type("new"), {A::LineBreak}, type("line")}},
        {"typing over a selection and on: one step",
         {{A::Select, middle + 2000, middle + 2010}, type("sel")}},
        {"Backspace on a selection, then again: two steps",
         {{A::Select, middle + 3005, middle + 3000}, keys(A::Backspace, 2)}},
        {"Backspace at the paragraph's start joins it to the one before, Enter splits it again",
         {{A::Place, start}, {A::Backspace}, {A::Enter}}},
        {"Delete at its end joins the next one, typing at the document's very end",
         {{A::Place, end}, {A::Delete}, {A::Place, -1}, type("!")}},
    };
    for (const auto& [name, acts] : steps) {
        for (const Act& act : acts)
            twin.apply(act);
        twin.expectSame(name);
        if (testing::Test::HasFatalFailure())
            return;
    }
    EXPECT_TRUE(layout->inLongParagraph(middle));

    // Undo goes back by the same steps, and redo forward again.
    for (const bool back : {true, false}) {
        for (int step = 1; back ? twin.canUndo() : twin.canRedo(); ++step) {
            back ? twin.undo() : twin.redo();
            twin.expectSame((back ? "undo " : "redo ") + std::to_string(step));
            if (testing::Test::HasFatalFailure())
                return;
        }
    }
}
