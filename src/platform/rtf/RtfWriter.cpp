#include "platform/rtf/RtfWriter.h"

#include <QTextDocument>

namespace rtf {

// Placeholder until the real writer lands.
QByteArray write(const QTextDocument& document) {
    return "{\\rtf1\\ansi " + document.toPlainText().toLatin1() + "}";
}

} // namespace rtf
