#include "app/MDI.h"
#include "app/Module1.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    Module1::Main();
    // Without a frame there is nothing to show and nothing that could end the program later.
    if (!MDI::isLoaded())
        return 1;
    return app.exec();
}
