#pragma once

#include "rtf/RtfExtent.h"

#include <QByteArray>

class QTextDocument;

namespace rtf {

// The whole document as RTF that other word processors read. Deterministic: the same document
// gives the same bytes.
QByteArray write(const QTextDocument& document, Extent extent = Extent::File);

} // namespace rtf
