#pragma once

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
    NestedTableRow,    // \nesttableprops: only its \nestrow, the end of a nested row, counts
};

enum class ListStyle : std::uint8_t { None, Bullet, Numbered };

enum class VerticalPosition : std::uint8_t { Normal, Super, Sub };

// Character formatting; \plain resets all of it.
struct CharState {
    int font = -1;          // \f; -1 stands for the document's \deff
    int halfPoints = 24;    // \fs
    int foreground = 0;     // \cf, an index into the colour table; 0 is automatic
    int background = 0;     // \highlight, \cb, \chcbpat
    bool bold = false;      // \b
    bool italic = false;    // \i
    bool underline = false; // \ul and its variants, \ulnone
    bool strike = false;    // \strike, \striked
    bool hidden = false;    // \v: hidden text is left out
    VerticalPosition vertical = VerticalPosition::Normal; // \super, \sub, \up, \dn, \nosupersub

    bool operator==(const CharState&) const = default;
};

struct TabStop {
    int position = 0; // twips
    QTextOption::TabType type = QTextOption::LeftTab;
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

    int alignment = 0;                                       // 0 \ql, 1 \qr, 2 \qc, 3 \qj
    int left = 0;                                            // \li, twips
    int right = 0;                                           // \ri
    int first = 0;                                           // \fi
    int before = 0;                                          // \sb
    int after = 0;                                           // \sa
    ListStyle list = ListStyle::None;                        // \pn (in its group), \ls
    int listOverride = 0;                                    // \ls
    int listLevel = 0;                                       // \ilvl
    QTextOption::TabType nextTabType = QTextOption::LeftTab; // \tqr \tqc \tqdec, used by \tx
    int tabCount = 0;                                        // \tx
    std::array<TabStop, maxTabs> tabs{};
    int tableLevel = 0; // \intbl, \itap: how deep in tables the paragraph is; 0 in none or unsaid

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
