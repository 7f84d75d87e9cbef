#include "rtf/RtfWriter.h"
#include "rtf/RtfDocumentWriter.h"

#include "model/DocumentProperties.h"
#include "model/ListNumbers.h"
#include "model/Twips.h"
#include "pictures/RtfPicture.h"
#include "rtf/RtfFormatWords.h"
#include "rtf/RtfKeptGroups.h"
#include "rtf/RtfListTableWriter.h"
#include "rtf/RtfStateWords.h"
#include "rtf/RtfTableWriter.h"
#include "text/RtfCodePages.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextList>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace rtf {

namespace {

std::string number(int value) {
    return std::to_string(value);
}

const QString bulletFamily = QStringLiteral("Symbol");

} // namespace

QByteArray DocumentWriter::run() {
    const QFont font = m_document.defaultFont();
    m_defaultFamily = font.families().value(0, font.family());
    if (font.pointSizeF() > 0)
        m_defaultHalfPoints = int(std::lround(font.pointSizeF() * 2));
    m_hasFrames = !m_document.rootFrame()->childFrames().isEmpty();
    collectTables();
    writeHeader();
    writeFrame(*m_document.rootFrame(), *this);
    closeFields(m_openFields.size(), QTextBlock());
    // Headers and footers of sections whose break was deleted: kept, as a section of their own.
    for (const KeptGroup& group : m_kept) {
        if (group.kind == KeptGroup::Kind::Side && !m_sectionsWritten.contains(group.section)) {
            m_out.append("\\sect");
            m_needSpace = true;
            writeSection(group.section);
        }
    }
    m_out.append("}\r\n");
    return QByteArray(m_out.data(), qsizetype(m_out.size()));
}

QString DocumentWriter::familyOf(const QTextCharFormat& format) const {
    const QStringList families = format.fontFamilies().toStringList();
    return families.isEmpty() || families.front().isEmpty() ? m_defaultFamily : families.front();
}

int DocumentWriter::halfPointsOf(const QTextCharFormat& format) const {
    const qreal size = format.fontPointSize();
    return size > 0 ? std::max(1, int(std::lround(size * 2))) : m_defaultHalfPoints;
}

void DocumentWriter::addFamily(const QString& family) {
    if (m_familyIndex.contains(family))
        return;
    m_familyIndex.insert(family, int(m_families.size()));
    m_families.append(family);
}

void DocumentWriter::addColor(const QBrush& brush) {
    if (brush.style() == Qt::NoBrush)
        return;
    const QRgb rgb = brush.color().rgb();
    if (m_colorIndex.contains(rgb))
        return;
    m_colors.append(rgb);
    m_colorIndex.insert(rgb, int(m_colors.size())); // entry 0 is the automatic colour
}

void DocumentWriter::collectTables() {
    std::vector<bool> seen; // format indexes already looked at
    for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next()) {
        // A paragraph left out of the writing brings no font, colour or list to the header.
        if (isTableSpacer(block))
            continue;
        m_lists.collect(block);
        for (const int hidden : hiddenOf(block.blockFormat()))
            addKeptTables(m_kept[size_t(hidden) - 1]);
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
            if (const QString asian = format.stringProperty(DocumentProperty::AsianFont);
                !asian.isEmpty())
                addFamily(asian);
            addColor(format.foreground());
            addColor(format.background());
            for (const int field : KeptGroups::fieldPath(m_kept, format))
                addKeptTables(m_kept[size_t(field) - 1]);
            for (const int field : emptyFieldsOf(format))
                addKeptTables(m_kept[size_t(field) - 1]);
            for (const int hidden : hiddenOf(format))
                addKeptTables(m_kept[size_t(hidden) - 1]);
            // Footnotes are written with their marks' text, never with pictures.
            if (const int note = format.intProperty(DocumentProperty::FootnoteId);
                note > 0 && size_t(note) <= m_kept.size() && !format.isImageFormat())
                addKeptTables(m_kept[size_t(note) - 1]);
        }
    }
    for (const KeptGroup& group : m_kept) {
        if (group.kind == KeptGroup::Kind::Side)
            addKeptTables(group);
    }
    forEachTableColor(m_document, [this](const QBrush& brush) { addColor(brush); });
    if (m_families.isEmpty())
        addFamily(m_defaultFamily);
    if (!m_lists.empty())
        addFamily(bulletFamily);
}

