#pragma once

#include "rtf/RtfGroupState.h"
#include "text/RtfCodePages.h"

#include <QByteArray>
#include <QString>

#include <array>
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
        const KnownFont& known = m_knownFonts[knownSlot(font)];
        return known.font == font ? known.codePage : lookUpCodePage(font);
    }
    // The fonts, the default font or the document's code page changed.
    void forgetFonts() { m_knownFonts.fill({}); }

    void appendBytes(QByteArrayView bytes, int codePage) {
        if (codePage != m_bytesCodePage) {
            decode();
            m_bytesCodePage = codePage;
            m_singleByte = m_decoder.isSingleByte(codePage);
        }
        // Only a double-byte page needs the bytes together: a character's two bytes may come
        // in two pieces (an escape and plain text).
        if (m_singleByte)
            m_mayNeedCleaning |= !m_decoder.decode(codePage, bytes, m_text);
        else
            m_bytes.append(bytes.data(), bytes.size());
    }
    void appendChar(char16_t c) {
        decode();
        m_text.append(QChar(c));
        m_mayNeedCleaning |= !isOrdinary(c);
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
    // For a sink that ignores formats: ends the run where its format changes, cleaned as sendTo
    // would clean it, but keeps its text to send with the runs after it, so that a paragraph
    // reaches the sink in one piece. False when the run was empty.
    bool endRunKeepingText();

private:
    // Characters that never need cleaning: most text, so most runs are never looked at again.
    static bool isOrdinary(char16_t c) {
        return (c >= 0x20 && c < 0xD800 && c != 0x2029) || c == u'\t';
    }
    static size_t knownSlot(int font) { return size_t(font) % 8; }
    int lookUpCodePage(int font);
    void decodeBytes();
    // Cleans the text of the current run, which starts at m_runStart.
    void clean();

    const FontTable& m_fonts;
    const int& m_defaultFont;
    const int& m_ansiCodePage;
    TextDecoder& m_decoder;
    CharState m_chars;
    QString m_text;
    qsizetype m_runStart = 0; // earlier runs of m_text are cleaned already
    bool m_mayNeedCleaning = false;
    QByteArray m_bytes;
    int m_bytesCodePage = CodePage::windows1252;
    bool m_singleByte = true; // m_bytesCodePage is
    // The code pages of the fonts used last: text switches among a few fonts all the time.
    struct KnownFont {
        int font = INT_MIN; // no font
        int codePage = CodePage::windows1252;
    };
    std::array<KnownFont, 8> m_knownFonts{};
};

} // namespace rtf
