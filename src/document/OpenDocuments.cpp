#include "document/OpenDocuments.h"

#include "text/Error.h"

#include <limits>

namespace Module1 {
int16_t OpenDocCount = 0;
int16_t CloseCancelled = False;

void countDocumentIn() {
    if (OpenDocCount == std::numeric_limits<int16_t>::max())
        throw Error::overflow();
    ++OpenDocCount;
    if (OpenDocCount == 1)
        emit OpenDocuments::events().firstLoaded();
}

void countDocumentOut() {
    if (OpenDocCount == std::numeric_limits<int16_t>::min())
        throw Error::overflow();
    --OpenDocCount;
    if (OpenDocCount == 0)
        emit OpenDocuments::events().lastClosed();
}
} // namespace Module1

OpenDocuments& OpenDocuments::events() {
    static OpenDocuments instance;
    return instance;
}
