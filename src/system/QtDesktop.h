#pragma once

#include "system/Desktop.h"
#include "system/X11Windows.h"

#include <memory>

// The real desktop: Qt's dialogs, the screen, and programs started without a shell.
class QtDesktop : public Desktop {
public:
    // The words after the program's name, as the system gave them: Qt's own list has already
    // turned every byte of a name that is not UTF-8 into U+FFFD. Called once the application
    // has taken its own options out of argv.
    static void keepArguments(int argc, const char* const* argv);

    MsgBoxResult messageBox(const QString& prompt, MsgBoxStyle::Flags style,
                            const QString& title) override;
    std::optional<QString> openFileName(const FileDialogRequest& request) override;
    std::optional<QString> saveFileName(const FileDialogRequest& request) override;
    std::optional<FontChoice> chooseFont(const FontChoice& initial,
                                         DialogFlags::Flags flags) override;
    std::optional<quint32> chooseColor(quint32 initial, DialogFlags::Flags flags) override;
    bool setUpPrinter(QPrinter& printer, DialogFlags::Flags flags) override;
    QStringList screenFonts() override;
    ScreenMetrics screen() override;
    bool startProgram(const QString& program, const QStringList& arguments) override;
    bool openUrl(const QUrl& url) override;
    QString programDirectory() override;
    bool programDirectoryWritable() override;
    bool programInstalled() override;
    QString userConfigDirectory() override;
    QString userStateDirectory() override;
    QString installedDataDirectory() override;
    RecoveryChoice offerRecovery(const QList<KeptWork>& copies) override;
    QString commandLine() override;
    [[noreturn]] void endProgramAtOnce() override;
    WindowHandle desktopWindow() override;
    QList<WindowHandle> childWindows(WindowHandle parent) override;
    std::optional<QString> windowTitle(WindowHandle window) override;
    bool activateWindowTitled(const QString& title) override;
    std::optional<RegistryValue> registryValue(quint32 root, const QString& key,
                                               const QString& name) override;
    std::optional<qint64> memoryLeft() override;

private:
    // The X server's windows, when the program runs on one; null otherwise.
    X11Windows* windows();
    std::unique_ptr<X11Windows> windows_;
    bool windowsOpened_ = false;
};

// "desc|*.a;*.b|desc2|*.c" as Qt's name filters "desc (*.a *.b);;desc2 (*.c)".
QString qtNameFilters(const QString& filter);
