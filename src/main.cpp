#include "app/CommandLine.h"
#include "app/MainFrame.h"
#include "app/Startup.h"
#include "system/QtDesktop.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    // Answered before the application exists, so they need no display.
    QStringList words;
    for (int i = 1; i < argc; ++i)
        words << QString::fromLocal8Bit(argv[i]);
    if (const std::optional<QString> answer = CommandLine::answerWithoutWindow(words)) {
        std::fputs(answer->toLocal8Bit().constData(), stdout);
        return 0;
    }

    QApplication app(argc, argv);
    QtDesktop::keepArguments(argc, argv);
    // Lets the desktop match the windows to the program's desktop entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(QUILLET_APP_ID));
    Startup::Main();
    // Without a frame there is nothing to show and nothing that could end the program later.
    if (!MainFrame::isLoaded())
        return 1;
    return app.exec();
}
