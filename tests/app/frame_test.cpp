#include "support/ProgramFixture.h"

#include "system/MsgBox.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

namespace {
class Frame : public ProgramFixture {};
} // namespace

TEST_F(Frame, PlacementFromSettings) {
    const QRect standard(600, 600, 14160, 10320);
    EXPECT_EQ(frame().geometryTwips(), standard);
    const struct {
        const char* name;
        QByteArray ini;
        QRect expected;
    } cases[] = {
        {"all four keys",
         "[SIZE]\r\nqlet_Left=1200\r\nqlet_Top=900\r\nqlet_Width=9000\r\nqlet_Height=6000\r\n",
         QRect(1200, 900, 9000, 6000)},
        {"lower-case names, no place", "[size]\nQLET_WIDTH=7500\nqlet_height=4500\n",
         QRect(0, 0, 7500, 4500)},
        {"width zero means none", "[SIZE]\nqlet_Width=0\nqlet_Left=5\n", standard},
        {"negative size is ignored",
         "[SIZE]\nqlet_Left=-60\nqlet_Top=-60\nqlet_Width=-9000\nqlet_Height=6000\n", standard},
        {"number past 32 bits", "[SIZE]\nqlet_Left=1e20\nqlet_Width=9000\nqlet_Height=6000\n",
         standard},
        {"negative place is kept",
         "[SIZE]\nqlet_Left=-60\nqlet_Top=-60\nqlet_Width=9000\nqlet_Height=6000\n",
         QRect(-60, -60, 9000, 6000)},
        {"title bar above the screen",
         "[SIZE]\nqlet_Left=1200\nqlet_Top=-3000\nqlet_Width=9000\nqlet_Height=6000\n",
         QRect(600, 600, 9000, 6000)},
        {"title bar below the screen",
         "[SIZE]\nqlet_Left=1200\nqlet_Top=11400\nqlet_Width=9000\nqlet_Height=6000\n",
         QRect(600, 600, 9000, 6000)},
        {"only a border beside the screen",
         "[SIZE]\nqlet_Left=-8900\nqlet_Top=900\nqlet_Width=9000\nqlet_Height=6000\n",
         QRect(600, 600, 9000, 6000)},
        {"partly off the screen, title bar in reach",
         "[SIZE]\nqlet_Left=-4500\nqlet_Top=9000\nqlet_Width=9000\nqlet_Height=6000\n",
         QRect(-4500, 9000, 9000, 6000)},
        {"leading numbers",
         "[SIZE]\nqlet_Left= 1 5 0 0px\nqlet_Top=3e2\nqlet_Width=9000.4\nqlet_Height=6000\n",
         QRect(1500, 300, 9000, 6000)},
    };
    for (const auto& c : cases) {
        writeFile("multi.ini", c.ini);
        MainFrame::unload();
        EXPECT_EQ(frame().geometryTwips(), c.expected) << c.name;
    }
}

TEST_F(Frame, ShutdownWithUnchangedDocumentsWritesTheFourKeysInOrder) {
    writeFile("multi.ini",
              "; suite settings\r\n[Other]\r\nkey=value\r\n\r\n[SIZE]\r\nqlet_Left=1200\r\n");
    frame().NewChild();
    frame().NewChild();
    frame().setGeometryTwips(QRect(1500, 1200, 9000, 6000));
    frame().close();
    EXPECT_TRUE(scripted.desktop.messages.isEmpty());
    EXPECT_EQ(OpenDocuments::OpenDocCount, 0);
    EXPECT_EQ(readFile("multi.ini"), "; suite settings\r\n[Other]\r\nkey=value\r\n\r\n[SIZE]\r\n"
                                     "qlet_Left=1500\r\nqlet_Top=1200\r\nqlet_Width=9000\r\n"
                                     "qlet_Height=6000\r\n");
}

