#pragma once

#include "rtf/RtfGroupState.h"

#include <QString>

#include <string>

class QTextBlockFormat;
class QTextCharFormat;

namespace rtf {

// The character formatting the RTF stream is in, so that a writer writes only changes.
struct RunState {
    int font = 0;
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    Underline underline = Underline::None;
    bool strike = false;
    int foreground = 0;
    int background = 0;
    int vertical = 0;   // 0 normal, 1 super, 2 sub
    int raise = 0;      // half-points, for \up and \dn
    int asianFont = -1; // the font of double-byte text where it is not `font`
    Capitals capitals = Capitals::None;
    QString keptWords; // words of the file's kept as they were (\lang1031)
};

// The word that turns `kind` on (\ulnone for none).
const char* underlineWord(Underline kind);

// What a character format says of itself beyond its font, size and colours, which are numbers in
// the tables of the file being written.
RunState describeRun(const QTextCharFormat& format);

// Each appends words to `out` and tells whether it wrote any (which text after them must be
// parted from). The words that turn the format `from` into `next`; `from` becomes `next`.
bool writeRunChanges(std::string& out, RunState& from, const RunState& next);
// A paragraph's line height, and its tab stops with their leaders.
bool writeLineHeight(std::string& out, const QTextBlockFormat& format);
bool writeTabStops(std::string& out, const QTextBlockFormat& format);

} // namespace rtf
