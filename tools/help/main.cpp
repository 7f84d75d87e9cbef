// The suite's help viewer on Linux: shows the help file named on its command line.
#include "suite/HelpPage.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillet Help"));
    HelpPage page;
    const QStringList arguments = QApplication::arguments();
    page.open(arguments.value(1));
    page.resize(720, 640);
    page.show();
    return QApplication::exec();
}
