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
// Table, an int in twips: where the table's rows start, from the margin. Files put it left of the
// margin so that the cells' text lines up with the text around; the layout draws it at the margin.
constexpr int TableIndent = QTextFormat::UserProperty + 0x200;

} // namespace DocumentProperty

// Lays out a list paragraph as files describe one: its number or bullet at `left + first`, its
// text at the hanging indent when there is one, else after the number, and always room for the
// number inside the page. Sets the block's margins and ListMarkerRoom; lengths in layout units.
// The RTF writer turns the result back into the same `left` and `first`.
void setListIndents(QTextBlockFormat& format, qreal left, qreal first);
