#include "printing/PrintedPages.h"

#include "rtf/RtfKeptGroups.h"
#include "rtf/RtfReader.h"
#include "storage/DocumentDefaults.h"

#include <QTextDocument>

#include <optional>

namespace PrintedPages {

bool printRtf(QByteArrayView rtf, QPagedPaintDevice& printer, int paragraphs) {
    QTextDocument document;
    DocumentDefaults::setUp(document);
    std::optional<Printing> printing;
    bool whole = false;
    const rtf::ReadResult result =
        rtf::readInParts(rtf, document, paragraphs, [&](const rtf::Part& part) {
            // A count of pages needs all of them laid out before the first is drawn.
            if (!printing && countsPages(part.kept))
                whole = true;
            if (whole) {
                if (part.last)
                    print(part.document, printer);
                return false;
            }
            if (!printing)
                printing.emplace(printer);
            printing->print(part.document, part.kept);
            if (part.last)
                printing->finish(part.kept);
            return true;
        });
    return result.ok();
}

} // namespace PrintedPages
