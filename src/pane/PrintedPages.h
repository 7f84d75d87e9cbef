#pragma once

class QPagedPaintDevice;
class QTextDocument;

// Prints a document as Qt prints one (its pages laid out in 2 cm margins, its page numbers at
// the foot), with what the document window does not show: the headers and footers kept from
// its file in the top and bottom margins of every page, their page numbers filled in, and its
// footnotes after the text, each after its mark. The pages are laid out as the window lays the
// text out and drawn to the printer's scale, so indents, tab stops and list numbers stand as
// far from the text's edge on paper as on the screen.
namespace PrintedPages {

// On a printer, or on a PDF writer, whose page layout it takes.
void print(const QTextDocument& document, QPagedPaintDevice& printer);

} // namespace PrintedPages
