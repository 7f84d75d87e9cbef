#pragma once

#include "app/MainFrame.h"
#include "app/Startup.h"
#include "document/DocumentWindow.h"
#include "pane/RichTextBox.h"
#include "suite/InformationWindow.h"
#include "support/Files.h"
#include "support/ScriptedDesktop.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTextCursor>
#include <gtest/gtest.h>

// A fresh program for each test: scripted desktop, its own program folder (for multi.ini), no
// frame loaded and the shared state zeroed.
class ProgramFixture : public ::testing::Test {
protected:
    ProgramFixture() {
        scripted.desktop.programFolder = folder.path();
        resetState();
    }
    ~ProgramFixture() override { restart(); }

    // Ends the program as if it had never run: no questions, every window gone, state zeroed.
    void restart() {
        scripted.desktop.messageAnswers.clear();
        // Tear down without questions: every document counts as unchanged.
        if (MainFrame::isLoaded()) {
            // The frame's windows are the truth the design's count must follow, in every test.
            EXPECT_EQ(OpenDocuments::OpenDocCount, MainFrame::instance().documents().size())
                << "open documents counted against the frame's windows";
            for (DocumentWindow* document : MainFrame::instance().documents())
                document->markSaved();
        }
        MainFrame::unload();
        InformationWindow::unload();
        resetState();
    }

    static void resetState() {
        OpenDocuments::OpenDocCount = 0;
        OpenDocuments::CloseCancelled = Flags::False;
        InformationWindow::ReadingFile = Flags::False;
        Startup::CommandFile.clear();
    }

    QString path(const QString& name) const { return folder.filePath(name); }

    void writeFile(const QString& name, const QByteArray& bytes) const {
        ASSERT_TRUE(testfiles::write(path(name), bytes));
    }
    QByteArray readFile(const QString& name) const { return testfiles::read(path(name)); }

    MainFrame& frame() { return MainFrame::instance(); }
    DocumentWindow* active() { return MainFrame::instance().activeDocument(); }
    RichTextBox* pane() { return active()->Text1; }
    // In one step, so the toolbar sees only the final selection.
    void select(int start, int length) {
        QTextCursor cursor = pane()->textCursor();
        cursor.setPosition(start);
        cursor.setPosition(start + length, QTextCursor::KeepAnchor);
        pane()->setTextCursor(cursor);
    }
    bool documentHasFocus() {
        QApplication::processEvents();
        return QApplication::focusWidget() == pane();
    }

    ScopedScriptedDesktop scripted;
    QTemporaryDir folder;
};
