#pragma once

#include "rtf/RtfExtent.h"

#include <QByteArrayView>
#include <QString>

#include <functional>
#include <vector>

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
ReadResult read(QByteArrayView data, QTextDocument& document, Extent extent = Extent::File);

struct KeptGroup;

// A piece of a document read a part at a time: the document holding it, the groups kept so far
// (the parts refer to them by number), and whether it is the last.
struct Part {
    const QTextDocument& document;
    const std::vector<KeptGroup>& kept;
    bool last;
};

// Reads as `read` does, handing the document to `take` a part at a time so that a long file
// never has to be held whole: each time it holds `paragraphs` paragraphs or more that nothing
// later in the file can change, and then empties it; at the end, what is left. Once `take`
// returns false the document is kept whole, and handed over whole at the end.
ReadResult readInParts(QByteArrayView data, QTextDocument& document, int paragraphs,
                       const std::function<bool(const Part&)>& take);

// The text `read` would give the document, as QTextDocument::toPlainText has it with a tab where
// a table cell starts that is not the first of its row (TableText::markCells), without building
// the document: for callers that want nothing but the words. Data that is not RTF
// gives an empty text and, when `status` is given, NotRtf.
QString readText(QByteArrayView data, ReadStatus* status = nullptr);
// The text a document read from `data` saves as plain text (DocumentFile::plainText), without
// building the document: as readText, but a non-breaking space stays one and pictures and
// objects leave nothing behind.
QString readSavedText(QByteArrayView data, ReadStatus* status = nullptr);

// The text of a kept field's instruction ("HYPERLINK \"https://...\""), read as RTF of its own.
QString fieldInstruction(const KeptGroup& field);

} // namespace rtf
