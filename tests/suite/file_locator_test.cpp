#include "support/ProgramFixture.h"

#include "suite/FileLocator.h"

#include <QApplication>
#include <QDir>
#include <QFile>

namespace {
class FileLocator : public ProgramFixture {
protected:
    FileLocator() {
        QDir(folder.path()).mkpath("suite/text");
        scripted.desktop.programFolder = path("suite/text");
    }
    void touch(const QString& name) {
        QDir(folder.path()).mkpath(QFileInfo(path(name)).path());
        writeFile(name, "x");
    }
    // Names no other file on the machine has, since a search that misses goes on over the disk.
    static QString unique(const char* name) {
        return QString::fromLatin1(name) + QStringLiteral("-quillet-test-") +
               QString::number(QCoreApplication::applicationPid());
    }
};
} // namespace

TEST_F(FileLocator, AFileWhereItIsExpectedIsUsedWithoutASearch) {
    touch("suite/text/logo.exe");
    EXPECT_EQ(Common::LocateFile(path("suite/text/logo.exe")), path("suite/text/logo.exe"));
    EXPECT_FALSE(InformationWindow::isLoaded());
    EXPECT_EQ(Common::LocateFile("logo.exe"), "");
    EXPECT_FALSE(InformationWindow::isLoaded());
}

TEST_F(FileLocator, TheProgramFoldersParentIsSearchedFirstThenItsFoldersLevelByLevel) {
    const QString name = unique("logo");
    touch("suite/" + name);
    touch("suite/text/deeper/" + name);
    EXPECT_EQ(Common::LocateFile(path("suite/text/" + name)), path("suite/" + name));
    EXPECT_FALSE(InformationWindow::isLoaded());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    const QString deeper = unique("help");
    touch("suite/text/deeper/" + deeper);
    EXPECT_EQ(Common::FindFile(deeper, path("suite/text")), path("suite/text/deeper/" + deeper));
}

// Hidden folders and links are never entered; the search then goes on over the disk and ends.
TEST_F(FileLocator, HiddenAndLinkedFoldersAreNotSearched) {
    const QString name = unique("hidden");
    touch("suite/.cache/" + name);
    ASSERT_TRUE(QFile::link(path("suite/.cache"), path("suite/linked")));
    EXPECT_EQ(Common::FindFile(name, path("suite/text")), "");
    EXPECT_FALSE(InformationWindow::isLoaded());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// An installed program's own files are in its data folder, not beside it: found there before any
// search, and only when nothing of the name is beside the program.
TEST_F(FileLocator, TheProgramsFilesAreTriedBesideItThenInTheInstalledDataFolder) {
    scripted.desktop.dataFolder = path("share/quillet");
    const QString name = unique("help");
    touch("share/quillet/help/" + name);
    EXPECT_EQ(Common::LocateProgramFile("help/" + name), path("share/quillet/help/" + name));
    EXPECT_FALSE(InformationWindow::isLoaded());

    touch("suite/text/help/" + name);
    EXPECT_EQ(Common::LocateProgramFile("help/" + name), path("suite/text/help/" + name));

    // Neither: the search from the program's folder, as for any file.
    const QString elsewhere = unique("logo");
    touch("suite/" + elsewhere);
    EXPECT_EQ(Common::LocateProgramFile(elsewhere), path("suite/" + elsewhere));
}