// An installed program keeps its settings with the user's, also when root runs it and may write
// in the system's folder of programs; so does one that cannot write beside itself. The user's
// folder is made on the first close, and a new file gets the top before the left.
TEST_F(Frame, SettingsLiveBesideAWritableBuiltProgramElseInTheUsersConfigFolder) {
    scripted.desktop.configFolder = path("home/.config");
    const QString userFile = path("home/.config/quillet/multi.ini");
    const struct {
        bool writable;
        bool installed;
        QString expected;
    } cases[] = {
        {true, false, path("multi.ini")},
        {true, true, userFile},
        {false, true, userFile},
        {false, false, userFile},
    };
    for (const auto& c : cases) {
        scripted.desktop.programFolderWritable = c.writable;
        scripted.desktop.installed = c.installed;
        EXPECT_EQ(frame().settingsPath(), c.expected) << c.writable << c.installed;
    }
    scripted.desktop.installed = false;
    const QByteArray beside = "[SIZE]\nqlet_Left=1200\nqlet_Top=900\nqlet_Width=9000\n"
                              "qlet_Height=6000\n";
    writeFile("multi.ini", beside);

    scripted.desktop.programFolderWritable = false;
    MainFrame::unload();
    EXPECT_EQ(frame().geometryTwips(), QRect(600, 600, 14160, 10320));
    frame().setGeometryTwips(QRect(1500, 300, 7500, 4500));
    frame().close();
    EXPECT_EQ(testfiles::read(userFile),
              "[SIZE]\nqlet_Top=300\nqlet_Left=1500\nqlet_Width=7500\nqlet_Height=4500\n");
    EXPECT_EQ(readFile("multi.ini"), beside);
    MainFrame::unload();
    EXPECT_EQ(frame().geometryTwips(), QRect(1500, 300, 7500, 4500));
    MainFrame::unload();

    scripted.desktop.programFolderWritable = true;
    EXPECT_EQ(frame().geometryTwips(), QRect(1200, 900, 9000, 6000));
    frame().setGeometryTwips(QRect(60, 60, 9000, 6000));
    frame().close();
    EXPECT_EQ(readFile("multi.ini"), "[SIZE]\nqlet_Left=60\nqlet_Top=60\nqlet_Width=9000\n"
                                     "qlet_Height=6000\n");
    EXPECT_EQ(testfiles::read(userFile),
              "[SIZE]\nqlet_Top=300\nqlet_Left=1500\nqlet_Width=7500\nqlet_Height=4500\n");
}

TEST_F(Frame, CancelInAClosePromptStopsTheShutdown) {
    frame().NewChild();
    frame().NewChild();
    active()->Text1->setText("unsaved");
    scripted.desktop.messageAnswers.push_back(MsgBoxResult::Cancel);
    EXPECT_FALSE(frame().close());
    EXPECT_EQ(OpenDocuments::CloseCancelled, Flags::True);
    EXPECT_EQ(OpenDocuments::OpenDocCount, 2);
    EXPECT_EQ(frame().documents().size(), 2);
    EXPECT_FALSE(QFile::exists(path("multi.ini")));
}

TEST_F(Frame, ExitAndRestoreEndsWithoutQuestionsOrSettings) {
    frame().NewChild();
    active()->Text1->setText("unsaved");
    frame().exitAndRestoreAction->trigger();
    EXPECT_EQ(scripted.desktop.endedAtOnce, 1);
    EXPECT_TRUE(scripted.desktop.messages.isEmpty());
    EXPECT_FALSE(QFile::exists(path("multi.ini")));
}

TEST_F(Frame, FirstWindowEnablesAndLastDisablesTheDocumentCommands) {
    const auto enabledStates = [this] {
        MainFrame& f = frame();
        return QList<bool>{f.saveAction->isEnabled(),
                           f.saveAsAction->isEnabled(),
                           f.printAction->isEnabled(),
                           f.editMenu->menuAction()->isEnabled(),
                           f.formMenu->menuAction()->isEnabled(),
                           f.windowMenu->menuAction()->isEnabled(),
                           f.picPicture1->isEnabled()};
    };
    const QList<bool> allOn(7, true), allOff(7, false);
    frame().NewChild();
    DocumentWindow* first = active();
    EXPECT_EQ(enabledStates(), allOn);
    frame().NewChild();
    active()->parentWidget()->close();
    EXPECT_EQ(OpenDocuments::OpenDocCount, 1);
    EXPECT_EQ(enabledStates(), allOn);
    first->parentWidget()->close();
    EXPECT_EQ(OpenDocuments::OpenDocCount, 0);
    EXPECT_EQ(enabledStates(), allOff);
    frame().newDocument();
    EXPECT_EQ(enabledStates(), allOn);
    EXPECT_EQ(active()->Text1->Tag, "save");
}

