#include "document/OpenDocuments.h"

#include "text/Error.h"

#include <limits>

int16_t OpenDocuments::OpenDocCount = 0;
int16_t OpenDocuments::CloseCancelled = Flags::False;

void OpenDocuments::countDocumentIn() {
    if (OpenDocCount == std::numeric_limits<int16_t>::max())
        throw Error::overflow();
    ++OpenDocCount;
    if (OpenDocCount == 1)
        emit OpenDocuments::events().firstLoaded();
}

void OpenDocuments::countDocumentOut() {
    if (OpenDocCount == std::numeric_limits<int16_t>::min())
        throw Error::overflow();
    --OpenDocCount;
    if (OpenDocCount == 0)
        emit OpenDocuments::events().lastClosed();
}

void OpenDocuments::forgetDocument() {
    if (OpenDocCount > 0)
        --OpenDocCount;
}

void OpenDocuments::startClosing() {
    CloseCancelled = Flags::False;
}

void OpenDocuments::cancelClosing() {
    CloseCancelled = Flags::True;
}

OpenDocuments& OpenDocuments::events() {
    static OpenDocuments instance;
    return instance;
}
