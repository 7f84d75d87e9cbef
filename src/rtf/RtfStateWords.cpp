#include "rtf/RtfStateWords.h"

#include "model/DocumentProperties.h"
#include "model/Twips.h"

#include <algorithm>

namespace rtf {

namespace {

constexpr int maxHalfPoints = 3276;

int clampIndent(int twips) {
    return std::clamp(twips, -maxIndentTwips, maxIndentTwips);
}

} // namespace

bool applyCharacterWord(CharState& c, Word id, int value) {
    switch (id) {
    case Word::Plain:
        c = CharState();
        break;
    case Word::Font:
        c.font = value;
        (c.kind == CharacterKind::DoubleByte ? c.doubleByteFont : c.lowFont) = value;
        break;
    case Word::AssociatedFont:
        if (c.kind == CharacterKind::DoubleByte)
            c.doubleByteFont = value;
        else if (c.kind == CharacterKind::Low)
            c.lowFont = value;
        break;
    case Word::CharacterKindWord:
        c.kind = CharacterKind(std::clamp(value, 0, int(CharacterKind::DoubleByte)));
        break;
    case Word::FontSize:
        c.halfPoints = value > 0 ? std::min(value, maxHalfPoints) : 24;
        break;
    case Word::Bold:
        c.bold = value;
        break;
    case Word::Italic:
        c.italic = value;
        break;
    case Word::Underline:
        c.underline = Underline(std::clamp(value, 0, int(Underline::Wave)));
        break;
    case Word::UnderlineNone:
        c.underline = Underline::None;
        break;
    case Word::Caps:
        if (value || c.capitals == Capitals::All)
            c.capitals = value ? Capitals::All : Capitals::None;
        break;
    case Word::SmallCaps:
        if (value || c.capitals == Capitals::Small)
            c.capitals = value ? Capitals::Small : Capitals::None;
        break;
    case Word::Strike:
    case Word::StrikeDouble:
        c.strike = value;
        break;
    case Word::Hidden:
        c.hidden = value;
        break;
    case Word::Color:
        c.foreground = value;
        break;
    case Word::Highlight:
    case Word::Background:
        c.background = value;
        break;
    case Word::Super:
        c.vertical = VerticalPosition::Super;
        c.raise = 0;
        break;
    case Word::Sub:
        c.vertical = VerticalPosition::Sub;
        c.raise = 0;
        break;
    case Word::Up:
    case Word::Dn: {
        // Raised or lowered by so many half-points, at the text's own size.
        const int amount = std::clamp(value, 0, maxHalfPoints);
        c.vertical = amount == 0      ? VerticalPosition::Normal
                     : id == Word::Up ? VerticalPosition::Super
                                      : VerticalPosition::Sub;
        c.raise = id == Word::Up ? amount : -amount;
        break;
    }
    case Word::NoSuperSub:
        c.vertical = VerticalPosition::Normal;
        c.raise = 0;
        break;
    default:
        return false;
    }
    return true;
}

bool applyParagraphWord(ParaState& p, Word id, int value, const ListTables& lists) {
    switch (id) {
    case Word::Pard:
        p = ParaState();
        break;
    case Word::AlignLeft:
        p.alignment = Alignment::Left;
        break;
    case Word::AlignRight:
        p.alignment = Alignment::Right;
        break;
    case Word::AlignCenter:
        p.alignment = Alignment::Centre;
        break;
    case Word::AlignJustify:
        p.alignment = Alignment::Justified;
        break;
    case Word::LeftIndent:
        p.left = clampIndent(value);
        break;
    case Word::RightIndent:
        p.right = clampIndent(value);
        break;
    case Word::FirstIndent:
        p.first = clampIndent(value);
        break;
    case Word::SpaceBefore:
        p.before = std::clamp(value, 0, maxIndentTwips);
        break;
    case Word::SpaceAfter:
        p.after = std::clamp(value, 0, maxIndentTwips);
        break;
    case Word::LineSpacing:
        p.lineSpacing = std::clamp(value, -maxIndentTwips, maxIndentTwips);
        break;
    case Word::LineMultiple:
        p.lineMultiple = value != 0;
        break;
    case Word::PageBreakBefore:
        p.pageBreakBefore = value != 0;
        break;
    case Word::TabLeader:
        p.nextTabLeader = TabLeader(std::clamp(value, 0, int(TabLeader::Equals)));
        break;
    case Word::TabRight:
        p.nextTabType = QTextOption::RightTab;
        break;
    case Word::TabCenter:
        p.nextTabType = QTextOption::CenterTab;
        break;
    case Word::TabDecimal:
        p.nextTabType = QTextOption::DelimiterTab;
        break;
    case Word::TabPos:
        if (p.tabCount < ParaState::maxTabs && value >= 0 && value <= maxIndentTwips)
            p.tabs[size_t(p.tabCount++)] = {value, p.nextTabType, p.nextTabLeader};
        p.nextTabType = QTextOption::LeftTab;
        p.nextTabLeader = TabLeader::None;
        break;
    case Word::TabBar:
        p.nextTabType = QTextOption::LeftTab;
        p.nextTabLeader = TabLeader::None;
        break;
    case Word::Ls:
        p.listOverride = value;
        p.list = lists.style(value, p.listLevel);
        break;
    case Word::Ilvl:
        p.listLevel = std::clamp(value, 0, ListTables::levels - 1);
        if (p.list != ListStyle::None && p.listOverride)
            p.list = lists.style(p.listOverride, value);
        break;
    case Word::InTable:
        p.tableLevel = std::max(p.tableLevel, 1);
        break;
    case Word::TableLevel:
        p.tableLevel = std::clamp(value, 0, ParaState::maxTableLevel);
        break;
    default:
        return false;
    }
    return true;
}

void applyPictureWord(Picture& picture, Word id, int value) {
    switch (id) {
    case Word::PngBlip:
        picture.kind = PictureKind::Png;
        break;
    case Word::JpegBlip:
        picture.kind = PictureKind::Jpeg;
        break;
    case Word::WMetafile:
        picture.kind = PictureKind::WindowsMetafile;
        break;
    case Word::EmfBlip:
    case Word::MacPict:
        picture.kind = PictureKind::EnhancedMetafile;
        break;
    case Word::DeviceIndependentBitmap:
        picture.kind = PictureKind::Dib;
        break;
    case Word::DeviceBitmap:
        picture.kind = PictureKind::Bitmap;
        break;
    case Word::PicW:
        picture.width = value;
        break;
    case Word::PicH:
        picture.height = value;
        break;
    case Word::PicWGoal:
        picture.goalWidth = value;
        break;
    case Word::PicHGoal:
        picture.goalHeight = value;
        break;
    case Word::PicScaleX:
        picture.scaleX = value;
        break;
    case Word::PicScaleY:
        picture.scaleY = value;
        break;
    default:
        break;
    }
}

QTextBlockFormat blockFormatOf(const ParaState& para) {
    QTextBlockFormat format;
    format.setAlignment(qtAlignmentOf(para.alignment));
    format.setLeftMargin(Twips::toLayout(para.left));
    format.setRightMargin(Twips::toLayout(para.right));
    format.setTextIndent(Twips::toLayout(para.first));
    format.setTopMargin(Twips::toLayout(para.before));
    format.setBottomMargin(Twips::toLayout(para.after));
    if (para.tabCount > 0) {
        QList<QTextOption::Tab> tabs;
        tabs.reserve(para.tabCount);
        for (int i = 0; i < para.tabCount; ++i) {
            const TabStop& tab = para.tabs[size_t(i)];
            tabs.append(
                QTextOption::Tab(Twips::toLayout(tab.position), tab.type,
                                 tab.type == QTextOption::DelimiterTab ? QChar(u'.') : QChar()));
        }
        format.setTabPositions(tabs);
        QList<int> leaders;
        for (int i = 0; i < para.tabCount; ++i) {
            if (const TabStop& tab = para.tabs[size_t(i)]; tab.leader != TabLeader::None)
                leaders << tab.position << int(tab.leader);
        }
        if (!leaders.isEmpty())
            format.setProperty(DocumentProperty::TabLeaders, QVariant::fromValue(leaders));
    }
    if (para.lineSpacing > 0 && para.lineMultiple)
        format.setLineHeight(para.lineSpacing * 100.0 / 240, QTextBlockFormat::ProportionalHeight);
    else if (para.lineSpacing > 0)
        format.setLineHeight(Twips::toLayout(para.lineSpacing), QTextBlockFormat::MinimumHeight);
    else if (para.lineSpacing < 0)
        format.setLineHeight(Twips::toLayout(-para.lineSpacing), QTextBlockFormat::FixedHeight);
    if (!para.keptWords.isEmpty())
        format.setProperty(DocumentProperty::KeptParagraphWords,
                           QString::fromLatin1(para.keptWords));
    if (para.pageBreakBefore || para.pageBreakAfter)
        format.setPageBreakPolicy((para.pageBreakBefore ? QTextFormat::PageBreak_AlwaysBefore
                                                        : QTextFormat::PageBreakFlags()) |
                                  (para.pageBreakAfter ? QTextFormat::PageBreak_AlwaysAfter
                                                       : QTextFormat::PageBreakFlags()));
    // The layout draws a list's number left of the first line's text, where the file has the
    // text after the number.
    if (para.list != ListStyle::None)
        setListIndents(format, Twips::toLayout(para.left), Twips::toLayout(para.first));
    return format;
}

void sanitizeText(QString& text, qsizetype from) {
    // Most text is clean: it is only read up to its first character that may not be, a
    // control character, U+2029, a surrogate or one of the reserved ones above those.
    const qsizetype size = text.size();
    const char16_t* read = reinterpret_cast<const char16_t*>(text.constData());
    qsizetype first = from;
    while (first < size &&
           ((read[first] >= 0x20 && read[first] < 0xD800 && read[first] != 0x2029) ||
            read[first] == u'\t'))
        ++first;
    if (first == size)
        return;
    QChar* data = text.data();
    qsizetype out = first;
    for (qsizetype i = first; i < size; ++i) {
        QChar c = data[i];
        const char16_t u = c.unicode();
        if (u < 0x20 && u != u'\t')
            continue;
        if (c.isHighSurrogate() && i + 1 < size && data[i + 1].isLowSurrogate()) {
            data[out++] = c;
            data[out++] = data[++i];
            continue;
        }
        if (c.isSurrogate() || u == 0x2029 || u == 0xFDD0 || u == 0xFDD1 || u == 0xFFFC ||
            u == 0xFFFE || u == 0xFFFF)
            c = QChar(0xFFFD);
        data[out++] = c;
    }
    text.truncate(out);
}

} // namespace rtf
