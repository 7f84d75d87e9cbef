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

// Tests and assistive tools find the entries by their design names; each role member is the
// entry of that name. Window-list entries only appear once the menu opens.
TEST_F(Frame, MenusHoldTheirEntriesInOrderWithCaptionsAndShortcuts) {
    const struct {
        const char* entry; // menu, name, caption and shortcut
        QAction* MainFrame::*member;
    } expected[] = {
        {"file1|filenew|New|Ctrl+N", &MainFrame::newAction},
        {"file1|file2|Open|Ctrl+O", &MainFrame::openAction},
        {"file1|file3||", nullptr},
        {"file1|file4|Save|Ctrl+S", &MainFrame::saveAction},
        {"file1|file5|Save as|", &MainFrame::saveAsAction},
        {"file1|dasi7||", nullptr},
        {"file1|Print_run|Print|", &MainFrame::printAction},
        {"file1|dasi8||", nullptr},
        {"file1|SSCommand2|E&xit and restore|", &MainFrame::exitAndRestoreAction},
        {"itemedit|undoitem|Undo|Ctrl+Z", &MainFrame::undoAction},
        {"itemedit|dasi10||", nullptr},
        {"itemedit|cutitem|Cut|Ctrl+X", &MainFrame::cutAction},
        {"itemedit|copyitem|Copy|Ctrl+C", &MainFrame::copyAction},
        {"itemedit|pasteitem|Paste|Ctrl+V", &MainFrame::pasteAction},
        {"itemedit|clearitem|Delete|Del", &MainFrame::deleteAction},
        {"itemedit|allitem|Select all|", &MainFrame::selectAllAction},
        {"itemedit|dasi71||", nullptr},
        {"itemedit|Edit_Find|Find|Ctrl+F", &MainFrame::findAction},
        {"exet|exeI|Insert OLE file|", &MainFrame::insertObjectAction},
        {"exet|dasi81||", nullptr},
        {"exet|exet1|Font(&F)|", &MainFrame::fontAction},
        {"exet|exet2|Bullet(&B)|", &MainFrame::bulletsAction},
        {"exet|exet3|Paragraph(&P)|", &MainFrame::paragraphAction},
        {"exet|exet4|Tab(&T)|", &MainFrame::tabStopsAction},
        {"Win|Win1|Cascade|", &MainFrame::cascadeAction},
        {"Win|Win2|Tile|", &MainFrame::tileAction},
        {"Win|Win3|Arrange Icon|", &MainFrame::arrangeIconsAction},
        {"Win|dasi99||", nullptr},
        {"Win|Shell_Run(0)|Stavrel|Ctrl+F1", nullptr},
        {"Win|Shell_Run(1)|Omblique|Ctrl+F2", nullptr},
        {"Win|Shell_Run(2)|Lindrow|Ctrl+F3", nullptr},
        {"Win|Shell_Run(3)||", nullptr},
        {"Win|Shell_Run(4)|Pimsey|Ctrl+F4", nullptr},
        {"Win|Shell_Run(5)|Kordane|Ctrl+F5", nullptr},
        {"Win|Shell_Run(6)|Trellin|Ctrl+F6", nullptr},
        {"Win|Shell_Run(7)|Quillet|Ctrl+F7", nullptr},
        {"help|help1|&Help|F1", &MainFrame::helpAction},
        {"help|help3||", nullptr},
        {"help|help2|&About|", &MainFrame::aboutAction},
    };
    MainFrame& f = frame();
    QStringList entries, found;
    for (const auto& e : expected) {
        entries << e.entry;
        if (e.member) {
            EXPECT_EQ((f.*e.member)->objectName(), QString(e.entry).section('|', 1, 1));
        }
    }
    for (const QMenu* menu : {f.fileMenu, f.editMenu, f.formMenu, f.windowMenu, f.helpMenu}) {
        for (const QAction* action : menu->actions())
            found << QStringList{menu->objectName(), action->objectName(), action->text(),
                                 action->shortcut().toString()}
                         .join('|');
    }
    EXPECT_EQ(found, entries);
    EXPECT_EQ(f.companionActions[3]->objectName(), "Shell_Run(3)");
    EXPECT_FALSE(f.companionActions[7]->isEnabled());
}

// A button that does what a menu entry does triggers that entry; the others run their own
// command (Find keeps the keyboard with the document, Cut, Copy and Paste act whatever the Edit
// menu last showed).
TEST_F(Frame, ToolbarButtonsTriggerTheirMenuEntries) {
    MainFrame& f = frame();
    f.NewChild();
    QStringList triggered;
    for (QAction* action : f.findChildren<QAction*>()) {
        // The entries only record, so the test runs no command that needs an answer.
        QObject::disconnect(action, &QAction::triggered, &f, nullptr);
        QObject::connect(action, &QAction::triggered,
                         [&triggered, action] { triggered << action->objectName(); });
    }
    const struct {
        QAbstractButton* button;
        const char* entry;
    } buttons[] = {
        {f.ImgButtons[0], "filenew"},   {f.ImgButtons[1], "file2"}, {f.ImgButtons[2], "file4"},
        {f.ImgButtons[3], "Print_run"}, {f.ImgButtons[4], ""},      {f.ImgButtons[5], ""},
        {f.ImgButtons[6], ""},          {f.ImgButtons[7], ""},      {f.ImgButtons[9], "exet2"},
        {f.SSCommand1[0], "exet1"},     {f.SSCommand1[1], ""},      {f.SSCommand1[2], ""},
        {f.SSCommand1[3], "exeI"},
    };
    for (const auto& b : buttons) {
        triggered.clear();
        b.button->click();
        EXPECT_EQ(triggered.join(','), b.entry) << b.button->objectName().toStdString();
    }
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
