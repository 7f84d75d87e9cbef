#include "rtf/RtfControlWords.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <iterator>
#include <string_view>

namespace rtf {

namespace {

using K = WordKind;
using W = Word;

constexpr ControlWord words[] = {
    {"af", K::Value, W::AssociatedFont, 0},
    {"aftnsep", K::Destination, W::Skip, 0},
    {"aftnsepc", K::Destination, W::Skip, 0},
    {"annotation", K::Destination, W::Skip, 0},
    {"ansi", K::Flag, W::Ansi, 0},
    {"ansicpg", K::Value, W::AnsiCodePage, 1252},
    {"atnauthor", K::Destination, W::Skip, 0},
    {"atnid", K::Destination, W::Skip, 0},
    {"author", K::Destination, W::Skip, 0},
    {"b", K::Toggle, W::Bold, 1},
    {"bkmkend", K::Destination, W::Skip, 0},
    {"bkmkstart", K::Destination, W::Skip, 0},
    {"blue", K::Value, W::Blue, 0},
    {"brdrcf", K::Value, W::BorderColor, 0},
    {"brdrdash", K::Flag, W::BorderStyle, 4},
    {"brdrdashd", K::Flag, W::BorderStyle, 4},
    {"brdrdashdd", K::Flag, W::BorderStyle, 4},
    {"brdrdashsm", K::Flag, W::BorderStyle, 4},
    {"brdrdb", K::Flag, W::BorderStyle, 2},
    {"brdrdot", K::Flag, W::BorderStyle, 3},
    {"brdrhair", K::Flag, W::BorderStyle, 1},
    {"brdrinset", K::Flag, W::BorderStyle, 1},
    {"brdrnil", K::Flag, W::BorderStyle, 0},
    {"brdrnone", K::Flag, W::BorderStyle, 0},
    {"brdroutset", K::Flag, W::BorderStyle, 1},
    {"brdrs", K::Flag, W::BorderStyle, 1},
    {"brdrsh", K::Flag, W::BorderStyle, 1},
    {"brdrth", K::Flag, W::BorderStyle, 1},
    {"brdrtriple", K::Flag, W::BorderStyle, 2},
    {"brdrw", K::Value, W::BorderWidth, 0},
    {"brdrwavy", K::Flag, W::BorderStyle, 1},
    {"bullet", K::Symbol, W::Skip, 0x2022},
    {"caps", K::Toggle, W::Caps, 1},
    {"cb", K::Value, W::Background, 0},
    {"cell", K::Flag, W::Cell, 0},
    {"cellx", K::Value, W::CellRight, 0},
    {"cf", K::Value, W::Color, 0},
    {"chcbpat", K::Value, W::Background, 0},
    {"chftn", K::Flag, W::FootnoteMark, 0},
    {"clbrdrb", K::Flag, W::CellBorder, 2},
    {"clbrdrl", K::Flag, W::CellBorder, 1},
    {"clbrdrr", K::Flag, W::CellBorder, 3},
    {"clbrdrt", K::Flag, W::CellBorder, 0},
    {"clcbpat", K::Value, W::CellBackground, 0},
    {"clcfpat", K::Value, W::CellPatternColor, 0},
    {"clmrg", K::Flag, W::CellMerged, 0},
    {"clpadb", K::Value, W::CellPaddingBottom, 0},
    {"clpadl", K::Value, W::CellPaddingLeft, 0},
    {"clpadr", K::Value, W::CellPaddingRight, 0},
    {"clpadt", K::Value, W::CellPaddingTop, 0},
    {"clshdng", K::Value, W::CellShading, 0},
    {"clvertalb", K::Flag, W::CellVerticalAlign, 2},
    {"clvertalc", K::Flag, W::CellVerticalAlign, 1},
    {"clvertalt", K::Flag, W::CellVerticalAlign, 0},
    {"clvmrg", K::Flag, W::CellMergedUp, 0},
    {"colorschememapping", K::Destination, W::Skip, 0},
    {"colortbl", K::Destination, W::ColorTable, 0},
    {"column", K::Flag, W::Column, 0},
    {"comment", K::Destination, W::Skip, 0},
    {"cpg", K::Value, W::CodePage, 1252},
    {"creatim", K::Destination, W::Skip, 0},
    {"cs", K::Value, W::CharacterStyle, 0},
    {"datastore", K::Destination, W::Skip, 0},
    {"dbch", K::Flag, W::CharacterKindWord, 3},
    {"defchp", K::Destination, W::Skip, 0},
    {"deff", K::Value, W::DefaultFont, 0},
    {"defpap", K::Destination, W::Skip, 0},
    {"deftab", K::Value, W::DefaultTab, 720},
    {"dibitmap", K::Flag, W::DeviceIndependentBitmap, 0},
    {"dn", K::Value, W::Dn, 6},
    {"doccomm", K::Destination, W::Skip, 0},
    {"docvar", K::Destination, W::Skip, 0},
    {"emdash", K::Symbol, W::Skip, 0x2014},
    {"emfblip", K::Flag, W::EmfBlip, 0},
    {"emspace", K::Symbol, W::Skip, 0x2003},
    {"endash", K::Symbol, W::Skip, 0x2013},
    {"enspace", K::Symbol, W::Skip, 0x2002},
    {"f", K::Value, W::Font, 0},
    {"falt", K::Destination, W::Skip, 0},
    {"fchars", K::Destination, W::Skip, 0},
    {"fcharset", K::Value, W::FontCharset, 0},
    {"fi", K::Value, W::FirstIndent, 0},
    {"field", K::Destination, W::Field, 0},
    {"fldinst", K::Destination, W::FieldInst, 0},
    {"fldrslt", K::Destination, W::FieldResult, 0},
    {"fontemb", K::Destination, W::Skip, 0},
    {"fontfile", K::Destination, W::Skip, 0},
    {"fonttbl", K::Destination, W::FontTable, 0},
    {"footer", K::Destination, W::Footer, 0},
    {"footerf", K::Destination, W::Footer, 0},
    {"footerl", K::Destination, W::Footer, 0},
    {"footerr", K::Destination, W::Footer, 0},
    {"footnote", K::Destination, W::Footnote, 0},
    {"fs", K::Value, W::FontSize, 24},
    {"ftncn", K::Destination, W::Skip, 0},
    {"ftnsep", K::Destination, W::Skip, 0},
    {"ftnsepc", K::Destination, W::Skip, 0},
    {"generator", K::Destination, W::Skip, 0},
    {"green", K::Value, W::Green, 0},
    {"header", K::Destination, W::Header, 0},
    {"headerf", K::Destination, W::Header, 0},
    {"headerl", K::Destination, W::Header, 0},
    {"headerr", K::Destination, W::Header, 0},
    {"hich", K::Flag, W::CharacterKindWord, 2},
    {"highlight", K::Value, W::Highlight, 0},
    {"i", K::Toggle, W::Italic, 1},
    {"ilvl", K::Value, W::Ilvl, 0},
    {"info", K::Destination, W::Skip, 0},
    {"intbl", K::Flag, W::InTable, 0},
    {"itap", K::Value, W::TableLevel, 1},
    {"jpegblip", K::Flag, W::JpegBlip, 0},
    {"keywords", K::Destination, W::Skip, 0},
    {"latentstyles", K::Destination, W::Skip, 0},
    {"lchars", K::Destination, W::Skip, 0},
    {"ldblquote", K::Symbol, W::Skip, 0x201C},
    {"levelnfc", K::Value, W::LevelNfc, 0},
    {"levelnfcn", K::Value, W::LevelNfc, 0},
    {"levelnumbers", K::Destination, W::LevelNumbers, 0},
    {"levelstartat", K::Value, W::LevelStart, 1},
    {"leveltext", K::Destination, W::LevelText, 0},
    {"lfolevel", K::Flag, W::OverrideLevel, 0},
    {"li", K::Value, W::LeftIndent, 0},
    {"line", K::Flag, W::Line, 0},
    {"list", K::Flag, W::List, 0},
    {"listid", K::Value, W::ListId, 0},
    {"listlevel", K::Flag, W::ListLevel, 0},
    {"listname", K::Destination, W::Skip, 0},
    {"listoverride", K::Flag, W::ListOverride, 0},
    {"listoverridestartat", K::Flag, W::OverrideStartAt, 0},
    {"listoverridetable", K::Destination, W::ListOverrideTable, 0},
    {"listpicture", K::Destination, W::Skip, 0},
    {"listtable", K::Destination, W::ListTable, 0},
    {"listtext", K::Destination, W::ListText, 0},
    {"loch", K::Flag, W::CharacterKindWord, 1},
    {"lquote", K::Symbol, W::Skip, 0x2018},
    {"ls", K::Value, W::Ls, 0},
    {"ltrch", K::Flag, W::CharacterKindWord, 0},
    {"mac", K::Flag, W::Mac, 0},
    {"macpict", K::Flag, W::MacPict, 0},
    {"mmathPr", K::Destination, W::Skip, 0},
    {"nestcell", K::Flag, W::NestCell, 0},
    {"nestrow", K::Flag, W::NestRow, 0},
    {"nesttableprops", K::Destination, W::NestTableProps, 0},
    {"nonesttables", K::Destination, W::NoNestTables, 0},
    {"nonshppict", K::Destination, W::NonShpPict, 0},
    {"nosupersub", K::Flag, W::NoSuperSub, 0},
    {"objdata", K::Destination, W::ObjData, 0},
    {"object", K::Destination, W::Object, 0},
    {"operator", K::Destination, W::Skip, 0},
    {"page", K::Flag, W::Page, 0},
    {"pagebb", K::Toggle, W::PageBreakBefore, 1},
    {"panose", K::Destination, W::Skip, 0},
    {"par", K::Flag, W::Par, 0},
    {"pard", K::Flag, W::Pard, 0},
    {"pc", K::Flag, W::Pc, 0},
    {"pca", K::Flag, W::Pca, 0},
    {"pgdsctbl", K::Destination, W::Skip, 0},
    {"pich", K::Value, W::PicH, 0},
    {"pichgoal", K::Value, W::PicHGoal, 0},
    {"picscalex", K::Value, W::PicScaleX, 100},
    {"picscaley", K::Value, W::PicScaleY, 100},
    {"pict", K::Destination, W::Pict, 0},
    {"picw", K::Value, W::PicW, 0},
    {"picwgoal", K::Value, W::PicWGoal, 0},
    {"plain", K::Flag, W::Plain, 0},
    {"pmmetafile", K::Flag, W::WMetafile, 0},
    {"pn", K::Destination, W::Pn, 0},
    {"pndec", K::Flag, W::PnDecimal, 0},
    {"pngblip", K::Flag, W::PngBlip, 0},
    {"pnlvlblt", K::Flag, W::PnLevelBullet, 0},
    {"pnlvlbody", K::Flag, W::PnLevelBody, 0},
    {"pnlvlcont", K::Flag, W::PnLevelCont, 0},
    {"pnseclvl", K::Destination, W::Skip, 0},
    {"pntext", K::Destination, W::PnText, 0},
    {"pntxta", K::Destination, W::Skip, 0},
    {"pntxtb", K::Destination, W::Skip, 0},
    {"printim", K::Destination, W::Skip, 0},
    {"qc", K::Flag, W::AlignCenter, 0},
    {"qd", K::Flag, W::AlignJustify, 0},
    {"qj", K::Flag, W::AlignJustify, 0},
    {"ql", K::Flag, W::AlignLeft, 0},
    {"qmspace", K::Symbol, W::Skip, 0x2005},
    {"qr", K::Flag, W::AlignRight, 0},
    {"rdblquote", K::Symbol, W::Skip, 0x201D},
    {"red", K::Value, W::Red, 0},
    {"result", K::Destination, W::Result, 0},
    {"revtim", K::Destination, W::Skip, 0},
    {"ri", K::Value, W::RightIndent, 0},
    {"row", K::Flag, W::Row, 0},
    {"rquote", K::Symbol, W::Skip, 0x2019},
    {"rsidtbl", K::Destination, W::Skip, 0},
    {"rtf", K::Value, W::Skip, 1},
    {"rtlch", K::Flag, W::CharacterKindWord, 0},
    {"s", K::Value, W::Style, 0},
    {"sa", K::Value, W::SpaceAfter, 0},
    {"sb", K::Value, W::SpaceBefore, 0},
    {"sbasedon", K::Value, W::StyleBasedOn, 0},
    {"scaps", K::Toggle, W::SmallCaps, 1},
    {"sect", K::Flag, W::Sect, 0},
    {"shp", K::Destination, W::Shape, 0},
    {"shpinst", K::Destination, W::ShapeInstance, 0},
    {"shppict", K::Destination, W::ShpPict, 0},
    {"shprslt", K::Destination, W::ShapeResult, 0},
    {"shptxt", K::Destination, W::ShapeText, 0},
    {"sl", K::Value, W::LineSpacing, 0},
    {"slmult", K::Value, W::LineMultiple, 0},
    {"strike", K::Toggle, W::Strike, 1},
    {"striked", K::Toggle, W::StrikeDouble, 1},
    {"stylesheet", K::Destination, W::StyleSheet, 0},
    {"sub", K::Flag, W::Sub, 0},
    {"subject", K::Destination, W::Skip, 0},
    {"super", K::Flag, W::Super, 0},
    {"tab", K::Flag, W::Tab, 0},
    {"tb", K::Value, W::TabBar, 0},
    {"tc", K::Destination, W::Skip, 0},
    {"template", K::Destination, W::Skip, 0},
    {"themedata", K::Destination, W::Skip, 0},
    {"title", K::Destination, W::Skip, 0},
    {"tldot", K::Flag, W::TabLeader, 1},
    {"tleq", K::Flag, W::TabLeader, 6},
    {"tlhyph", K::Flag, W::TabLeader, 3},
    {"tlmdot", K::Flag, W::TabLeader, 2},
    {"tlth", K::Flag, W::TabLeader, 5},
    {"tlul", K::Flag, W::TabLeader, 4},
    {"tqc", K::Flag, W::TabCenter, 0},
    {"tqdec", K::Flag, W::TabDecimal, 0},
    {"tqr", K::Flag, W::TabRight, 0},
    {"trbrdrb", K::Flag, W::RowBorder, 2},
    {"trbrdrh", K::Flag, W::RowBorder, 4},
    {"trbrdrl", K::Flag, W::RowBorder, 1},
    {"trbrdrr", K::Flag, W::RowBorder, 3},
    {"trbrdrt", K::Flag, W::RowBorder, 0},
    {"trbrdrv", K::Flag, W::RowBorder, 5},
    {"trgaph", K::Value, W::RowGap, 0},
    {"trleft", K::Value, W::RowLeft, 0},
    {"trowd", K::Flag, W::RowDefaults, 0},
    {"trqc", K::Flag, W::RowAlign, 2},
    {"trql", K::Flag, W::RowAlign, 0},
    {"trqr", K::Flag, W::RowAlign, 1},
    {"tx", K::Value, W::TabPos, 0},
    {"txe", K::Destination, W::Skip, 0},
    {"u", K::Value, W::U, 0},
    {"uc", K::Value, W::Uc, 1},
    {"ud", K::Destination, W::Ud, 0},
    {"ul", K::Toggle, W::Underline, 1},
    {"uld", K::Toggle, W::Underline, 2},
    {"uldash", K::Toggle, W::Underline, 3},
    {"uldashd", K::Toggle, W::Underline, 4},
    {"uldashdd", K::Toggle, W::Underline, 5},
    {"uldb", K::Toggle, W::Underline, 6},
    {"ulhwave", K::Toggle, W::Underline, 7},
    {"ulldash", K::Toggle, W::Underline, 8},
    {"ulnone", K::Flag, W::UnderlineNone, 0},
    {"ulth", K::Toggle, W::Underline, 9},
    {"ulthd", K::Toggle, W::Underline, 10},
    {"ulthdash", K::Toggle, W::Underline, 11},
    {"ulthdashd", K::Toggle, W::Underline, 12},
    {"ulthdashdd", K::Toggle, W::Underline, 13},
    {"ulthldash", K::Toggle, W::Underline, 14},
    {"ululdbwave", K::Toggle, W::Underline, 15},
    {"ulw", K::Toggle, W::Underline, 16},
    {"ulwave", K::Toggle, W::Underline, 17},
    {"up", K::Value, W::Up, 6},
    {"upr", K::Destination, W::Upr, 0},
    {"userprops", K::Destination, W::Skip, 0},
    {"v", K::Toggle, W::Hidden, 1},
    {"wbitmap", K::Flag, W::DeviceBitmap, 0},
    {"wgrffmtfilter", K::Destination, W::Skip, 0},
    {"wmetafile", K::Flag, W::WMetafile, 0},
    {"xe", K::Destination, W::Skip, 0},
    {"xmlattrname", K::Destination, W::Skip, 0},
    {"xmlattrvalue", K::Destination, W::Skip, 0},
    {"xmlnstbl", K::Destination, W::Skip, 0},
    {"zwj", K::Symbol, W::Skip, 0x200D},
    {"zwnj", K::Symbol, W::Skip, 0x200C},
};

// Kept sorted so that a name can be found by eye and a word is listed once.
static_assert(std::is_sorted(std::begin(words), std::end(words),
                             [](const ControlWord& a, const ControlWord& b) {
                                 return a.name < b.name;
                             }));

// Every control word of a file is looked up, so the lookup is one hash and one comparison:
// an open-addressed table four times the size of the list.
constexpr std::uint32_t slotCount = 2048;
static_assert(std::size(words) * 4 <= slotCount);

// A name's length and its first, middle and last bytes, in one number: it tells nearly all
// words apart (every name of up to three letters wholly), without a loop over the name.
constexpr std::uint32_t signatureOf(const char* name, size_t length) {
    const auto byte = [&](size_t i) { return std::uint32_t(static_cast<unsigned char>(name[i])); };
    return std::uint32_t(length & 0xFF) | byte(0) << 8 | byte(length / 2) << 16 |
           byte(length - 1) << 24;
}

constexpr std::uint32_t slotOf(std::uint32_t signature) {
    return (signature * 0x9E3779B1u) >> 21;
}
static_assert(slotCount == 1u << 11);

// Names are short: a loop beats a call to memcmp.
bool sameName(const char* a, const char* b, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (a[i] != b[i])
            return false;
    }
    return true;
}

// A slot holds what tells its word apart, so that a lookup reads the list only for the word
// it finds.
struct WordSlot {
    std::uint32_t signature = 0;
    std::uint16_t word = 0; // its place in the list plus one; 0 when the slot is free
};

struct WordSlots {
    std::array<WordSlot, slotCount> entries{};
    constexpr WordSlots() {
        for (size_t i = 0; i < std::size(words); ++i) {
            const std::uint32_t signature = signatureOf(words[i].name.data(), words[i].name.size());
            std::uint32_t at = slotOf(signature);
            while (entries[at].word)
                at = (at + 1) % slotCount;
            entries[at] = {signature, std::uint16_t(i + 1)};
        }
    }
};

// Built by the compiler: no start-up cost, and no order of initialisation to mind.
constexpr WordSlots wordSlots;

} // namespace

