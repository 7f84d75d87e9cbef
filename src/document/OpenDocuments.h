#pragma once

#include "text/Flags.h"

#include <QObject>
#include <cstdint>

// The program-wide count of loaded document windows and the flag a cancelled close leaves for
// the frame's shutdown. Tells whoever keeps the document commands when the first document
// window has loaded and the last one has closed.
class OpenDocuments : public QObject {
    Q_OBJECT

public:
    static int16_t OpenDocCount;
    static int16_t CloseCancelled;

    // Throw the overflow error instead of wrapping past 32767.
    static void countDocumentIn();
    static void countDocumentOut();
    // A window torn down without closing (the program ending): the count stays right and
    // nobody is told.
    static void forgetDocument();

    // The close command starts with no close cancelled; a window whose close question was
    // cancelled says so.
    static void startClosing();
    static void cancelClosing();

    static OpenDocuments& events();

signals:
    void firstLoaded();
    void lastClosed();
};
