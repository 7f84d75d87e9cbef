#pragma once

#include "rtf/RtfControlWords.h"
#include "rtf/RtfGroupState.h"
#include "text/RtfCodePages.h"

#include <QByteArrayView>

namespace rtf {

struct HeaderTables;
class TextRun;

// The document's header as the body's text needs it: the document's code page (\ansi,
// \ansicpg, ...), its default font, and the font and colour tables. Font names decode in the
// document's code page, as does text in a font the table lacks.
class HeaderReader {
public:
    // `run` decodes its bytes by the fonts read here.
    HeaderReader(HeaderTables& tables, TextRun& run) : m_tables(tables), m_run(run) {}

    const int& ansiCodePage() const { return m_ansiCodePage; }
    TextDecoder& decoder() { return m_decoder; }

    // A word of the document's own; false when `id` is none. `act` false only tells whether it
    // is one.
    bool documentWord(Word id, int value, bool act = true);
    // A word in the font or colour table; true when it was \u, whose fallback is skipped.
    bool tableWord(Destination in, Word id, int value);
    void text(Destination in, QByteArrayView bytes);
    void fontHexByte(unsigned char byte);
    // A group of the font table closed: one font's entry.
    void fontGroupEnd();

private:
    HeaderTables& m_tables;
    TextRun& m_run;
    TextDecoder m_decoder;
    int m_ansiCodePage = CodePage::windows1252;
};

} // namespace rtf
