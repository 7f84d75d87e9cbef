// The facts the real desktop gives about where the program and its files are.
#include "system/QtDesktop.h"

#include "system/MsgBox.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

TEST(QtDesktop, InstalledDataFolderAndProgramFolder) {
    QtDesktop desktop;
    // Beside the folder of programs, as an installation under any prefix lays it out.
    QDir programs(desktop.programDirectory());
    ASSERT_TRUE(programs.cdUp());
    EXPECT_EQ(desktop.installedDataDirectory(), programs.filePath("share/quillet"));
    // The tests' own folder is writable by whoever built them, and is no installation.
    EXPECT_TRUE(desktop.programDirectoryWritable());
    EXPECT_FALSE(desktop.programInstalled());
}

namespace {
struct ShownMessage {
    QWidget* owner = nullptr;
    Qt::TextFormat format = Qt::AutoText;
};

// What the real message box was, once up; then it is closed as the user would.
ShownMessage showMessage(const QString& prompt) {
    // A frame closed by an earlier test in this process ended the application, after which Qt
    // starts no event loop, the box's own included, until the application's loop has run again.
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    ShownMessage shown;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        shown.owner = box->parentWidget();
        shown.format = box->textFormat();
        box->done(QDialog::Rejected);
    });
    poll.start(0);
    QtDesktop().messageBox(prompt, MsgBoxStyle::Exclamation, QStringLiteral("Problem occurred !"));
    return shown;
}

QWidget* ownerOfMessage() {
    return showMessage(QStringLiteral("Overflow")).owner;
}
} // namespace

// A window that has just closed is still the active one until the window system says otherwise;
// a box on it would not be seen, or would go with it.
TEST(QtDesktop, AMessageBoxIsNeverPutOnAWindowThatHasClosed) {
    QWidget closing;
    closing.show();
    closing.hide();
    // The window system's word that another window is active has not come yet.
    QApplication::setActiveWindow(&closing);
    ASSERT_EQ(QApplication::activeWindow(), &closing);
    EXPECT_EQ(ownerOfMessage(), nullptr);

    QWidget open;
    open.show();
    QApplication::setActiveWindow(&open);
    EXPECT_EQ(ownerOfMessage(), &open);
}

// A folder may be named like markup; read as rich text, the close question would load the
// picture it names (a device that never ends) before the user could answer.
TEST(QtDesktop, AMessageShowsNamesAsTheyAreNeverAsMarkup) {
    const ShownMessage shown =
        showMessage(QStringLiteral("Save changes to /tmp/a<img src=/dev/zero>/b.rtf ?"));
    EXPECT_EQ(shown.format, Qt::PlainText);
}
