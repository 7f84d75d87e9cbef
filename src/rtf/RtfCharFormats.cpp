#include "rtf/RtfCharFormats.h"

#include "model/DocumentProperties.h"

namespace rtf {

namespace {
const QString fallbackFamily = QStringLiteral("Times New Roman");
}

QTextCharFormat::UnderlineStyle underlineStyleOf(Underline kind) {
    switch (kind) {
    case Underline::None:
        return QTextCharFormat::NoUnderline;
    case Underline::Dotted:
    case Underline::ThickDotted:
        return QTextCharFormat::DotLine;
    case Underline::Dash:
    case Underline::LongDash:
    case Underline::ThickDash:
    case Underline::ThickLongDash:
        return QTextCharFormat::DashUnderline;
    case Underline::DashDot:
    case Underline::ThickDashDot:
        return QTextCharFormat::DashDotLine;
    case Underline::DashDotDot:
    case Underline::ThickDashDotDot:
        return QTextCharFormat::DashDotDotLine;
    case Underline::Wave:
    case Underline::HeavyWave:
    case Underline::DoubleWave:
        return QTextCharFormat::WaveUnderline;
    default:
        return QTextCharFormat::SingleUnderline;
    }
}

Underline underlineOf(QTextCharFormat::UnderlineStyle style) {
    switch (style) {
    case QTextCharFormat::NoUnderline:
        return Underline::None;
    case QTextCharFormat::DotLine:
        return Underline::Dotted;
    case QTextCharFormat::DashUnderline:
        return Underline::Dash;
    case QTextCharFormat::DashDotLine:
        return Underline::DashDot;
    case QTextCharFormat::DashDotDotLine:
        return Underline::DashDotDot;
    case QTextCharFormat::WaveUnderline:
        return Underline::Wave;
    default:
        return Underline::Single;
    }
}

size_t CharFormats::Hash::operator()(const CharState& c) const {
    size_t h = size_t(c.font) * 1000003u ^ size_t(c.halfPoints) * 8191u;
    h ^= (size_t(c.foreground) << 20) ^ (size_t(c.background) << 40);
    h ^= size_t(c.bold) | size_t(c.italic) << 1 | size_t(c.strike) << 2 | size_t(c.hidden) << 3 |
         size_t(c.vertical) << 4 | size_t(c.capitals) << 6 | size_t(c.underline) << 8;
    h ^= size_t(c.raise) << 14 ^ size_t(c.doubleByteFont) << 24 ^ size_t(c.lowFont) << 34;
    h ^= qHash(c.keptWords);
    return h;
}

const QTextCharFormat& CharFormats::of(const CharState& chars) {
    if (m_lastFormat && chars == m_lastChars)
        return *m_lastFormat;
    // Distinct formats are few in real files; a hostile one must not grow this without bound.
    if (m_formats.size() > 4096)
        m_formats.clear();
    auto [it, inserted] = m_formats.try_emplace(chars);
    m_lastChars = chars;
    m_lastFormat = &it->second;
    if (!inserted)
        return it->second;
    QTextCharFormat& format = it->second;
    // Double-byte text named last shows in the low-ANSI font given with it, as other readers show
    // it; its own font goes beside.
    const int shown =
        chars.kind == CharacterKind::DoubleByte && chars.lowFont >= 0 ? chars.lowFont : chars.font;
    const FontEntry* font = m_header.fonts.find(shown < 0 ? m_header.defaultFont : shown);
    if (chars.doubleByteFont >= 0 && chars.doubleByteFont != shown) {
        if (const FontEntry* asian = m_header.fonts.find(chars.doubleByteFont);
            asian && !asian->name.isEmpty())
            format.setProperty(DocumentProperty::AsianFont, asian->name);
    }
    if (!font || font->codePage == CodePage::symbol) {
        // The Symbol font's bytes are read as the Unicode characters they stand for. Fonts by
        // that name are often symbol-encoded without those characters, and Qt does not look
        // elsewhere for what a symbol font lacks: they are shown in the document's text font.
        font = m_header.fonts.find(m_header.defaultFont);
        if (font && font->codePage == CodePage::symbol)
            font = nullptr;
    }
    // The family goes in as one string, which Qt reads as a list of one. The document hashes a
    // list by its type alone, so formats that differ only in their font would all share one
    // bucket and each new run be compared with every earlier font; a string hashes by its text.
    format.setProperty(QTextFormat::FontFamilies,
                       font && !font->name.isEmpty() ? font->name : fallbackFamily);
    format.setFontPointSize(chars.halfPoints / 2.0);
    format.setFontWeight(chars.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(chars.italic);
    if (chars.underline != Underline::None) {
        format.setUnderlineStyle(underlineStyleOf(chars.underline));
        if (chars.underline != underlineOf(format.underlineStyle()))
            format.setProperty(DocumentProperty::UnderlineKind, int(chars.underline));
    } else {
        format.setFontUnderline(false);
    }
    if (chars.capitals != Capitals::None)
        format.setFontCapitalization(chars.capitals == Capitals::All ? QFont::AllUppercase
                                                                     : QFont::SmallCaps);
    if (chars.raise != 0)
        format.setProperty(DocumentProperty::RaisedBy, chars.raise);
    if (!chars.keptWords.isEmpty())
        format.setProperty(DocumentProperty::KeptCharacterWords,
                           QString::fromLatin1(chars.keptWords));
    format.setFontStrikeOut(chars.strike);
    const ColorTable& colors = m_header.colors;
    if (const QColor color = colors.at(chars.foreground); chars.foreground > 0 && color.isValid())
        format.setForeground(color);
    if (const QColor color = colors.at(chars.background); chars.background > 0 && color.isValid())
        format.setBackground(color);
    if (chars.vertical == VerticalPosition::Super)
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (chars.vertical == VerticalPosition::Sub)
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    return format;
}

} // namespace rtf
