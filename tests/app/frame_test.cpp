#include "support/ProgramFixture.h"

#include "platform/MsgBox.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>

namespace {
class Frame : public ProgramFixture {
protected:
    void closeFrame() { frame().close(); }
};

QStringList captions(const QMenu* menu) {
    QStringList result;
    for (const QAction* action : menu->actions()) {
        if (!action->objectName().isEmpty() || action->isSeparator())
            result << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return result;
}
} // namespace

TEST_F(Frame, PlacementFromSettings) {
    EXPECT_EQ(frame().geometryTwips(), QRect(600, 600, 14160, 10320));
    EXPECT_EQ(frame().windowTitle(), "Vormelin Quillet 98");
    struct Case {
        const char* name;
        QByteArray ini;
        QRect expected; // height -1: the desktop's own minimum applies
    };
    const Case cases[] = {
        {"all four keys",
         "[SIZE]\r\nqlet_Left=1200\r\nqlet_Top=900\r\nqlet_Width=9000\r\nqlet_Height=6000\r\n",
         QRect(1200, 900, 9000, 6000)},
        {"lower-case names", "[size]\nQLET_WIDTH=7500\nqlet_height=4500\n",
         QRect(0, 0, 7500, 4500)},
        {"width zero means none", "[SIZE]\nqlet_Width=0\nqlet_Left=5\n",
         QRect(600, 600, 14160, 10320)},
        {"negative size is ignored",
         "[SIZE]\nqlet_Left=-60\nqlet_Top=-60\nqlet_Width=-9000\nqlet_Height=6000\n",
         QRect(600, 600, 14160, 10320)},
        {"number past 32 bits", "[SIZE]\nqlet_Left=1e20\nqlet_Width=9000\nqlet_Height=6000\n",
         QRect(600, 600, 14160, 10320)},
        {"negative place is kept",
         "[SIZE]\nqlet_Left=-60\nqlet_Top=-60\nqlet_Width=9000\nqlet_Height=6000\n",
         QRect(-60, -60, 9000, 6000)},
        {"leading numbers",
         "[SIZE]\nqlet_Left= 1 5 0 0px\nqlet_Top=3e2\nqlet_Width=9000.4\nqlet_Height=6000\n",
         QRect(1500, 300, 9000, 6000)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile("multi.ini", c.ini);
        MDI::unload();
        EXPECT_EQ(frame().geometryTwips(), c.expected);
    }
}

TEST_F(Frame, ShutdownWithUnchangedDocumentsWritesTheFourKeysInOrder) {
    writeFile("multi.ini",
              "; suite settings\r\n[Other]\r\nkey=value\r\n\r\n[SIZE]\r\nqlet_Left=1200\r\n");
    frame().NewChild();
    frame().NewChild();
    frame().setGeometryTwips(QRect(1500, 1200, 9000, 6000));
    closeFrame();
    EXPECT_TRUE(scripted.desktop.messages.isEmpty());
    EXPECT_EQ(Module1::OpenDocCount, 0);
    EXPECT_EQ(readFile("multi.ini"), "; suite settings\r\n[Other]\r\nkey=value\r\n\r\n[SIZE]\r\n"
                                     "qlet_Left=1500\r\nqlet_Top=1200\r\nqlet_Width=9000\r\n"
                                     "qlet_Height=6000\r\n");
}

TEST_F(Frame, ShutdownKeyOrderInANewFile) {
    frame().setGeometryTwips(QRect(-60, 300, 9000, 6000));
    closeFrame();
    EXPECT_EQ(readFile("multi.ini"),
              "[SIZE]\nqlet_Top=300\nqlet_Left=-60\nqlet_Width=9000\nqlet_Height=6000\n");
}

TEST_F(Frame, CancelInAClosePromptStopsTheShutdown) {
    frame().NewChild();
    frame().NewChild();
    active()->Text1->setText("unsaved");
    scripted.desktop.messageAnswers.push_back(MsgBoxResult::Cancel);
    EXPECT_FALSE(frame().close());
    EXPECT_EQ(Module1::CloseCancelled, Module1::True);
    EXPECT_EQ(Module1::OpenDocCount, 2);
    EXPECT_EQ(frame().documents().size(), 2);
    EXPECT_FALSE(QFile::exists(path("multi.ini")));
}

TEST_F(Frame, ExitAndRestoreEndsWithoutQuestionsOrSettings) {
    frame().NewChild();
    active()->Text1->setText("unsaved");
    frame().SSCommand2->trigger();
    EXPECT_EQ(scripted.desktop.endedAtOnce, 1);
    EXPECT_TRUE(scripted.desktop.messages.isEmpty());
    EXPECT_FALSE(QFile::exists(path("multi.ini")));
}

TEST_F(Frame, FirstWindowEnablesAndLastDisablesTheDocumentCommands) {
    const auto enabledStates = [this] {
        MDI& f = frame();
        return QList<bool>{f.file4->isEnabled(),
                           f.file5->isEnabled(),
                           f.Print_run->isEnabled(),
                           f.itemedit->menuAction()->isEnabled(),
                           f.exet->menuAction()->isEnabled(),
                           f.Win->menuAction()->isEnabled(),
                           f.picPicture1->isEnabled()};
    };
    const QList<bool> allOn(7, true), allOff(7, false);
    frame().NewChild();
    Wordbox* first = active();
    EXPECT_EQ(enabledStates(), allOn);
    frame().NewChild();
    Wordbox* second = active();
    EXPECT_EQ(enabledStates(), allOn);
    second->parentWidget()->close();
    EXPECT_EQ(Module1::OpenDocCount, 1);
    EXPECT_EQ(enabledStates(), allOn);
    first->parentWidget()->close();
    EXPECT_EQ(Module1::OpenDocCount, 0);
    EXPECT_EQ(enabledStates(), allOff);
    frame().filenew_Click();
    EXPECT_EQ(enabledStates(), allOn);
    EXPECT_EQ(active()->Text1->Tag, "save");
}

TEST_F(Frame, MenuBarCaptionsAndShortcuts) {
    MDI& f = frame();
    QStringList tops;
    for (const QAction* action : f.menuBar()->actions())
        tops << action->text();
    EXPECT_EQ(tops, QStringList({"File", "&Edit", "F&orm", "&Window", "&Help"}));
    EXPECT_EQ(captions(f.file1), QStringList({"New", "Open", "-", "Save", "Save as", "-", "Print",
                                              "-", "E&xit and restore"}));
    EXPECT_EQ(captions(f.itemedit), QStringList({"Undo", "-", "Cut", "Copy", "Paste", "Delete",
                                                 "Select all", "-", "Find"}));
    EXPECT_EQ(captions(f.exet), QStringList({"Insert OLE file", "-", "Font(&F)", "Bullet(&B)",
                                             "Paragraph(&P)", "Tab(&T)"}));
    EXPECT_EQ(captions(f.help), QStringList({"&Help", "-", "&About"}));
    EXPECT_EQ(f.filenew->shortcut(), QKeySequence("Ctrl+N"));
    EXPECT_EQ(f.file2->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(f.file4->shortcut(), QKeySequence("Ctrl+S"));
    EXPECT_EQ(f.undoitem->shortcut(), QKeySequence("Ctrl+Z"));
    EXPECT_EQ(f.clearitem->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_EQ(f.Edit_Find->shortcut(), QKeySequence("Ctrl+F"));
    EXPECT_EQ(f.help1->shortcut(), QKeySequence(Qt::Key_F1));
    const QStringList companions{"Stavrel", "Omblique", "Lindrow", "",
                                 "Pimsey",  "Kordane",  "Trellin", "Quillet"};
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(f.Shell_Run[i]->isSeparator(), i == 3);
        if (i == 3)
            continue;
        EXPECT_EQ(f.Shell_Run[i]->text(), companions[i]);
        const int key = i < 3 ? i + 1 : i;
        EXPECT_EQ(f.Shell_Run[i]->shortcut(), QKeySequence(QStringLiteral("Ctrl+F%1").arg(key)));
    }
    EXPECT_FALSE(f.Shell_Run[7]->isEnabled());
}

TEST_F(Frame, ToolbarControlsSitAtTheirPlaces) {
    MDI& f = frame();
    f.show();
    // 15 twips to the pixel on the scripted screen, rounded to the nearest pixel.
    EXPECT_EQ(f.picPicture1->height(), 55);
    EXPECT_EQ(f.ImgButtons[0]->geometry(), QRect(4, 4, 21, 21));
    EXPECT_EQ(f.ImgButtons[7]->geometry(), QRect(186, 4, 21, 21));
    EXPECT_EQ(f.ImgButtons[8], nullptr);
    EXPECT_EQ(f.ImgButtons[9]->geometry(), QRect(230, 30, 21, 21));
    EXPECT_EQ(f.SSCommand1[3]->toolTip(), "Insert OLE file");
    EXPECT_EQ(f.ImgAButtons[1]->accessibleName(), "Center");
    EXPECT_EQ(f.cboFontCombo->geometry(), QRect(250, 5, 181, 21));
    EXPECT_EQ(f.Combo2->geometry(), QRect(500, 5, 89, 21));
    EXPECT_FALSE(f.ImgButtons[0]->icon().isNull());
    f.picPicture1->resize(900, 55);
    EXPECT_EQ(f.ToolFXBack->geometry(), QRect(0, 0, 900, 55));
}

TEST_F(Frame, TileMakesColumnsAndTheWindowListChecksTheActive) {
    MDI& f = frame();
    f.resize(800, 600);
    f.show();
    f.NewChild();
    f.NewChild();
    f.NewChild();
    f.Win2_Click();
    const QList<QMdiSubWindow*> windows = f.mdiArea->subWindowList();
    const int areaHeight = f.mdiArea->viewport()->height();
    int left = 0;
    for (QMdiSubWindow* window : windows) {
        EXPECT_EQ(window->geometry().left(), left);
        EXPECT_EQ(window->geometry().height(), areaHeight);
        left = window->geometry().right() + 1;
    }
    emit f.Win->aboutToShow();
    QStringList checked;
    for (const QAction* action : f.Win->actions()) {
        if (action->isCheckable() && action->isChecked())
            checked << action->text();
    }
    EXPECT_EQ(checked, QStringList({"&3 noname"}));
}

TEST_F(Frame, NewWindowPastTheCountLimitIsReportedNotFatal) {
    frame().NewChild();
    Module1::OpenDocCount = 32767;
    frame().filenew_Click();
    ASSERT_EQ(scripted.desktop.messages.size(), 1);
    EXPECT_EQ(scripted.desktop.messages[0].prompt, "Error occurred. \rReason Overflow");
    EXPECT_EQ(scripted.desktop.messages[0].title, "Problem occurred !");
    EXPECT_EQ(Module1::OpenDocCount, 32767);
    Module1::OpenDocCount = 1;
}

TEST_F(Frame, ANarrowStoredWidthIsKeptOnceShown) {
    writeFile("multi.ini", "[SIZE]\nqlet_Width=9000\n");
    frame().show();
    frame().NewChild();
    EXPECT_EQ(frame().width(), 600);
    // No stored height: the frame still shows its menus, toolbar and status bar.
    EXPECT_GE(frame().height(), 100);
}

TEST_F(Frame, CascadedAndLaterWindowsStayReadable) {
    MDI& f = frame();
    f.resize(800, 600);
    f.show();
    f.NewChild();
    f.NewChild();
    f.Win2_Click();
    f.Win1_Click();
    const auto readable = [](const QMdiSubWindow* window) {
        return window->width() >= 200 && window->height() >= 150;
    };
    for (const QMdiSubWindow* window : f.mdiArea->subWindowList())
        EXPECT_TRUE(readable(window)) << window->width() << "x" << window->height();
    f.mdiArea->closeAllSubWindows();
    f.filenew_Click();
    ASSERT_NE(f.mdiArea->activeSubWindow(), nullptr);
    EXPECT_TRUE(readable(f.mdiArea->activeSubWindow()));
}

TEST_F(Frame, DateListIsWideEnoughForItsEntriesAndTheBoxKeepsItsSize) {
    Module1::Main();
    QComboBox* box = frame().Combo2;
    const QRect before = box->geometry();
    int widest = 0;
    for (int i = 0; i < box->count(); ++i)
        widest = qMax(widest, box->view()->fontMetrics().horizontalAdvance(box->itemText(i)));
    ASSERT_GT(widest, before.width());
    EXPECT_GE(box->view()->minimumWidth(), widest);
    EXPECT_EQ(box->geometry(), before);
}
