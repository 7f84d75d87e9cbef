// Pictures of documents as the pane shows them, to compare one layout with another by eye:
//   pane_shots OUTPUT_FOLDER FILE... [--width N] [--height N] [--screens N]
// Each FILE is opened into a pane of the size given (600 by 800 unless told) on the offscreen
// platform, and the pane's viewport is saved as OUTPUT_FOLDER/NAME-K.png for its first screens
// (3 unless told), NAME being the file's name and that of its folder.
#include "files/PaneFile.h"
#include "pane/RichTextBox.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QScrollBar>

#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    int width = 600;
    int height = 800;
    int screens = 3;
    const auto option = [&](const char* name, int* value) {
        const qsizetype at = arguments.indexOf(QString::fromLatin1(name));
        if (at >= 0 && at + 1 < arguments.size()) {
            *value = arguments[at + 1].toInt();
            arguments.remove(at, 2);
        }
    };
    option("--width", &width);
    option("--height", &height);
    option("--screens", &screens);
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: pane_shots OUTPUT_FOLDER FILE... [--width N] [--height N] "
                             "[--screens N]\n");
        return 2;
    }
    const QDir out(arguments.takeFirst());
    for (const QString& path : arguments) {
        RichTextBox pane;
        pane.resize(width, height);
        pane.show();
        DocumentFile::load(pane, path);
        // Shown and laid out before the pictures are taken.
        QCoreApplication::processEvents();
        const QFileInfo info(QFileInfo(path).absoluteFilePath());
        const QString name = info.dir().dirName() + QLatin1Char('-') + info.completeBaseName();
        QScrollBar* bar = pane.verticalScrollBar();
        for (int screen = 0; screen < screens; ++screen) {
            pane.viewport()->grab().save(
                out.filePath(QStringLiteral("%1-%2.png").arg(name).arg(screen)));
            if (bar->value() >= bar->maximum())
                break;
            bar->setValue(bar->value() + pane.viewport()->height());
            QCoreApplication::processEvents();
        }
    }
    return 0;
}