TEST_F(Frame, EveryToolbarControlIsSeparateAndNamed) {
    MainFrame& f = frame();
    f.show();
    // 15 twips to the pixel on the scripted screen, rounded to the nearest pixel.
    EXPECT_EQ(f.picPicture1->height(), 55);
    QList<QWidget*> controls;
    for (QWidget* control : f.picPicture1->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control != f.ToolFXBack)
            controls << control;
    }
    ASSERT_EQ(controls.size(), 22);
    for (const QWidget* control : controls) {
        EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
        EXPECT_TRUE(f.picPicture1->rect().contains(control->geometry()));
        for (const QWidget* other : controls) {
            EXPECT_TRUE(other == control || !control->geometry().intersects(other->geometry()))
                << control->objectName().toStdString();
        }
    }
    f.picPicture1->resize(900, 55);
    EXPECT_EQ(f.ToolFXBack->geometry(), QRect(0, 0, 900, 55));
}

// Tests and assistive tools find the entries by their design names, and each role member is the
// entry of its name. Window-list entries only appear once the menu opens.
TEST_F(Frame, MenusHoldTheirEntriesInOrderWithCaptionsAndShortcuts) {
    // A menu's entries: object name, caption and shortcut.
    const QStringList expected = {
        "file1: filenew|New|Ctrl+N, file2|Open|Ctrl+O, file3||, file4|Save|Ctrl+S, "
        "file5|Save as|, dasi7||, Print_run|Print|, dasi8||, SSCommand2|E&xit and restore|",
        "itemedit: undoitem|Undo|Ctrl+Z, dasi10||, cutitem|Cut|Ctrl+X, copyitem|Copy|Ctrl+C, "
        "pasteitem|Paste|Ctrl+V, clearitem|Delete|Del, allitem|Select all|, dasi71||, "
        "Edit_Find|Find|Ctrl+F",
        "exet: exeI|Insert OLE file|, dasi81||, exet1|Font(&F)|, exet2|Bullet(&B)|, "
        "exet3|Paragraph(&P)|, exet4|Tab(&T)|",
        "Win: Win1|Cascade|, Win2|Tile|, Win3|Arrange Icon|, dasi99||, "
        "Shell_Run(0)|Stavrel|Ctrl+F1, Shell_Run(1)|Omblique|Ctrl+F2, "
        "Shell_Run(2)|Lindrow|Ctrl+F3, Shell_Run(3)||, Shell_Run(4)|Pimsey|Ctrl+F4, "
        "Shell_Run(5)|Kordane|Ctrl+F5, Shell_Run(6)|Trellin|Ctrl+F6, "
        "Shell_Run(7)|Quillet|Ctrl+F7",
        "help: help1|&Help|F1, help3||, help2|&About|",
    };
    MainFrame& f = frame();
    QStringList found;
    for (const QMenu* menu : {f.fileMenu, f.editMenu, f.formMenu, f.windowMenu, f.helpMenu}) {
        QStringList entries;
        for (const QAction* action : menu->actions())
            entries << QStringList{action->objectName(), action->text(),
                                   action->shortcut().toString()}
                           .join('|');
        found << menu->objectName() + ": " + entries.join(", ");
    }
    EXPECT_EQ(found.join('\n').toStdString(), expected.join('\n').toStdString());
    QStringList roles;
    for (const QAction* action :
         {f.newAction,          f.openAction,           f.saveAction,    f.saveAsAction,
          f.printAction,        f.exitAndRestoreAction, f.undoAction,    f.cutAction,
          f.copyAction,         f.pasteAction,          f.deleteAction,  f.selectAllAction,
          f.findAction,         f.insertObjectAction,   f.fontAction,    f.bulletsAction,
          f.paragraphAction,    f.tabStopsAction,       f.cascadeAction, f.tileAction,
          f.arrangeIconsAction, f.helpAction,           f.aboutAction})
        roles << action->objectName();
    EXPECT_EQ(
        roles.join(' ').toStdString(),
        "filenew file2 file4 file5 Print_run SSCommand2 undoitem cutitem copyitem pasteitem "
        "clearitem allitem Edit_Find exeI exet1 exet2 exet3 exet4 Win1 Win2 Win3 help1 help2");
    EXPECT_EQ(f.companionActions[3]->objectName(), "Shell_Run(3)");
    EXPECT_FALSE(f.companionActions[7]->isEnabled());
}

