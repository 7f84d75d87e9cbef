#pragma once

#include "model/Alignment.h"

#include <QByteArray>
#include <QTextOption>

#include <array>
#include <cstdint>

namespace rtf {

enum class Destination : std::uint8_t {
    Text,              // document text
    FontTable,         // \fonttbl
    ColorTable,        // \colortbl
    Picture,           // \pict
    Bullet,            // \pn: the paragraph's legacy bullet or numbering
    ListTable,         // \listtable
    ListOverrideTable, // \listoverridetable
    ListLevelText,     // \leveltext in a \listlevel
    ListLevelNumbers,  // \levelnumbers in a \listlevel
    UnicodeAlternates, // \upr: only its \ud part is read
    ShapeProperties,   // \shpinst: only its pictures and \shptxt are read
    StyleSheet,        // \stylesheet, its entries in groups of their own
    NestedTableRow,    // \nesttableprops: only its \nestrow, the end of a nested row, counts
};

enum class ListStyle : std::uint8_t { None, Bullet, Numbered };

enum class VerticalPosition : std::uint8_t { Normal, Super, Sub };

// The underlines of \ul and its variants, by the word that names each.
enum class Underline : std::uint8_t {
    None,
    Single,          // \ul
    Dotted,          // \uld
    Dash,            // \uldash
    DashDot,         // \uldashd
    DashDotDot,      // \uldashdd
    Double,          // \uldb
    HeavyWave,       // \ulhwave
    LongDash,        // \ulldash
    Thick,           // \ulth
    ThickDotted,     // \ulthd
    ThickDash,       // \ulthdash
    ThickDashDot,    // \ulthdashd
    ThickDashDotDot, // \ulthdashdd
    ThickLongDash,   // \ulthldash
    DoubleWave,      // \ululdbwave
    Words,           // \ulw
    Wave,            // \ulwave
};

enum class Capitals : std::uint8_t { None, All, Small }; // \caps, \scaps

// What kind of characters the text that follows is (\loch, \hich, \dbch): \f and \af give the
// font of that kind. None after \ltrch and \rtlch, where \af is a right-to-left text's font.
enum class CharacterKind : std::uint8_t { None, Low, High, DoubleByte };

// Character formatting; \plain resets all of it.
struct CharState {
    int font = -1; // \f; -1 stands for the document's \deff
    // The fonts of low-ANSI and double-byte text (\loch\f, \dbch\af): text shows in the first,
    // and decodes in `font`, the one named last.
    int lowFont = -1;
    int doubleByteFont = -1;
    CharacterKind kind = CharacterKind::None;
    int halfPoints = 24;                   // \fs
    int foreground = 0;                    // \cf, an index into the colour table; 0 is automatic
    int background = 0;                    // \highlight, \cb, \chcbpat
    bool bold = false;                     // \b
    bool italic = false;                   // \i
    Underline underline = Underline::None; // \ul and its variants, \ulnone
    bool strike = false;                   // \strike, \striked
    bool hidden = false; // \v: hidden text is kept aside, out of the document's text
    Capitals capitals = Capitals::None;
    VerticalPosition vertical = VerticalPosition::Normal; // \super, \sub, \up, \dn, \nosupersub
    int raise = 0; // \up, \dn: half-points, up positive; 0 for \super and \sub
    // Words of character formatting read but not acted on (\lang1031, \kerning28), as the file
    // has them, the last of each name: written back with the text.
    QByteArray keptWords;

    bool operator==(const CharState&) const = default;
};

// The leaders of \tldot and its kind, as files number them.
enum class TabLeader : std::uint8_t { None, Dots, MiddleDots, Hyphens, Underline, Thick, Equals };

struct TabStop {
    int position = 0; // twips
    QTextOption::TabType type = QTextOption::LeftTab;
    TabLeader leader = TabLeader::None;
    bool operator==(const TabStop&) const = default;
};

// Paragraph formatting; \pard resets all of it.
struct ParaState {
    static constexpr int maxTabs = 32;
    // Tables in tables deeper than this are read as part of the deepest one kept. Laying out a
    // table lays its cells out twice, so each level of nesting doubles the time a window takes
    // to show it (12 levels take most of a second, 16 a quarter of a minute); documents people
    // write rarely go past three.
    static constexpr int maxTableLevel = 8;

    Alignment alignment = Alignment::Left; // \ql, \qr, \qc, \qj
    int left = 0;                          // \li, twips
    int right = 0;                         // \ri
    int first = 0;                         // \fi
    int before = 0;                        // \sb
    int after = 0;                         // \sa
    int lineSpacing = 0; // \sl, twips: at least this when positive, exactly its size when negative
    bool lineMultiple = false;    // \slmult1: \sl is in 240ths of a single line
    bool pageBreakBefore = false; // \pagebb
    // The mark that ended the paragraph was \page: never set by a word, only by the mark.
    bool pageBreakAfter = false;
    ListStyle list = ListStyle::None;                        // \pn (in its group), \ls
    int listOverride = 0;                                    // \ls
    int listLevel = 0;                                       // \ilvl
    QTextOption::TabType nextTabType = QTextOption::LeftTab; // \tqr \tqc \tqdec, used by \tx
    TabLeader nextTabLeader = TabLeader::None;               // \tldot ..., used by \tx
    int tabCount = 0;                                        // \tx
    std::array<TabStop, maxTabs> tabs{};
    int tableLevel = 0;   // \intbl, \itap: how deep in tables the paragraph is; 0 in none or unsaid
    QByteArray keptWords; // paragraph words read but not acted on (\keepn), as CharState's
    int style = 0;        // \s: the paragraph style whose characters \plain goes back to

    bool operator==(const ParaState&) const = default;
};

// Pushed on '{' and popped on '}'.
struct GroupState {
    CharState chars;
    ParaState para;
    Destination destination = Destination::Text;
    int unicodeSkip = 1; // \uc: fallback characters after each \u
    qsizetype start = 0; // where the group's '{' is in the data
};

} // namespace rtf