const ControlWord* findControlWord(QByteArrayView name) {
    const size_t length = size_t(name.size());
    if (length == 0 || length > 0xFF)
        return nullptr;
    const std::uint32_t signature = signatureOf(name.data(), length);
    for (std::uint32_t at = slotOf(signature);; at = (at + 1) % slotCount) {
        const WordSlot slot = wordSlots.entries[at];
        if (!slot.word)
            return nullptr;
        if (slot.signature != signature)
            continue;
        const ControlWord& word = words[slot.word - 1];
        // The signature holds a name of up to three letters whole; longer ones are compared
        // between their first and last letter.
        if (length <= 3 || sameName(word.name.data() + 1, name.data() + 1, length - 2))
            return &word;
    }
}

bool isDocumentWord(Word id) {
    switch (id) {
    case Word::Ansi:
    case Word::Mac:
    case Word::Pc:
    case Word::Pca:
    case Word::AnsiCodePage:
    case Word::DefaultFont:
        return true;
    default:
        return false;
    }
}

bool outlastsGroup(Word id) {
    if (isDocumentWord(id))
        return true;
    switch (id) {
    case Word::Cell:
    case Word::NestCell:
    case Word::Row:
    case Word::NestRow:
        return true;
    default:
        return false;
    }
}

bool startsWithWord(QByteArrayView group, const ControlWord& word) {
    // The group's own brace, then the word, after \* for words that may have one.
    group = group.sliced(1);
    if (group.startsWith("\\*"))
        group = group.sliced(2);
    const QByteArrayView name(word.name.data(), qsizetype(word.name.size()));
    if (!group.startsWith("\\") || !group.sliced(1).startsWith(name))
        return false;
    // The whole word: \footnotes is not \footnote.
    const qsizetype end = 1 + name.size();
    return end >= group.size() || !std::isalpha(static_cast<unsigned char>(group[end]));
}

} // namespace rtf
