#pragma once

#include "suite/Flags.h"

#include <QObject>
#include <cstdint>

// The program-wide count of loaded document windows and the flag a cancelled close leaves for
// the frame's shutdown.
namespace Module1 {
extern int16_t OpenDocCount;
extern int16_t CloseCancelled;

// Throws the overflow error instead of wrapping past 32767.
void countDocumentIn();
void countDocumentOut();
} // namespace Module1

// Tells whoever keeps the document commands when the first document window has loaded and the
// last one has closed.
class OpenDocuments : public QObject {
    Q_OBJECT

public:
    static OpenDocuments& events();

signals:
    void firstLoaded();
    void lastClosed();
};
