#include "platform/rtf/RtfWriter.h"

#include "platform/DocumentProperties.h"
#include "platform/Twips.h"
#include "platform/rtf/RtfCodePages.h"
#include "platform/rtf/RtfPicture.h"
#include "platform/rtf/RtfTableWriter.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QSet>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QTextList>
#include <QUrl>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace rtf {

namespace {

std::string number(int value) {
    return std::to_string(value);
}

const QString bulletFamily = QStringLiteral("Symbol");

// The character formatting the RTF stream is in, so only changes are written.
struct RunState {
    int font = 0;
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int foreground = 0;
    int background = 0;
    int vertical = 0; // 0 normal, 1 super, 2 sub
};

class Writer final : public FrameOutput {
public:
    explicit Writer(const QTextDocument& document) : m_document(document) {
        m_out.reserve(size_t(document.characterCount()) * 2 + 1024);
    }
    QByteArray run();

    void paragraph(const QTextBlock& block, int level, bool sayLevel) override;
    void append(std::string_view rtf) override;
    int colorIndex(QRgb rgb) const override { return m_colorIndex.value(rgb); }

private:
    void collectTables();
    void addFamily(const QString& family);
    void addColor(const QBrush& brush);
    QString familyOf(const QTextCharFormat& format) const;
    int halfPointsOf(const QTextCharFormat& format) const;
    void writeHeader();
    void writeParagraphFormat(const QTextBlock& block, int level, bool sayLevel);
    void switchTo(int formatIndex, const QTextCharFormat& format);
    RunState runStateOf(const QTextCharFormat& format) const;
    void writeChanges(const RunState& next);
    void writeText(QStringView text);
    void writeUnicode(char16_t c);
    void writeImage(const QTextImageFormat& format);
    void word(const char* name);
    void word(const char* name, int value);
    void hexByte(unsigned char byte);

    const QTextDocument& m_document;
    std::string m_out; // std::string appends inline, which the per-character path needs
    QStringList m_families;
    QHash<QString, int> m_familyIndex;
    QList<QRgb> m_colors;
    QHash<QRgb, int> m_colorIndex;
    bool m_hasLists = false;
    RunState m_state;
    std::vector<std::optional<RunState>> m_runStates; // by the document's format index
    int m_number = 0; // the item number of the last numbered paragraph
    // Fonts whose bytes mean Symbol characters (any spelling of the name), so text in them goes
    // as \u.
    QSet<int> m_symbolFonts;
    bool m_needSpace = false; // the last control word needs a delimiter before text
    QString m_defaultFamily;
    int m_defaultHalfPoints = 24;
};

QByteArray Writer::run() {
    const QFont font = m_document.defaultFont();
    m_defaultFamily = font.families().value(0, font.family());
    if (font.pointSizeF() > 0)
        m_defaultHalfPoints = int(std::lround(font.pointSizeF() * 2));
    collectTables();
    writeHeader();
    writeFrame(*m_document.rootFrame(), *this);
    m_out.append("}\r\n");
    return QByteArray(m_out.data(), qsizetype(m_out.size()));
}

QString Writer::familyOf(const QTextCharFormat& format) const {
    const QStringList families = format.fontFamilies().toStringList();
    return families.isEmpty() || families.front().isEmpty() ? m_defaultFamily : families.front();
}

int Writer::halfPointsOf(const QTextCharFormat& format) const {
    const qreal size = format.fontPointSize();
    return size > 0 ? std::max(1, int(std::lround(size * 2))) : m_defaultHalfPoints;
}

void Writer::addFamily(const QString& family) {
    if (m_familyIndex.contains(family))
        return;
    m_familyIndex.insert(family, int(m_families.size()));
    m_families.append(family);
}

void Writer::addColor(const QBrush& brush) {
    if (brush.style() == Qt::NoBrush)
        return;
    const QRgb rgb = brush.color().rgb();
    if (m_colorIndex.contains(rgb))
        return;
    m_colors.append(rgb);
    m_colorIndex.insert(rgb, int(m_colors.size())); // entry 0 is the automatic colour
}

void Writer::collectTables() {
    std::vector<bool> seen; // format indexes already looked at
    for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next()) {
        // A paragraph left out of the writing brings no font, colour or list to the header.
        if (isTableSpacer(block))
            continue;
        if (block.textList())
            m_hasLists = true;
        if (block.length() <= 1) {
            const QTextCharFormat format = block.charFormat();
            addFamily(familyOf(format));
            addColor(format.foreground());
            addColor(format.background());
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const int index = it.fragment().charFormatIndex();
            if (index >= 0 && size_t(index) < seen.size() && seen[size_t(index)])
                continue;
            if (index >= 0) {
                seen.resize(std::max(seen.size(), size_t(index) + 1));
                seen[size_t(index)] = true;
            }
            const QTextCharFormat format = it.fragment().charFormat();
            addFamily(familyOf(format));
            addColor(format.foreground());
            addColor(format.background());
        }
    }
    forEachTableColor(m_document, [this](const QBrush& brush) { addColor(brush); });
    if (m_families.isEmpty())
        addFamily(m_defaultFamily);
    if (m_hasLists)
        addFamily(bulletFamily);
}

