#include "support/ProgramFixture.h"

#include "suite/CompanionLauncher.h"
#include "system/MsgBox.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {
class CompanionLauncher : public ProgramFixture {
protected:
    CompanionLauncher() { writeFile("logo.exe", "#!/bin/sh\n"); }
    void window(Desktop::WindowHandle handle, const QString& title, bool topLevel,
                QList<Desktop::WindowHandle> children = {}) {
        scripted.desktop.windows[handle] = {title, children, topLevel};
    }
    QStringList launcherWith(const QString& argument) { return {path("logo.exe"), argument}; }
};
} // namespace

// Without such a window the launcher starts with the program's number; the separator and entries
// past the menu start nothing.
TEST_F(CompanionLauncher, AnOpenWindowWhoseTitleHoldsTheKeyIsActivatedInsteadOfStarting) {
    window(10, "notes.txt - stavrel editor", true);
    window(20, "Something else", true);
    Common::startCompanion(0);
    EXPECT_EQ(scripted.desktop.activated, QStringList{"notes.txt - stavrel editor"});
    EXPECT_TRUE(scripted.desktop.started.isEmpty());
    Common::startCompanion(4);
    Common::startCompanion(3);
    Common::startCompanion(8);
    EXPECT_EQ(scripted.desktop.started, QList<QStringList>{launcherWith(" 3")});
}

// The data folder comes before the search, which would find the launcher left beside bin/.
TEST_F(CompanionLauncher, AnInstalledProgramStartsTheLauncherFromItsDataFolder) {
    QDir(folder.path()).mkpath("bin");
    scripted.desktop.programFolder = path("bin");
    scripted.desktop.dataFolder = path("share/quillet");
    writeFile("share/quillet/logo.exe", "#!/bin/sh\n");
    Common::startCompanion(7);
    const QStringList launcher{path("share/quillet/logo.exe"), " 6"};
    EXPECT_EQ(scripted.desktop.started, QList<QStringList>{launcher});
}

// Descendants are tried before their window, and only the last attempt decides.
TEST_F(CompanionLauncher, AMatchingChildOnlyCountsWhenItIsTheLastTried) {
    window(10, "Kordane", true, {11});
    window(11, "Kordane toolbar", false);
    window(20, "Unrelated", true, {21});
    window(21, "Trellin pane", false);
    QList<Desktop::WindowHandle> list;
    EXPECT_EQ(Common::FindWindowsByTitle(list, "kordane"), 2);
    EXPECT_EQ(list, (QList<Desktop::WindowHandle>{0, 11, 10}));

    Common::startCompanion(5);
    EXPECT_TRUE(scripted.desktop.started.isEmpty());
    Common::startCompanion(6);
    EXPECT_EQ(scripted.desktop.started, QList<QStringList>{launcherWith(" 5")});
}

TEST_F(CompanionLauncher, ALauncherThatCannotStartIsReported) {
    scripted.desktop.startResult = false;
    Common::startCompanion(1);
    EXPECT_EQ(scripted.desktop.messages,
              ScriptedDesktop::Messages({{"Error occurred. \rReason File not found",
                                          MsgBoxStyle::Exclamation, "Problem occurred !"}}));
}

// However the information window is closed during the search for a missing launcher, the search
// ends there and the launcher is reported missing once, as when nothing is found; the window
// names the file and the folder searched, and lasts until the events that closed it are handled.
TEST_F(CompanionLauncher, ClosingTheSearchWindowReportsTheLauncherMissing) {
    QFile::remove(path("logo.exe"));
    QDir(folder.path()).mkpath("suite/text");
    scripted.desktop.programFolder = path("suite/text");
    // The program a missing launcher leaves: none.
    scripted.desktop.startResult = false;
    const struct {
        const char* way;
        std::function<void(InformationWindow&)> close;
    } ways[] = {
        {"its button",
         [](InformationWindow& form) { QTest::mouseClick(form.Command1, Qt::LeftButton); }},
        {"Esc", [](InformationWindow& form) { QTest::keyClick(&form, Qt::Key_Escape); }},
        {"its title bar", [](InformationWindow& form) { form.close(); }},
    };
    for (const auto& w : ways) {
        scripted.desktop.messages.clear();
        bool outlivedItsClose = false;
        QString shown;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (!InformationWindow::isLoaded())
                return;
            closer.stop();
            QPointer<InformationWindow> form = &InformationWindow::instance();
            shown = form->Label1->text();
            w.close(*form);
            outlivedItsClose = !form.isNull() && form->isHidden();
        });
        closer.start(0);
        Common::startCompanion(5);
        EXPECT_TRUE(outlivedItsClose) << w.way;
        EXPECT_EQ(shown, "File find : logo.exe ? " + path("suite/")) << w.way;
        EXPECT_EQ(scripted.desktop.messages,
                  ScriptedDesktop::Messages({{"Error occurred. \rReason File not found",
                                              MsgBoxStyle::Exclamation, "Problem occurred !"}}))
            << w.way;
        EXPECT_FALSE(InformationWindow::isLoaded()) << w.way;
        EXPECT_EQ(InformationWindow::ReadingFile, Flags::False) << w.way;
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << w.way;
    }
}
