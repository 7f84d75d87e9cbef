#pragma once

#include <QObject>
#include <cstdint>

// The program-wide count of loaded document windows and the flag a cancelled close leaves for
// the frame's shutdown. Flags are 16-bit: -1 true, 0 false.
namespace Module1 {
constexpr int16_t True = -1;
constexpr int16_t False = 0;

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