void Writer::word(const char* name) {
    m_out.append(1, '\\').append(name);
    m_needSpace = true;
}

void Writer::word(const char* name, int value) {
    m_out.append(1, '\\').append(name).append(number(value));
    m_needSpace = true;
}

void Writer::hexByte(unsigned char byte) {
    static constexpr char digits[] = "0123456789abcdef";
    m_out.append("\\'");
    m_out.push_back(digits[byte >> 4]);
    m_out.push_back(digits[byte & 15]);
    m_needSpace = false;
}

void Writer::writeHeader() {
    m_out.append("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl");
    for (qsizetype i = 0; i < m_families.size(); ++i) {
        const QString& family = m_families[i];
        const bool symbol = family.compare(bulletFamily, Qt::CaseInsensitive) == 0;
        if (symbol)
            m_symbolFonts.insert(int(i));
        m_out.append("{\\f").append(number(i));
        m_out.append(symbol ? "\\fnil\\fcharset2 " : "\\fnil\\fcharset0 ");
        for (QChar c : family) {
            const unsigned char byte = toWindows1252(c.unicode());
            // Characters that would end the name or open a group, and control characters,
            // which a reader skips, go as hex: two names never become one.
            if (c == u';' || c == u'\\' || c == u'{' || c == u'}' || byte < 0x20 || byte >= 0x80)
                hexByte(byte);
            else
                m_out.push_back(char(byte));
        }
        m_out.append(";}");
    }
    m_out.append("}\r\n");
    if (!m_colors.isEmpty()) {
        m_out.append("{\\colortbl ;");
        for (QRgb rgb : std::as_const(m_colors)) {
            m_out.append("\\red").append(number(qRed(rgb)));
            m_out.append("\\green").append(number(qGreen(rgb)));
            m_out.append("\\blue").append(number(qBlue(rgb))).append(1, ';');
        }
        m_out.append("}\r\n");
    }
    m_out.append("\\viewkind4\\uc1");
    m_needSpace = true;
}

