#pragma once

#include "rtf/RtfGroupState.h"
#include "text/RtfCodePages.h"

#include <QByteArray>
#include <QString>

#include <climits>

namespace rtf {

class ContentSink;
class FontTable;

// The run of body text being read: its format, its text, and bytes not yet decoded, which
// decode in the code page of the font they were read in. Every character of a file passes
// through here, so the run keeps its room from one run to the next.
class TextRun {
public:
    TextRun(const FontTable& fonts, const int& defaultFont, const int& ansiCodePage,
            TextDecoder& decoder)
        : m_fonts(fonts), m_defaultFont(defaultFont), m_ansiCodePage(ansiCodePage),
          m_decoder(decoder) {}

    const CharState& chars() const { return m_chars; }
    void setChars(const CharState& chars) { m_chars = chars; }

    // The code page bytes in `font` decode in (-1 the document's default font).
    int codePage(int font) {
        return font == m_cachedFont ? m_cachedCodePage : lookUpCodePage(font);
    }
    // The fonts, the default font or the document's code page changed.
    void forgetFonts() { m_cachedFont = INT_MIN; }

    void appendBytes(QByteArrayView bytes, int codePage) {
        if (codePage != m_bytesCodePage) {
            decode();
            m_bytesCodePage = codePage;
        }
        m_bytes.append(bytes.data(), bytes.size());
    }
    void appendChar(char16_t c) {
        decode();
        m_text.append(QChar(c));
    }
    void appendTabs(int count) {
        decode();
        m_text.append(QString(count, u'\t'));
    }
    // Decodes the bytes read so far; the text then holds all of the run.
    void decode() {
        if (!m_bytes.isEmpty())
            decodeBytes();
    }
    // The run holds more than blanks.
    bool holdsText() const;
    // Sends the run to `sink` in its format, free of the characters a document reserves, and
    // starts the next; false when the run was empty.
    bool sendTo(ContentSink& sink);

private:
    int lookUpCodePage(int font);
    void decodeBytes();

    const FontTable& m_fonts;
    const int& m_defaultFont;
    const int& m_ansiCodePage;
    TextDecoder& m_decoder;
    CharState m_chars;
    QString m_text;
    QByteArray m_bytes;
    int m_bytesCodePage = CodePage::windows1252;
    int m_cachedFont = INT_MIN;
    int m_cachedCodePage = CodePage::windows1252;
};

} // namespace rtf
