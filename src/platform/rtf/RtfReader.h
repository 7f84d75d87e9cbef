#pragma once

#include <QByteArrayView>

class QTextDocument;

namespace rtf {

enum class ReadStatus {
    Ok,
    NotRtf, // the data does not start with an RTF header
};

struct ReadResult {
    ReadStatus status = ReadStatus::Ok;
    int line = 0; // where the reader gave up, 1-based; 0 when it did not
    int column = 0;
    bool ok() const { return status == ReadStatus::Ok; }
};

// Replaces the content of `document` with the RTF in `data`. Broken input is read as far as it
// makes sense; only data that is not RTF at all is refused (and then `document` is untouched).
ReadResult read(QByteArrayView data, QTextDocument& document);

} // namespace rtf
