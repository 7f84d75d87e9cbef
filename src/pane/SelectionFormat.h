#pragma once

#include "model/Alignment.h"

#include <QString>
#include <optional>

class QTextBlock;
class QTextCharFormat;
class QTextCursor;

// The formatting the toolbar shows, read from a selection in one pass over its runs and
// paragraphs. A member is nullopt when it differs across the selection. With nothing selected
// the character members are those of the text typed next and the alignment is the paragraph's.
struct SelectionFormat {
    std::optional<bool> bold;
    std::optional<bool> italic;
    std::optional<bool> underline;
    std::optional<QString> fontName;
    std::optional<double> fontSize;
    std::optional<Alignment> alignment;

    // `typing` is the format the pane gives text typed at the caret.
    static SelectionFormat of(const QTextCursor& selection, const QTextCharFormat& typing);

    // How each member reads one piece of text or one paragraph; the pane's Sel* use the same.
    static bool isBold(const QTextCharFormat& format);
    static QString fontNameOf(const QTextCharFormat& format);
    // A size the format leaves open is the document's default.
    static double fontSizeOf(const QTextCharFormat& format, double documentSize);
    static Alignment alignmentOf(const QTextBlock& block);
};