void DocumentWriter::word(const char* name) {
    m_out.append(1, '\\').append(name);
    m_needSpace = true;
}

void DocumentWriter::word(const char* name, int value) {
    m_out.append(1, '\\').append(name).append(number(value));
    m_needSpace = true;
}

void DocumentWriter::hexByte(unsigned char byte) {
    static constexpr char digits[] = "0123456789abcdef";
    m_out.append("\\'");
    m_out.push_back(digits[byte >> 4]);
    m_out.push_back(digits[byte & 15]);
    m_needSpace = false;
}

void DocumentWriter::writeHeader() {
    m_out.append("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033");
    // Readers take a stop every half inch unless told otherwise.
    const int defaultTab = Twips::fromLayout(m_document.defaultTextOption().tabStopDistance());
    if (defaultTab != 720 && defaultTab > 0)
        m_out.append("\\deftab").append(number(std::min(defaultTab, maxIndentTwips)));
    m_out.append("{\\fonttbl");
    for (qsizetype i = 0; i < m_families.size(); ++i) {
        const QString& family = m_families[i];
        const bool symbol = family.compare(bulletFamily, Qt::CaseInsensitive) == 0;
        if (symbol)
            m_symbolFonts.insert(int(i));
        m_out.append("{\\f").append(number(i));
        int charset = symbol ? 2 : m_charsets.value(family);
        const QByteArray name = fontNameBytes(family, charset);
        if (name.isEmpty() && !family.isEmpty()) {
            // No character set spells it: the letters cp1252 lacks as \u.
            m_out.append("\\fnil\\fcharset0 ");
            for (const QChar c : family) {
                if (const unsigned char byte = toWindows1252(c.unicode()); byte || c.isNull())
                    writeFontNameByte(char(byte), false);
                else
                    writeUnicode(c.unicode());
            }
            m_out.append(";}");
            continue;
        }
        m_out.append("\\fnil\\fcharset").append(number(charset));
        m_out.append(1, ' ');
        // Double-byte names as hex throughout, so that no reader parts a character's bytes.
        const bool allHex = charset != 0 && charset != 2 &&
                            std::any_of(name.begin(), name.end(), [](char c) { return c < 0; });
        for (const char c : name)
            writeFontNameByte(c, allHex);
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
    m_out.append(m_lists.tables());
    m_out.append("\\viewkind4\\uc1");
    m_needSpace = true;
    // The first section's headers and footers; later sections' follow their \sect.
    writeSection(0);
}

void DocumentWriter::writeFontNameByte(char c, bool hex) {
    const auto byte = static_cast<unsigned char>(c);
    // Characters that would end the name or open a group, and control characters, which a reader
    // skips, go as hex: two names never become one.
    if (hex || c == ';' || c == '\\' || c == '{' || c == '}' || byte < 0x20 || byte >= 0x80)
        hexByte(byte);
    else
        m_out.push_back(c);
    m_needSpace = false;
}

void DocumentWriter::writeSection(int section) {
    m_sectionsWritten.insert(section);
    for (const KeptGroup& group : m_kept) {
        if (group.kind == KeptGroup::Kind::Side && group.section == section)
            writeKept(group);
    }
}

void DocumentWriter::endParagraph(const QTextBlock& block) {
    if (m_extent == Extent::Selection && m_level == 0 && block == m_document.lastBlock())
        return;
    const QTextBlockFormat format = block.blockFormat();
    const int section = format.intProperty(DocumentProperty::SectionEnd);
    if (m_level > 0 || section <= 0 || m_sectionsWritten.contains(section)) {
        append(format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysAfter ? "\\page\r\n"
                                                                             : "\\par\r\n");
        return;
    }
    m_out.append("\\sect");
    m_needSpace = true;
    writeSection(section);
    append("\r\n");
}

void DocumentWriter::writeListItem(const QTextBlock& block, const QTextList& list, bool again) {
    const ListTableWriter::Item item = m_lists.itemOf(list);
    const QTextListFormat format = list.format();
    const bool bullet = format.style() == QTextListFormat::ListDisc ||
                        format.style() == QTextListFormat::ListCircle ||
                        format.style() == QTextListFormat::ListSquare;
    const int symbol = m_familyIndex.value(bulletFamily);
    if (!again) {
        // The number as text, for readers without lists.
        if (bullet) {
            m_out.append("{\\listtext\\f").append(number(symbol)).append("\\'B7\\tab}");
        } else {
            m_out.append("{\\listtext ");
            appendRtfText(m_out, m_numbering.itemText(block));
            m_out.append("\\tab}");
        }
    }
    // The bullet or number again for readers that know only the older words.
    if (bullet) {
        m_out.append("{\\*\\pn\\pnlvlblt\\pnf").append(number(symbol));
        m_out.append("\\pnindent0{\\pntxtb\\'B7}}");
    } else {
        const char* style = "pndec";
        switch (format.style()) {
        case QTextListFormat::ListLowerAlpha:
            style = "pnlcltr";
            break;
        case QTextListFormat::ListUpperAlpha:
            style = "pnucltr";
            break;
        case QTextListFormat::ListLowerRoman:
            style = "pnlcrm";
            break;
        case QTextListFormat::ListUpperRoman:
            style = "pnucrm";
            break;
        default:
            break;
        }
        m_out.append("{\\*\\pn\\pnlvlbody\\pnf0\\pnindent0\\pnstart");
        m_out.append(number(m_numbering.itemNumber(block))).append("\\").append(style);
        const QString suffix = format.hasProperty(QTextFormat::ListNumberSuffix)
                                   ? format.numberSuffix()
                                   : QStringLiteral(".");
        if (!format.numberPrefix().isEmpty()) {
            m_out.append("{\\pntxtb ");
            appendRtfText(m_out, format.numberPrefix());
            m_out.append("}");
        }
        m_out.append("{\\pntxta ");
        appendRtfText(m_out, suffix);
        m_out.append("}}");
    }
    m_out.append("\\ls").append(number(item.list));
    if (item.level > 0)
        m_out.append("\\ilvl").append(number(item.level));
    m_needSpace = true;
}

void DocumentWriter::writeParagraphFormat(const QTextBlock& block, int level, bool sayLevel,
                                          bool again) {
    const QTextBlockFormat format = block.blockFormat();
    word("pard");
    if (level > 0)
        word("intbl");
    if (sayLevel)
        word("itap", level);
    const QTextList* current = block.textList();
    if (current && current->format().style() == QTextListFormat::ListStyleUndefined)
        current = nullptr;
    if (current)
        writeListItem(block, *current, again);
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
        (block.textList() ? format.doubleProperty(DocumentProperty::ListMarkerRoom) : qreal(0));
    // Within what a reader takes, so that what is read back is what was written.
    const struct {
        const char* name;
        qreal value;
        int least;
    } lengths[] = {{"li", format.leftMargin(), -maxIndentTwips},
                   {"ri", format.rightMargin(), -maxIndentTwips},
                   {"fi", firstLine, -maxIndentTwips},
                   {"sb", format.topMargin(), 0},
                   {"sa", format.bottomMargin(), 0}};
    for (const auto& length : lengths) {
        if (const int twips =
                std::clamp(Twips::fromLayout(length.value), length.least, maxIndentTwips))
            word(length.name, twips);
    }
    m_needSpace |= writeLineHeight(m_out, format);
    if (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
        word("pagebb");
    m_needSpace |= writeTabStops(m_out, format);
    if (const QString kept = format.stringProperty(DocumentProperty::KeptParagraphWords);
        !kept.isEmpty()) {
        m_out.append(kept.toLatin1().constData());
        m_needSpace = true;
    }
}

void DocumentWriter::switchTo(int formatIndex, const QTextCharFormat& format) {
    // Documents use few formats and many fragments: work each format out once.
    if (formatIndex >= 0) {
        if (size_t(formatIndex) >= m_runStates.size())
            m_runStates.resize(size_t(formatIndex) + 1);
        auto& cached = m_runStates[size_t(formatIndex)];
        if (!cached)
            cached = runStateOf(format);
        m_needSpace |= writeRunChanges(m_out, m_state, *cached);
        return;
    }
    m_needSpace |= writeRunChanges(m_out, m_state, runStateOf(format));
}

RunState DocumentWriter::runStateOf(const QTextCharFormat& format) const {
    RunState next = describeRun(format);
    next.font = m_familyIndex.value(familyOf(format));
    next.halfPoints = halfPointsOf(format);
    if (const QString asian = format.stringProperty(DocumentProperty::AsianFont);
        !asian.isEmpty() && m_familyIndex.value(asian, next.font) != next.font)
        next.asianFont = m_familyIndex.value(asian);
    const QBrush foreground = format.foreground();
    next.foreground =
        foreground.style() == Qt::NoBrush ? 0 : m_colorIndex.value(foreground.color().rgb());
    const QBrush background = format.background();
    next.background =
        background.style() == Qt::NoBrush ? 0 : m_colorIndex.value(background.color().rgb());
    return next;
}

void DocumentWriter::writeUnicode(char16_t c) {
    word("u", c > 0x7FFF ? int(c) - 0x10000 : int(c));
    if (const unsigned char fallback = toWindows1252(c); fallback >= 0x80)
        hexByte(fallback);
    else
        m_out.push_back('?');
    m_needSpace = false;
}

void DocumentWriter::writeText(QStringView text) {
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

void DocumentWriter::writeImage(const QTextImageFormat& format) {
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
    // A picture named by a pasted page and not carried by it was never read: what shows is a
    // box. The name is what the user has of it, so it goes out as a reference to the picture,
    // with the box as the field's last result, for a reader that can follow the name.
    const bool reference = !isPictureName(format.name());
    if (reference) {
        m_out.append("{\\field{\\*\\fldinst INCLUDEPICTURE \"");
        m_needSpace = false;
        QString quoted = format.name();
        quoted.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
        writeText(quoted);
        m_out.append("\" \\\\d}{\\fldrslt ");
    }
    m_out.append(group.constData(), size_t(group.size()));
    if (reference)
        m_out.append("}}");
    m_needSpace = false;
}

void DocumentWriter::append(std::string_view rtf) {
    m_out.append(rtf);
    if (!rtf.empty())
        m_needSpace = QChar::isLetterOrNumber(uchar(rtf.back()));
}

void DocumentWriter::paragraph(const QTextBlock& block, int level, bool sayLevel) {
    m_level = level;
    m_sayLevel = sayLevel;
    writeParagraphFormat(block, level, sayLevel);
    if (block.length() <= 1)
        switchTo(block.charFormatIndex(), block.charFormat());
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        if (format.isImageFormat()) {
            const QTextImageFormat image = format.toImageFormat();
            writeFieldsOf(format, block);
            writeEmptyFields(format);
            writeHidden(format);
            for (qsizetype i = 0; i < fragment.length(); ++i)
                writeImage(image);
            continue;
        }
        writeFieldsOf(format, block);
        writeEmptyFields(format);
        writeHidden(format);
        writeText(startRun(fragment.charFormatIndex(), format, fragment.text()));
    }
    m_lastHidden.clear();
    for (const int id : hiddenOf(block.blockFormat())) {
        if (!std::exchange(m_hiddenWritten[id], true))
            writeKept(m_kept[size_t(id) - 1]);
    }
    // A field never spans the edge of a cell or a table, which the mark after this paragraph may
    // be.
    if (m_openFields.empty())
        return;
    if (level > 0 || !inSameFrame(block, block.next()))
        closeFields(m_openFields.size(), block);
    else
        closeFieldsBeforeMark(block);
}

QByteArray write(const QTextDocument& document, Extent extent) {
    return DocumentWriter(document, extent).run();
}

} // namespace rtf
