#pragma once

#include <QTextFormat>

class QTextBlockFormat;

// What documents keep in their formats beyond Qt's own properties. The RTF reader sets them, the
// pane keeps them up to date and the RTF writer reads them, so a document written back says what
// the file it came from said.
namespace DocumentProperty {

// Block, a qreal in layout units: how far left of its first line's text a list paragraph's
// number or bullet starts. The layout draws the marker left of the text, so the text stands that
// far in and the marker inside the page; a save writes it back as the hanging indent.
constexpr int ListMarkerRoom = QTextFormat::UserProperty + 0x100;

// Character, an int: the number of the field whose result the text is, and of the footnote whose
// mark the text is, among the groups the RTF reader kept for saving (rtf::KeptGroups).
constexpr int FieldId = QTextFormat::UserProperty + 0x101;
constexpr int FootnoteId = QTextFormat::UserProperty + 0x102;
// Character, a QList<int>: fields whose result is empty, which stand before the text that carries
// their numbers (the first text after them in the file).
constexpr int EmptyFields = QTextFormat::UserProperty + 0x104;
// Block, an int from 1: the paragraph ends the section before that one (its mark was a \sect),
// and a save writes that section's headers and footers after it.
constexpr int SectionEnd = QTextFormat::UserProperty + 0x105;
// List, a bool: the list goes on counting from the list whose last item is the paragraph before
// its first (ListNumbers).
constexpr int ListContinues = QTextFormat::UserProperty + 0x103;
// List, an int: the list its paragraphs belong to, as files number their lists (\ls). Items of
// one list count on across the paragraphs between them and across its QTextLists, which a deeper
// level's list breaks into one per item above it; another list counts on its own. Lists without
// it count run by run (ListContinues).
constexpr int ListId = QTextFormat::UserProperty + 0x106;
// List, an int from 0: the level of its items in that list. An item of a lower level starts the
// count of every deeper level again.
constexpr int ListLevel = QTextFormat::UserProperty + 0x107;
// List, an int: the number of the level's first item; 1 when not given.
constexpr int ListStart = QTextFormat::UserProperty + 0x108;
// List, a QString: what stands before an item, the number of each level written as the character
// 1 + level: "\u0001." draws "3.", "(\u0002)" draws "(c)", "\u0001.\u0002" draws "2.1".
constexpr int ListLevelText = QTextFormat::UserProperty + 0x109;
// List, an int: how the level writes its number as files say it (\levelnfc), where the list's
// style cannot say it (22, decimal from 01).
constexpr int ListNumberFormat = QTextFormat::UserProperty + 0x10A;
// Character, an int: the kind of underline a file gave the text (\uldb, \ulth, \ulw, ...) where
// the underline style Qt draws stands for several (rtf::Underline's numbers). It counts only while
// the text's underline style is the one that kind is drawn with, so a new underline drops it.
constexpr int UnderlineKind = QTextFormat::UserProperty + 0x10B;
// Character, an int in half-points: how far raised (positive) or lowered text (\up, \dn) stands
// from the line, at its own size. Counts only while the vertical alignment is super- or subscript
// in the same direction.
constexpr int RaisedBy = QTextFormat::UserProperty + 0x10C;
// Block, a QList<int> of pairs: a tab stop's position in twips and the leader that fills the space
// before it (rtf::TabLeader's numbers: 1 dots, 2 middle dots, 3 hyphens, 4 underline, 5 thick
// line, 6 equals signs). Stops no longer at those positions have none.
constexpr int TabLeaders = QTextFormat::UserProperty + 0x10D;
// Character or block, a QList<int>: hidden text (\v) the document does not show but keeps, as
// kept groups (rtf::KeptGroups) written before the character that carries them, or before the
// mark of the paragraph whose format does.
constexpr int HiddenText = QTextFormat::UserProperty + 0x10E;
// Block and character, a QString: a file's paragraph or character words that the document keeps
// without acting on them (\keepn, \widctlpar, \lang1031, ...), written back as they were.
constexpr int KeptParagraphWords = QTextFormat::UserProperty + 0x10F;
constexpr int KeptCharacterWords = QTextFormat::UserProperty + 0x110;
// Character, a QString: the font a file gives double-byte text (\dbch\af) where it shows the rest
// in another, which is the format's family.
constexpr int AsianFont = QTextFormat::UserProperty + 0x111;
// Table, an int in twips: where the table's rows start, from the margin. Files put it left of the
// margin so that the cells' text lines up with the text around; the layout draws it at the margin.
constexpr int TableIndent = QTextFormat::UserProperty + 0x200;

} // namespace DocumentProperty

// Lays out a list paragraph as files describe one: its number or bullet at `left + first`, its
// first line's text at the first of its tab stops between the number and the hanging indent, else
// at the hanging indent when there is one, else after the number, and always room for the number
// inside the page. Sets the block's margins and ListMarkerRoom; lengths in layout units.
// The RTF writer turns the result back into the same `left` and `first`.
void setListIndents(QTextBlockFormat& format, qreal left, qreal first);