void Writer::writeParagraphFormat(const QTextBlock& block, int level, bool sayLevel) {
    const QTextBlockFormat format = block.blockFormat();
    word("pard");
    if (level > 0)
        word("intbl");
    if (sayLevel)
        word("itap", level);
    const QTextList* current = block.textList();
    if (!current || current->format().style() != QTextListFormat::ListDecimal)
        m_number = 0;
    if (const QTextList* list = block.textList()) {
        const int symbol = m_familyIndex.value(bulletFamily);
        const QTextListFormat::Style style = list->format().style();
        const bool bullet = style != QTextListFormat::ListDecimal;
        // The bullet's text for readers that do not know \pn, then the bullet itself.
        if (bullet) {
            m_out.append("{\\pntext\\f").append(number(symbol));
            m_out.append("\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf").append(number(symbol));
            m_out.append("\\pnindent0{\\pntxtb\\'B7}}");
        } else {
            // Counted the way a reader groups them: consecutive numbered paragraphs form a list.
            m_out.append("{\\pntext\\f0 ").append(number(++m_number));
            m_out.append(
                ".\\tab}{\\*\\pn\\pnlvlbody\\pnf0\\pnindent0\\pnstart1\\pndec{\\pntxta.}}");
        }
        m_needSpace = false;
    }
    switch (format.alignment() & Qt::AlignHorizontal_Mask & ~Qt::AlignAbsolute) {
    case Qt::AlignRight:
        word("qr");
        break;
    case Qt::AlignHCenter:
        word("qc");
        break;
    case Qt::AlignJustify:
        word("qj");
        break;
    default:
        break;
    }
    // A list paragraph's number stands in its hanging indent, left of the first line's text.
    const qreal firstLine =
        format.textIndent() -
        (current ? format.doubleProperty(DocumentProperty::ListMarkerRoom) : qreal(0));
    const struct {
        const char* name;
        qreal value;
    } lengths[] = {{"li", format.leftMargin()},
                   {"ri", format.rightMargin()},
                   {"fi", firstLine},
                   {"sb", format.topMargin()},
                   {"sa", format.bottomMargin()}};
    for (const auto& length : lengths) {
        if (const int twips = Twips::fromLayout(length.value))
            word(length.name, twips);
    }
    for (const QTextOption::Tab& tab : format.tabPositions()) {
        if (tab.type == QTextOption::RightTab)
            word("tqr");
        else if (tab.type == QTextOption::CenterTab)
            word("tqc");
        else if (tab.type == QTextOption::DelimiterTab)
            word("tqdec");
        word("tx", Twips::fromLayout(tab.position));
    }
}

void Writer::switchTo(int formatIndex, const QTextCharFormat& format) {
    // Documents use few formats and many fragments: work each format out once.
    if (formatIndex >= 0) {
        if (size_t(formatIndex) >= m_runStates.size())
            m_runStates.resize(size_t(formatIndex) + 1);
        auto& cached = m_runStates[size_t(formatIndex)];
        if (!cached)
            cached = runStateOf(format);
        writeChanges(*cached);
        return;
    }
    writeChanges(runStateOf(format));
}

RunState Writer::runStateOf(const QTextCharFormat& format) const {
    RunState next;
    next.font = m_familyIndex.value(familyOf(format));
    next.halfPoints = halfPointsOf(format);
    next.bold = format.fontWeight() >= QFont::DemiBold;
    next.italic = format.fontItalic();
    next.underline = format.fontUnderline();
    next.strike = format.fontStrikeOut();
    const QBrush foreground = format.foreground();
    next.foreground =
        foreground.style() == Qt::NoBrush ? 0 : m_colorIndex.value(foreground.color().rgb());
    const QBrush background = format.background();
    next.background =
        background.style() == Qt::NoBrush ? 0 : m_colorIndex.value(background.color().rgb());
    const auto vertical = format.verticalAlignment();
    next.vertical = vertical == QTextCharFormat::AlignSuperScript ? 1
                    : vertical == QTextCharFormat::AlignSubScript ? 2
                                                                  : 0;
    return next;
}

void Writer::writeChanges(const RunState& next) {
    RunState& s = m_state;
    if (next.font != s.font)
        word("f", next.font);
    if (next.halfPoints != s.halfPoints)
        word("fs", next.halfPoints);
    if (next.bold != s.bold)
        word(next.bold ? "b" : "b0");
    if (next.italic != s.italic)
        word(next.italic ? "i" : "i0");
    if (next.underline != s.underline)
        word(next.underline ? "ul" : "ulnone");
    if (next.strike != s.strike)
        word(next.strike ? "strike" : "strike0");
    if (next.foreground != s.foreground)
        word("cf", next.foreground);
    if (next.background != s.background)
        word("highlight", next.background);
    if (next.vertical != s.vertical)
        word(next.vertical == 1 ? "super" : next.vertical == 2 ? "sub" : "nosupersub");
    s = next;
}

