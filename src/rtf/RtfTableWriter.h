#pragma once

#include <QColor>

#include <functional>
#include <string_view>

class QBrush;
class QTextBlock;
class QTextDocument;
class QTextFrame;

namespace rtf {

// What writing a document's tables needs of the document's writer.
class FrameOutput {
public:
    virtual ~FrameOutput() = default;
    // A paragraph's format and text, `level` tables deep, without its mark; `sayLevel` when
    // the paragraph says how deep it is even in the outermost tables.
    virtual void paragraph(const QTextBlock& block, int level, bool sayLevel) = 0;
    virtual void append(std::string_view rtf) = 0;
    // The mark that ends a paragraph outside cells.
    virtual void endParagraph(const QTextBlock&) { append("\\par\r\n"); }
    // The colour table's index of a colour forEachTableColor gave.
    virtual int colorIndex(QRgb rgb) const = 0;
};

// Writes the frame's paragraphs, and its tables as rows of cells, in order.
void writeFrame(const QTextFrame& frame, FrameOutput& out);

// Whether the paragraph is the empty one a document keeps before a table that opens the document
// or a cell: no paragraph of a file's, so writeFrame leaves it out.
bool isTableSpacer(const QTextBlock& block);

// Calls `add` with each colour the document's tables are drawn with.
void forEachTableColor(const QTextDocument& document,
                       const std::function<void(const QBrush&)>& add);

} // namespace rtf
