#include "rtf/RtfTextRun.h"

#include "rtf/RtfContentSink.h"
#include "rtf/RtfHeaderTables.h"
#include "rtf/RtfStateWords.h"

namespace rtf {

int TextRun::lookUpCodePage(int font) {
    const FontEntry* entry = m_fonts.find(font < 0 ? m_defaultFont : font);
    KnownFont& known = m_knownFonts[knownSlot(font)];
    known.font = font;
    known.codePage = entry ? entry->codePage : m_ansiCodePage;
    return known.codePage;
}

void TextRun::decodeBytes() {
    m_mayNeedCleaning |= !m_decoder.decode(m_bytesCodePage, m_bytes, m_text);
    m_bytes.truncate(0);
}

void TextRun::clean() {
    if (m_mayNeedCleaning)
        sanitizeText(m_text, m_runStart);
    m_mayNeedCleaning = false;
}

bool TextRun::holdsText() const {
    return !m_text.trimmed().isEmpty() || !m_bytes.trimmed().isEmpty();
}

bool TextRun::sendTo(ContentSink& sink) {
    decode();
    if (m_text.isEmpty())
        return false;
    const bool ran = m_text.size() > m_runStart;
    clean();
    sink.appendText(m_text, m_chars);
    m_text.truncate(0);
    m_runStart = 0;
    return ran;
}

bool TextRun::endRunKeepingText() {
    decode();
    if (m_text.size() == m_runStart)
        return false;
    clean();
    m_runStart = m_text.size();
    return true;
}

} // namespace rtf