void Writer::writeUnicode(char16_t c) {
    word("u", c > 0x7FFF ? int(c) - 0x10000 : int(c));
    if (const unsigned char fallback = toWindows1252(c); fallback >= 0x80)
        hexByte(fallback);
    else
        m_out.push_back('?');
    m_needSpace = false;
}

void Writer::writeText(QStringView text) {
    const bool symbol = m_symbolFonts.contains(m_state.font);
    for (QChar qc : text) {
        const char16_t c = qc.unicode();
        if (symbol && c > 0x20 && c != QChar::ObjectReplacementCharacter) {
            writeUnicode(c);
            continue;
        }
        if (c >= 0x20 && c < 0x7F) {
            if (c == u'\\' || c == u'{' || c == u'}') {
                m_out.push_back('\\');
            } else if (m_needSpace && (qc.isLetterOrNumber() || c == u' ' || c == u'-')) {
                m_out.push_back(' ');
            }
            m_out.push_back(char(c));
            m_needSpace = false;
            continue;
        }
        switch (c) {
        case u'\t':
            word("tab");
            continue;
        case QChar::LineSeparator:
            word("line");
            continue;
        case 0x00A0:
            m_out.append("\\~");
            m_needSpace = false;
            continue;
        case 0x00AD:
            m_out.append("\\-");
            m_needSpace = false;
            continue;
        case 0x2011:
            m_out.append("\\_");
            m_needSpace = false;
            continue;
        case QChar::ObjectReplacementCharacter:
            continue;
        default:
            break;
        }
        if (c >= 0x20)
            writeUnicode(c);
    }
}

void Writer::writeImage(const QTextImageFormat& format) {
    if (const QByteArray original = originalPicture(m_document, format); !original.isEmpty()) {
        m_out.append(original.constData(), size_t(original.size()));
        m_needSpace = false;
        return;
    }
    const QVariant resource =
        m_document.resource(QTextDocument::ImageResource, QUrl(format.name()));
    QImage image = resource.value<QImage>();
    if (image.isNull())
        image.loadFromData(resource.toByteArray());
    if (image.isNull())
        return;
    // Rows of one-bit pictures end in unused bits that the PNG writer copies as they are, so a
    // save would differ from the last; converted, every byte comes from a pixel.
    if (image.depth() < 8)
        image = image.convertToFormat(QImage::Format_Indexed8);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    Picture picture;
    picture.kind = PictureKind::Png;
    picture.width = image.width();
    picture.height = image.height();
    picture.goalWidth = Twips::fromLayout(format.width() > 0 ? format.width() : image.width());
    picture.goalHeight = Twips::fromLayout(format.height() > 0 ? format.height() : image.height());
    picture.data = png;
    const QByteArray group = pictureGroup(picture);
    m_out.append(group.constData(), size_t(group.size()));
    m_needSpace = false;
}

void Writer::append(std::string_view rtf) {
    m_out.append(rtf);
    if (!rtf.empty())
        m_needSpace = QChar::isLetterOrNumber(uchar(rtf.back()));
}

void Writer::paragraph(const QTextBlock& block, int level, bool sayLevel) {
    writeParagraphFormat(block, level, sayLevel);
    if (block.length() <= 1)
        switchTo(block.charFormatIndex(), block.charFormat());
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        if (format.isImageFormat()) {
            const QTextImageFormat image = format.toImageFormat();
            for (qsizetype i = 0; i < fragment.length(); ++i)
                writeImage(image);
            continue;
        }
        switchTo(fragment.charFormatIndex(), format);
        writeText(fragment.text());
    }
}

} // namespace

QByteArray write(const QTextDocument& document) {
    return Writer(document).run();
}

} // namespace rtf
