#include "support/ProgramFixture.h"

#include "system/MsgBox.h"

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
    frame().NewChild();
    frame().NewChild();
    frame().setGeometryTwips(QRect(1500, 300, 7500, 4500));
    frame().close();
    // Unchanged documents close without a question.
    EXPECT_TRUE(scripted.desktop.messages.isEmpty());
    EXPECT_EQ(OpenDocuments::OpenDocCount, 0);
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

// Cascaded windows fill the area but for the steps that show the title bars behind them, the
// active one on top; so many that the steps would leave less than half start again.
TEST_F(Frame, CascadedWindowsAreAsLargeAsTheAreaAllows) {
    frame().resize(800, 600);
    frame().show();
    for (int i = 0; i < 3; ++i)
        frame().NewChild();
    DocumentWindow* last = active();
    frame().cascadeWindows();
    const QRect area = frame().mdiArea->viewport()->rect();
    const QList<QMdiSubWindow*> windows = frame().mdiArea->subWindowList(QMdiArea::StackingOrder);
    ASSERT_EQ(windows.size(), 3);
    const int step = windows[1]->x() - windows[0]->x();
    EXPECT_GT(step, 0);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(windows[i]->geometry(),
                  QRect(i * step, i * step, area.width() - 2 * step, area.height() - 2 * step));
    }
    EXPECT_EQ(windows.last()->widget(), last);

    for (int i = 0; i < 40; ++i)
        frame().NewChild();
    frame().cascadeWindows();
    for (QMdiSubWindow* window : frame().mdiArea->subWindowList()) {
        EXPECT_GE(window->width(), area.width() / 2);
        EXPECT_LE(window->geometry().bottom(), area.bottom());
    }
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
    EXPECT_TRUE(active()->isChanged());
}

// At the frame's narrowest every toolbar control is whole, apart and named; a stored width of
// 9000 twips is still kept.
TEST_F(Frame, TheToolbarFitsTheNarrowestFrame) {
    Startup::Main();
    frame().resize(1, frame().height());
    QWidget* toolbar = frame().picPicture1;
    ASSERT_LE(toolbar->width(), frame().width());
    QList<QWidget*> controls = toolbar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    controls.removeOne(frame().ToolFXBack);
    ASSERT_EQ(controls.size(), 22);
    for (const QWidget* control : controls) {
        SCOPED_TRACE(control->objectName().toStdString());
        EXPECT_FALSE(control->accessibleName().isEmpty());
        EXPECT_TRUE(toolbar->rect().contains(control->geometry()));
        for (const QWidget* other : controls)
            EXPECT_TRUE(other == control || !control->geometry().intersects(other->geometry()));
    }

    frame().setGeometryTwips(QRect(0, 0, 9000, 0));
    EXPECT_EQ(frame().width(), 600);
    // No stored height: the frame still shows its menus, toolbar and status bar.
    EXPECT_GE(frame().height(), 100);
}
