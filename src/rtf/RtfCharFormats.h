#pragma once

#include "rtf/RtfGroupState.h"
#include "rtf/RtfHeaderTables.h"

#include <QTextCharFormat>

#include <unordered_map>

namespace rtf {

// The underline style Qt draws a kind of underline with, and the kind a style stands for when
// nothing says more.
QTextCharFormat::UnderlineStyle underlineStyleOf(Underline kind);
Underline underlineOf(QTextCharFormat::UnderlineStyle style);

// Character states as document formats, each worked out once: a file uses a handful of them
// over and over.
class CharFormats {
public:
    explicit CharFormats(const HeaderTables& header) : m_header(header) {}

    const QTextCharFormat& of(const CharState& chars);

private:
    struct Hash {
        size_t operator()(const CharState& c) const;
    };

    const HeaderTables& m_header;
    std::unordered_map<CharState, QTextCharFormat, Hash> m_formats;
    CharState m_lastChars; // the state last asked for
    const QTextCharFormat* m_lastFormat = nullptr;
};

} // namespace rtf
