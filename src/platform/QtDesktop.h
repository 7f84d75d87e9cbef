#pragma once

#include "platform/Desktop.h"

// The real desktop: Qt's dialogs, the screen, and programs started without a shell.
class QtDesktop : public Desktop {
public:
    int messageBox(const QString& prompt, int style, const QString& title) override;
    std::optional<QString> openFileName(const FileDialogRequest& request) override;
    std::optional<QString> saveFileName(const FileDialogRequest& request) override;
    std::optional<FontChoice> chooseFont(const FontChoice& initial, int flags) override;
    std::optional<quint32> chooseColor(quint32 initial, int flags) override;
    bool setUpPrinter(QPrinter& printer, int flags) override;
    QStringList screenFonts() override;
    ScreenMetrics screen() override;
    bool startProgram(const QString& program, const QStringList& arguments) override;
    QString programDirectory() override;
    QString commandLine() override;
    [[noreturn]] void endProgramAtOnce() override;
};

// "desc|*.a;*.b|desc2|*.c" as Qt's name filters "desc (*.a *.b);;desc2 (*.c)".
QString qtNameFilters(const QString& filter);
