#include "rtf/RtfTextRun.h"

#include "rtf/RtfContentSink.h"
#include "rtf/RtfHeaderTables.h"
#include "rtf/RtfStateWords.h"

namespace rtf {

int TextRun::lookUpCodePage(int font) {
    const FontEntry* entry = m_fonts.find(font < 0 ? m_defaultFont : font);
    m_cachedFont = font;
    m_cachedCodePage = entry ? entry->codePage : m_ansiCodePage;
    return m_cachedCodePage;
}

void TextRun::decodeBytes() {
    m_decoder.decode(m_bytesCodePage, m_bytes, m_text);
    m_bytes.truncate(0);
}

bool TextRun::holdsText() const {
    return !m_text.trimmed().isEmpty() || !m_bytes.trimmed().isEmpty();
}

bool TextRun::sendTo(ContentSink& sink) {
    decode();
    if (m_text.isEmpty())
        return false;
    sanitizeText(m_text);
    sink.appendText(m_text, m_chars);
    m_text.truncate(0);
    return true;
}

} // namespace rtf
