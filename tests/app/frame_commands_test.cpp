#include "support/ProgramFixture.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
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

// The state is read afresh whenever the menu opens (which command follows what is the edit
// commands' own test), and typing makes Undo available at once.
TEST_F(FrameCommands, EditMenuEnablesFromTheSelectionWhenItOpensAndUndoFromTyping) {
    QGuiApplication::clipboard()->clear();
    emit frame().editMenu->aboutToShow();
    EXPECT_TRUE(frame().cutAction->isEnabled());
    EXPECT_FALSE(frame().undoAction->isEnabled());
    pane()->setSelStart(0);
    emit frame().editMenu->aboutToShow();
    EXPECT_FALSE(frame().cutAction->isEnabled());

    frame().activateWindow();
    pane()->SetFocus();
    const QString before = pane()->Text();
    QTest::keyClicks(pane(), "Hello world");
    EXPECT_TRUE(frame().undoAction->isEnabled());
    frame().undoAction->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(pane()->Text(), before);
}
