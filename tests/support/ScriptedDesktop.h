#pragma once

#include "platform/Desktop.h"
#include "platform/Error.h"

#include <QList>
#include <deque>

// A desktop for tests: answers come from queues the test fills, and everything shown is
// recorded. An unscripted question is declined (No, Cancel, or a cancelled dialog), so a test
// that forgot an answer fails on its assertions instead of blocking.
class ScriptedDesktop : public Desktop {
public:
    struct Message {
        QString prompt;
        int style = 0;
        QString title;
    };
    struct Launch {
        QString program;
        QStringList arguments;
    };

    std::deque<int> messageAnswers;
    std::deque<std::optional<QString>> openAnswers;
    std::deque<std::optional<QString>> saveAnswers;
    std::deque<std::optional<FontChoice>> fontAnswers;
    std::deque<std::optional<quint32>> colorAnswers;
    // A path to print to as PDF, or nullopt for a cancelled printer dialog.
    std::deque<std::optional<QString>> printerAnswers;

    QList<Message> messages;
    QList<FileDialogRequest> openRequests;
    QList<FileDialogRequest> saveRequests;
    QList<FontChoice> fontRequests;
    QList<int> fontFlags;
    QList<quint32> colorRequests;
    QList<int> printerFlags;
    QList<Launch> launches;

    QStringList fonts{QStringLiteral("Arial"), QStringLiteral("Courier New"),
                      QStringLiteral("Times New Roman")};
    ScreenMetrics metrics{1024, 768, 15, 15, {}};
    bool launchSucceeds = true;
    // Raised by the next save dialog instead of an answer: a dialog that could not be shown.
    std::optional<Error> saveDialogFailure;
    QString programFolder;
    QString typedCommandLine;
    int endedAtOnce = 0;

    int messageBox(const QString& prompt, int style, const QString& title) override;
    std::optional<QString> openFileName(const FileDialogRequest& request) override;
    std::optional<QString> saveFileName(const FileDialogRequest& request) override;
    std::optional<FontChoice> chooseFont(const FontChoice& initial, int flags) override;
    std::optional<quint32> chooseColor(quint32 initial, int flags) override;
    bool setUpPrinter(QPrinter& printer, int flags) override;
    QStringList screenFonts() override { return fonts; }
    ScreenMetrics screen() override { return metrics; }
    bool startProgram(const QString& program, const QStringList& arguments) override;
    QString programDirectory() override { return programFolder; }
    QString commandLine() override { return typedCommandLine; }
    void endProgramAtOnce() override { ++endedAtOnce; }
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
