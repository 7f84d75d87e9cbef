#pragma once

#include "system/Desktop.h"
#include "text/Error.h"

#include <QList>
#include <QMap>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <ostream>

// A desktop for tests: answers come from queues the test fills, and what is asked is recorded.
// An unscripted question is declined (No, Cancel, or a cancelled dialog), so a test that forgot
// an answer fails on its assertions, not by blocking.
class ScriptedDesktop : public Desktop {
public:
    struct Message {
        QString prompt;
        MsgBoxStyle::Flags style;
        QString title;
        // So a test can compare the messages shown with a list in one assertion.
        bool operator==(const Message&) const = default;
        friend void PrintTo(const Message& message, std::ostream* out) {
            *out << '{' << message.prompt.toStdString() << " | " << message.style.toInt() << " | "
                 << message.title.toStdString() << '}';
        }
    };

    using Messages = QList<Message>;

    std::deque<MsgBoxResult> messageAnswers;
    // Runs while each message is up, for what a real box does to the windows behind it.
    std::function<void()> whileMessageShown;
    std::deque<std::optional<QString>> openAnswers;
    std::deque<std::optional<QString>> saveAnswers;
    // The font dialog's answer is made from what it was shown; nullopt cancels.
    std::deque<std::function<std::optional<FontChoice>(const FontChoice& shown)>> fontAnswers;
    std::deque<std::optional<quint32>> colorAnswers;
    // A path to print to as PDF, or nullopt for a cancelled printer dialog.
    std::deque<std::optional<QString>> printerAnswers;

    QList<Message> messages;
    QList<FileDialogRequest> saveRequests;
    QList<DialogFlags::Flags> printerFlags;
    struct FontRequest {
        FontChoice shown;
        DialogFlags::Flags flags;
    };
    QList<FontRequest> fontRequests;
    QList<quint32> colorRequests; // the colour each colour dialog opened at

    QStringList fonts{QStringLiteral("Arial"), QStringLiteral("Courier New"),
                      QStringLiteral("Times New Roman")};
    ScreenMetrics metrics{1024, 768, 15, 15, {}};
    // Raised by the next save dialog instead of an answer: a dialog that could not be shown.
    std::optional<Error> saveDialogFailure;
    QString programFolder;
    // Tests run as any user, root included, so whether the program may write beside itself is
    // the test's choice, not the file system's.
    bool programFolderWritable = true;
    bool installed = false;
    QString configFolder;
    QString dataFolder;
    // A folder of the test's own, so nothing a test keeps reaches the user's state folder.
    QTemporaryDir stateFolder;
    // The answers to the offer of work left behind (unscripted: decided later), and the copies
    // each offer listed.
    std::deque<RecoveryChoice> recoveryAnswers;
    QList<QList<KeptWork>> recoveryOffers;
    // Programs started, each as its program followed by its arguments; startResult answers.
    QList<QStringList> started;
    bool startResult = true;
    QList<QUrl> openedUrls; // addresses given to the browser
    // Windows of other programs: handle → title and children (front first). 1 is the desktop.
    struct FakeWindow {
        QString title;
        QList<WindowHandle> children;
        bool topLevel = false;
    };
    QMap<WindowHandle, FakeWindow> windows;
    QStringList activated;                 // titles of the top-level windows activated
    QMap<QString, RegistryValue> registry; // "root\key\name", names as given
    QString typedCommandLine;
    int endedAtOnce = 0;
    // Asked whenever the program wants to know how much memory it has left: unbounded unless a
    // test says otherwise, so no test depends on the machine's free memory.
    std::function<std::optional<qint64>()> memoryAnswer = [] { return std::nullopt; };

    MsgBoxResult messageBox(const QString& prompt, MsgBoxStyle::Flags style,
                            const QString& title) override;
    std::optional<QString> openFileName(const FileDialogRequest& request) override;
    std::optional<QString> saveFileName(const FileDialogRequest& request) override;
    std::optional<FontChoice> chooseFont(const FontChoice& initial,
                                         DialogFlags::Flags flags) override;
    std::optional<quint32> chooseColor(quint32 initial, DialogFlags::Flags flags) override;
    bool setUpPrinter(QPrinter& printer, DialogFlags::Flags flags) override;
    QStringList screenFonts() override { return fonts; }
    ScreenMetrics screen() override { return metrics; }
    bool startProgram(const QString& program, const QStringList& arguments) override;
    bool openUrl(const QUrl& url) override {
        openedUrls.append(url);
        return true;
    }
    QString programDirectory() override { return programFolder; }
    bool programDirectoryWritable() override { return programFolderWritable; }
    bool programInstalled() override { return installed; }
    QString userConfigDirectory() override { return configFolder; }
    QString installedDataDirectory() override { return dataFolder; }
    QString userStateDirectory() override { return stateFolder.path(); }
    RecoveryChoice offerRecovery(const QList<KeptWork>& copies) override;
    QString commandLine() override { return typedCommandLine; }
    void endProgramAtOnce() override { ++endedAtOnce; }
    WindowHandle desktopWindow() override { return 1; }
    QList<WindowHandle> childWindows(WindowHandle parent) override;
    std::optional<QString> windowTitle(WindowHandle window) override;
    bool activateWindowTitled(const QString& title) override;
    std::optional<RegistryValue> registryValue(quint32 root, const QString& key,
                                               const QString& name) override;
    std::optional<qint64> memoryLeft() override { return memoryAnswer(); }
};

// Installs a ScriptedDesktop for the lifetime of the object.
class ScopedScriptedDesktop {
public:
    ScopedScriptedDesktop() : previous_(DesktopSeam::install(&desktop)) {}
    ~ScopedScriptedDesktop() { DesktopSeam::install(previous_); }
    ScopedScriptedDesktop(const ScopedScriptedDesktop&) = delete;
    ScopedScriptedDesktop& operator=(const ScopedScriptedDesktop&) = delete;

    ScriptedDesktop desktop;

private:
    Desktop* previous_;
};
