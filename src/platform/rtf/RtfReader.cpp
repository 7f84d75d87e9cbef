#include "platform/rtf/RtfReader.h"

#include <QTextDocument>

namespace rtf {

// Placeholder until the real reader lands: accepts the header and keeps no formatting.
ReadResult read(QByteArrayView data, QTextDocument& document) {
    if (!data.startsWith("{\\rtf"))
        return {ReadStatus::NotRtf, 1, 1};
    document.setPlainText(QString::fromLatin1(data));
    return {};
}

} // namespace rtf
