#include "support/ProgramFixture.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QSignalSpy>
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
    QCoreApplication::processEvents(); // Undo reaches the pane as a queued key
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
    QCoreApplication::processEvents(); // Undo reaches the pane as a queued key
    EXPECT_EQ(pane()->Text(), before);
}

// Each toolbar button that stands for a menu entry triggers that entry and no other.
TEST_F(FrameCommands, ToolbarButtonsTriggerTheirMenuEntries) {
    // Dialogs the entries open are cancelled.
    scripted.desktop.openAnswers.push_back(std::nullopt);
    scripted.desktop.saveAnswers.push_back(std::nullopt);
    scripted.desktop.printerAnswers.push_back(std::nullopt);
    const struct {
        const char* what;
        QAbstractButton* button;
        QAction* entry;
    } cases[] = {
        {"New", frame().ImgButtons[0], frame().newAction},
        {"Open", frame().ImgButtons[1], frame().openAction},
        {"Save", frame().ImgButtons[2], frame().saveAction},
        {"Print", frame().ImgButtons[3], frame().printAction},
        {"Bullets", frame().ImgButtons[9], frame().bulletsAction},
        {"Font", frame().SSCommand1[0], frame().fontAction},
        {"Insert OLE file", frame().SSCommand1[3], frame().insertObjectAction},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::unique_ptr<QSignalSpy>> spies;
        for (const auto& other : cases)
            spies.push_back(std::make_unique<QSignalSpy>(other.entry, &QAction::triggered));
        ASSERT_TRUE(c.button->isEnabled());
        c.button->click();
        QCoreApplication::processEvents(); // the focus handed back to the document
        for (size_t i = 0; i < std::size(cases); ++i)
            EXPECT_EQ(spies[i]->count(), cases[i].entry == c.entry ? 1 : 0) << cases[i].what;
    }
}

// The Window menu lists the open documents by caption, the active one checked, and its entries
// switch to them; names are shown as they are.
TEST_F(FrameCommands, WindowMenuListsTheDocumentsAndSwitchesToThem) {
    frame().activeDocument()->setCaption("first.rtf");
    frame().NewChild();
    frame().activeDocument()->setCaption("R&D notes.txt");
    frame().NewChild();
    frame().activeDocument()->setCaption("third.htm");
    const QList<DocumentWindow*> documents = frame().documents();
    ASSERT_EQ(documents.size(), 3);
    const auto listed = [this] {
        emit frame().windowMenu->aboutToShow();
        QList<QAction*> entries;
        for (QAction* action : frame().windowMenu->actions()) {
            if (action->isCheckable())
                entries << action;
        }
        return entries;
    };
    QList<QAction*> entries = listed();
    ASSERT_EQ(entries.size(), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(entries[i]->text(),
                  QString("&%1 %2").arg(i + 1).arg(documents[i]->Caption().replace("&", "&&")));
        EXPECT_EQ(entries[i]->isChecked(), documents[i] == frame().activeDocument());
    }
    for (const int pick : {0, 1}) {
        SCOPED_TRACE(pick);
        listed()[pick]->trigger();
        EXPECT_EQ(frame().activeDocument(), documents[pick]);
        EXPECT_TRUE(listed()[pick]->isChecked());
    }
}
