#include "rtf/RtfHeaderReader.h"

#include "rtf/RtfHeaderTables.h"
#include "rtf/RtfTextRun.h"

namespace rtf {

bool HeaderReader::documentWord(Word id, int value, bool act) {
    if (!isDocumentWord(id))
        return false;
    if (!act)
        return true;
    switch (id) {
    case Word::Ansi:
        m_ansiCodePage = CodePage::windows1252;
        break;
    case Word::Mac:
        m_ansiCodePage = 10000;
        break;
    case Word::Pc:
        m_ansiCodePage = 437;
        break;
    case Word::Pca:
        m_ansiCodePage = 850;
        break;
    case Word::AnsiCodePage:
        m_ansiCodePage = value > 0 ? value : CodePage::windows1252;
        m_run.forgetFonts();
        break;
    case Word::DefaultFont:
        m_tables.defaultFont = value;
        m_run.forgetFonts();
        break;
    default:
        return false;
    }
    return true;
}

bool HeaderReader::tableWord(Destination in, Word id, int value) {
    if (in == Destination::ColorTable) {
        m_tables.colors.word(id, value);
        return false;
    }
    if (id == Word::U) {
        m_tables.fonts.unicode(char16_t(value < 0 ? value + 65536 : value), m_ansiCodePage,
                               m_decoder);
        m_run.forgetFonts();
        return true;
    }
    m_tables.fonts.word(id, value);
    return false;
}

void HeaderReader::text(Destination in, QByteArrayView bytes) {
    if (in == Destination::ColorTable) {
        m_tables.colors.text(bytes);
        return;
    }
    m_tables.fonts.text(bytes, m_ansiCodePage, m_decoder);
    m_run.forgetFonts();
}

void HeaderReader::fontHexByte(unsigned char byte) {
    m_tables.fonts.hexByte(byte);
}

void HeaderReader::fontGroupEnd() {
    m_tables.fonts.entryGroupEnd(m_ansiCodePage, m_decoder);
    m_run.forgetFonts();
}

} // namespace rtf
