#pragma once

#include <QByteArrayView>

#include <memory>
#include <vector>

class QPagedPaintDevice;
class QTextDocument;

namespace rtf {
struct KeptGroup;
}

// Prints a document as Qt prints one (its pages laid out in 2 cm margins, its page numbers at
// the foot), with what the document window does not show: the headers and footers kept from
// its file in the top and bottom margins of every page, their page numbers filled in, and its
// footnotes after the text, each after its mark. The pages are laid out as the window lays the
// text out and drawn to the printer's scale, so indents, tab stops and list numbers stand as
// far from the text's edge on paper as on the screen.
namespace PrintedPages {

// On a printer, or on a PDF writer, whose page layout it takes.
void print(const QTextDocument& document, QPagedPaintDevice& printer);

// Prints a document that comes a part at a time as `print` prints it whole: each part is drawn
// as it comes and need not be kept after. `pages` is what page-count fields show, known only
// once the whole document has been laid out (0 leaves them as the file has them).
class Printing {
public:
    explicit Printing(QPagedPaintDevice& printer, int pages = 0);
    ~Printing();
    Printing(const Printing&) = delete;
    Printing& operator=(const Printing&) = delete;

    // `part` follows the parts printed before, in the same document object; `kept` are the
    // groups its text refers to by number, those of the parts before included.
    void print(const QTextDocument& part, const std::vector<rtf::KeptGroup>& kept);
    // After the last part: the footnotes of all of them, and the end of the last page.
    void finish(const std::vector<rtf::KeptGroup>& kept);

private:
    struct State;
    std::unique_ptr<State> d_;
};

// Whether headers or footers among `kept` show the count of pages.
bool countsPages(const std::vector<rtf::KeptGroup>& kept);

// Prints RTF, read and printed `paragraphs` paragraphs at a time where the file allows, so that
// a long file costs the memory of a part of it. Returns false when `rtf` is not RTF at all.
bool printRtf(QByteArrayView rtf, QPagedPaintDevice& printer, int paragraphs = 2048);

} // namespace PrintedPages
