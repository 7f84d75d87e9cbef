#include "support/ProgramFixture.h"

#include "dialogs/FindDialog.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

namespace {
class FrameCommands : public ProgramFixture {
protected:
    FrameCommands() {
        frame().show();
        frame().NewChild();
        pane()->setText("copy me");
        select(0, 4);
    }
};
} // namespace

TEST_F(FrameCommands, ToolbarCutCopyPasteAndMenuUndoActOnTheDocument) {
    QGuiApplication::clipboard()->clear();
    // The button takes the focus; the queued keystroke reaches the pane once it is handed back.
    const auto click = [](auto* button) {
        button->click();
        QCoreApplication::processEvents();
    };
    click(frame().ImgButtons[6]);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "copy");
    EXPECT_EQ(pane()->Text(), "copy me");
    pane()->setSelStart(7);
    click(frame().ImgButtons[7]);
    EXPECT_EQ(pane()->Text(), "copy mecopy");
    pane()->setSelStart(0);
    pane()->setSelLength(5);
    click(frame().ImgButtons[5]);
    EXPECT_EQ(pane()->Text(), "mecopy");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "copy ");
    frame().undoAction->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(pane()->Text(), "copy mecopy");
}

// Each command follows its own part of the state, read afresh whenever the menu opens.
TEST_F(FrameCommands, EditMenuEnablesFromTheSelectionClipboardAndTypingWhenItOpens) {
    QGuiApplication::clipboard()->clear();
    emit frame().editMenu->aboutToShow();
    EXPECT_TRUE(frame().cutAction->isEnabled());
    EXPECT_TRUE(frame().deleteAction->isEnabled());
    EXPECT_FALSE(frame().pasteAction->isEnabled());
    EXPECT_FALSE(frame().undoAction->isEnabled());
    pane()->setSelStart(0);
    emit frame().editMenu->aboutToShow();
    EXPECT_FALSE(frame().copyAction->isEnabled());
    EXPECT_TRUE(frame().selectAllAction->isEnabled());
    EXPECT_TRUE(frame().findAction->isEnabled());

    frame().activateWindow();
    pane()->SetFocus();
    QTest::keyClicks(pane(), "Hello world");
    const QString typed = pane()->Text();
    EXPECT_TRUE(frame().undoAction->isEnabled());
    frame().undoAction->trigger();
    QCoreApplication::processEvents();
    EXPECT_NE(pane()->Text(), typed);
}

TEST_F(FrameCommands, FindButtonOpensTheDialogWithTheSelection) {
    frame().ImgButtons[4]->click();
    FindDialog* dialog = FindDialog::loaded();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->parentWidget(), active());
    EXPECT_EQ(dialog->txtFind->text(), "copy");
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(FrameCommands, AltWithALetterTypesNothing) {
    pane()->setText("");
    for (Qt::Key key : {Qt::Key_F, Qt::Key_Q, Qt::Key_S})
        QTest::keyClick(pane(), key, Qt::AltModifier);
    EXPECT_EQ(pane()->Text(), "");
    QTest::keyClick(pane(), Qt::Key_Q);
    EXPECT_EQ(pane()->Text(), "q");
}
