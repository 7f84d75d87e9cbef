#pragma once

#include <QByteArrayView>

#include <string_view>

namespace rtf {

enum class WordKind {
    Flag,        // acts by being there: \pard, \par, \ql
    Toggle,      // on without a parameter or with a non-zero one, off with 0: \b, \b0
    Value,       // carries a number; the default stands in when it is missing: \fs24
    Symbol,      // stands for one character: \emdash
    Destination, // starts a group with its own meaning: \fonttbl, \pict
};

enum class Word {
    // document
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCodePage,
    DefaultFont,
    DefaultTab,
    Uc,
    U,
    Upr,
    Ud,
    // tables of the header
    FontTable,
    Font,
    FontCharset,
    CodePage,
    ColorTable,
    Red,
    Green,
    Blue,
    // character formats
    Plain,
    AssociatedFont,
    CharacterKindWord,
    FontSize,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    StrikeDouble,
    Color,
    Highlight,
    Background,
    Hidden,
    Caps,
    SmallCaps,
    Super,
    Sub,
    NoSuperSub,
    Up,
    Dn,
    // paragraph formats
    Pard,
    AlignLeft,
    AlignRight,
    AlignCenter,
    AlignJustify,
    LeftIndent,
    RightIndent,
    FirstIndent,
    SpaceBefore,
    SpaceAfter,
    LineSpacing,
    LineMultiple,
    PageBreakBefore,
    TabLeader,
    TabPos,
    TabRight,
    TabCenter,
    TabDecimal,
    TabBar,
    InTable,
    // breaks
    Par,
    Line,
    Tab,
    Page,
    Sect,
    Column,
    Cell,
    NestCell,
    Row,
    NestRow,
    NestTableProps,
    NoNestTables,
    // table rows and cells
    TableLevel,
    RowDefaults,
    RowGap,
    RowLeft,
    RowAlign,
    RowBorder,
    CellRight,
    CellMerged,
    CellMergedUp,
    CellBorder,
    CellPaddingTop,
    CellPaddingLeft,
    CellPaddingBottom,
    CellPaddingRight,
    CellBackground,
    CellPatternColor,
    CellShading,
    CellVerticalAlign,
    BorderStyle,
    BorderWidth,
    BorderColor,
    // bullets and lists
    Pn,
    PnText,
    PnLevelBullet,
    PnLevelBody,
    PnLevelCont,
    PnDecimal,
    ListText,
    ListTable,
    List,
    ListLevel,
    LevelNfc,
    LevelStart,
    LevelText,
    LevelNumbers,
    ListId,
    ListOverrideTable,
    ListOverride,
    OverrideLevel,
    OverrideStartAt,
    Ls,
    Ilvl,
    // pictures and objects
    Pict,
    PngBlip,
    JpegBlip,
    EmfBlip,
    WMetafile,
    MacPict,
    DeviceBitmap,
    DeviceIndependentBitmap,
    PicW,
    PicH,
    PicWGoal,
    PicHGoal,
    PicScaleX,
    PicScaleY,
    ShpPict,
    NonShpPict,
    Object,
    ObjData,
    Result,
    Field,
    FieldInst,
    FieldResult,
    Shape,
    ShapeInstance,
    ShapeText,
    ShapeResult,
    // styles
    StyleSheet,
    Style,
    CharacterStyle,
    StyleBasedOn,
    // headers, footers and footnotes
    Header,
    Footer,
    Footnote,
    FootnoteMark,
    // groups whose content is not document text
    Skip,
};

// The words of a character format (\f with them): those of its part of the list above, which
// is kept together for this.
constexpr bool isCharacterWord(Word id) {
    return (id >= Word::Plain && id <= Word::Dn) || id == Word::Font;
}

struct ControlWord {
    std::string_view name;
    WordKind kind;
    Word id;
    // The parameter when none is given; for symbols, the character; for toggles, the value that
    // stands for "on" (the kind of underline for \\ul and its variants).
    int defaultValue;
};

// The entry for `name`, or nullptr for words the reader ignores.
const ControlWord* findControlWord(QByteArrayView name);

// Words that set something of the whole document (its code page, its default font).
bool isDocumentWord(Word id);
// Words of document text whose effect is not undone at the end of their group.
bool outlastsGroup(Word id);

// `group`, from its brace, starts with `word` (after a \*), as a whole word.
bool startsWithWord(QByteArrayView group, const ControlWord& word);

} // namespace rtf
