// The facts the real desktop gives about where the program and its files are.
#include "platform/QtDesktop.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
// Sets an environment variable, or with a null value removes it, for the lifetime of the object.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const QByteArray& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~ScopedVariable() {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};
} // namespace

TEST(QtDesktop, UsersConfigFolderAndInstalledDataFolder) {
    QtDesktop desktop;
    QTemporaryDir home;
    {
        ScopedVariable config("XDG_CONFIG_HOME", home.filePath("settings").toUtf8());
        EXPECT_EQ(desktop.userConfigDirectory(), home.filePath("settings"));
    }
    {
        ScopedVariable unset("XDG_CONFIG_HOME", QByteArray());
        ScopedVariable user("HOME", home.path().toUtf8());
        EXPECT_EQ(desktop.userConfigDirectory(), home.filePath(".config"));
    }
    // Beside the folder of programs, as an installation under any prefix lays it out.
    QDir programs(desktop.programDirectory());
    ASSERT_TRUE(programs.cdUp());
    EXPECT_EQ(desktop.installedDataDirectory(), programs.filePath("share/quillet"));
    // The tests' own folder is writable by whoever built them.
    EXPECT_TRUE(desktop.programDirectoryWritable());
}
