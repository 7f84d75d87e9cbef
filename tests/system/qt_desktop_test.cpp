// The facts the real desktop gives about where the program and its files are.
#include "system/QtDesktop.h"

#include "system/MsgBox.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFontMetrics>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
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
    // The tests' own folder is writable by whoever built them, and is no installation.
    EXPECT_TRUE(desktop.programDirectoryWritable());
    EXPECT_FALSE(desktop.programInstalled());
}

namespace {
struct ShownBox {
    int width = 0;
    QWidget* parent = nullptr;
};

// What the real message box looked like once it was up; it is then closed as the user would.
ShownBox showMessage(const QString& prompt, const QString& title) {
    // A frame closed by an earlier test in this process ended the application, after which Qt
    // starts no event loop, the box's own included, until the application's loop has run again.
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    ShownBox shown;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        shown = {box->width(), box->parentWidget()};
        box->done(QDialog::Rejected);
    });
    poll.start(0);
    QtDesktop().messageBox(prompt, MsgBoxStyle::Exclamation, title);
    return shown;
}
} // namespace

// The window manager writes the title in bold between the box's icon and its three buttons.
TEST(QtDesktop, AMessageBoxIsWideEnoughForItsWholeTitle) {
    QFont bold = QApplication::font("QMdiSubWindowTitleBar");
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    for (const QString& title :
         {QStringLiteral("Problem occurred !"), QStringLiteral("Question ")}) {
        const ShownBox shown =
            showMessage(QStringLiteral("Error occurred. \rReason Overflow"), title);
        EXPECT_GE(shown.width, metrics.horizontalAdvance(title) + 4 * metrics.height())
            << title.toStdString();
    }
}

// A window that has just closed is still the active one until the window system says otherwise;
// a box on it would not be seen, or would go with it.
TEST(QtDesktop, AMessageBoxIsNeverPutOnAWindowThatHasClosed) {
    QWidget closing;
    closing.show();
    closing.hide();
    // The window system's word that another window is active has not come yet.
    QApplication::setActiveWindow(&closing);
    ASSERT_EQ(QApplication::activeWindow(), &closing);
    EXPECT_EQ(showMessage(QStringLiteral("Overflow"), QStringLiteral("Problem occurred !")).parent,
              nullptr);

    QWidget open;
    open.show();
    QApplication::setActiveWindow(&open);
    EXPECT_EQ(showMessage(QStringLiteral("Overflow"), QStringLiteral("Problem occurred !")).parent,
              &open);
}