// A button that does what a menu entry does triggers that entry; the others run their own
// command (Find keeps the keyboard with the document, Cut, Copy and Paste act whatever the Edit
// menu last showed).
TEST_F(Frame, ToolbarButtonsTriggerTheirMenuEntries) {
    MainFrame& f = frame();
    f.NewChild();
    QString triggered;
    for (QAction* action : f.findChildren<QAction*>()) {
        // The entries only record, so the test runs no command that needs an answer.
        QObject::disconnect(action, &QAction::triggered, &f, nullptr);
        QObject::connect(action, &QAction::triggered,
                         [&triggered, action] { triggered += action->objectName(); });
    }
    QStringList found;
    for (QAbstractButton* button :
         {f.ImgButtons[0], f.ImgButtons[1], f.ImgButtons[2], f.ImgButtons[3], f.ImgButtons[4],
          f.ImgButtons[5], f.ImgButtons[6], f.ImgButtons[7], f.ImgButtons[9], f.SSCommand1[0],
          f.SSCommand1[1], f.SSCommand1[2], f.SSCommand1[3]}) {
        triggered = "-";
        button->click();
        found << triggered;
    }
    EXPECT_EQ(found.join(' ').toStdString(),
              "-filenew -file2 -file4 -Print_run - - - - -exet2 -exet1 - - -exeI");
}

TEST_F(Frame, TileMakesColumnsCascadeKeepsWindowsReadableAndTheWindowListChecksTheActive) {
    MainFrame& f = frame();
    f.resize(800, 600);
    f.show();
    f.NewChild();
    f.NewChild();
    f.NewChild();
    f.tileWindows();
    const int areaHeight = f.mdiArea->viewport()->height();
    int left = 0;
    for (QMdiSubWindow* window : f.mdiArea->subWindowList()) {
        EXPECT_EQ(window->geometry().left(), left);
        EXPECT_EQ(window->geometry().height(), areaHeight);
        left = window->geometry().right() + 1;
    }
    emit f.windowMenu->aboutToShow();
    QStringList checked;
    for (const QAction* action : f.windowMenu->actions()) {
        if (action->isCheckable() && action->isChecked())
            checked << action->text();
    }
    EXPECT_EQ(checked, QStringList({"&3 noname"}));

    const auto readable = [](const QMdiSubWindow* window) {
        return window->width() >= 200 && window->height() >= 150;
    };
    f.cascadeWindows();
    for (const QMdiSubWindow* window : f.mdiArea->subWindowList())
        EXPECT_TRUE(readable(window)) << window->width() << "x" << window->height();
    f.mdiArea->closeAllSubWindows();
    f.newDocument();
    ASSERT_NE(f.mdiArea->activeSubWindow(), nullptr);
    EXPECT_TRUE(readable(f.mdiArea->activeSubWindow()));
}

TEST_F(Frame, NewWindowPastTheCountLimitIsReportedNotFatal) {
    frame().NewChild();
    OpenDocuments::OpenDocCount = 32767;
    frame().newDocument();
    EXPECT_EQ(scripted.desktop.messages,
              ScriptedDesktop::Messages({{"Error occurred. \rReason Overflow",
                                          MsgBoxStyle::Exclamation, "Problem occurred !"}}));
    EXPECT_EQ(OpenDocuments::OpenDocCount, 32767);
    OpenDocuments::OpenDocCount = 1;
}

// The date box shows "Time and Day" and each entry whole in its text part, its open list is as
// wide as its longest entry, and at the frame's narrowest every toolbar control is whole; a
// stored width of 9000 twips is still kept.
TEST_F(Frame, DateBoxShowsItsEntriesWholeAndTheToolbarFitsTheNarrowestFrame) {
    Startup::Main();
    QComboBox* box = frame().Combo2;
    QStringList texts{box->currentText()};
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    ASSERT_EQ(texts.size(), 11);
    EXPECT_EQ(texts.first(), "Time and Day");
    // Two pixels either side of the text and one for the caret are the line edit's own.
    const int textRoom = box->lineEdit()->width() - 2 * 2 - 1;
    int widest = 0;
    for (const QString& text : texts) {
        const int advance = box->lineEdit()->fontMetrics().horizontalAdvance(text);
        widest = qMax(widest, box->view()->fontMetrics().horizontalAdvance(text));
        EXPECT_GE(textRoom, advance) << text.toStdString();
    }
    EXPECT_GE(box->view()->minimumWidth(), widest);

    frame().resize(1, frame().height());
    QWidget* toolbar = frame().picPicture1;
    ASSERT_LE(toolbar->width(), frame().width());
    for (QWidget* control : toolbar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        EXPECT_TRUE(toolbar->rect().contains(control->geometry()))
            << control->objectName().toStdString();
    }

    frame().setGeometryTwips(QRect(0, 0, 9000, 0));
    EXPECT_EQ(frame().width(), 600);
    // No stored height: the frame still shows its menus, toolbar and status bar.
    EXPECT_GE(frame().height(), 100);
}
