#include "pane/SelectionFormat.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {
// One attribute's value across the selection: nullopt once two parts differ.
template <typename T> class Uniform {
public:
    void see(const T& value) {
        if (mixed_)
            return;
        if (value_ && *value_ != value) {
            mixed_ = true;
            value_.reset();
            return;
        }
        value_ = value;
    }
    bool mixed() const { return mixed_; }
    std::optional<T> value() const { return value_; }

private:
    std::optional<T> value_;
    bool mixed_ = false;
};

struct CharAttributes {
    Uniform<bool> bold;
    Uniform<bool> italic;
    Uniform<bool> underline;
    Uniform<QString> fontName;
    Uniform<double> fontSize;

    void see(const QTextCharFormat& format, double documentSize) {
        bold.see(SelectionFormat::isBold(format));
        italic.see(format.fontItalic());
        underline.see(format.fontUnderline());
        fontName.see(SelectionFormat::fontNameOf(format));
        fontSize.see(SelectionFormat::fontSizeOf(format, documentSize));
    }
    bool allMixed() const {
        return bold.mixed() && italic.mixed() && underline.mixed() && fontName.mixed() &&
               fontSize.mixed();
    }
};
} // namespace

bool SelectionFormat::isBold(const QTextCharFormat& format) {
    return format.fontWeight() >= QFont::Bold;
}

QString SelectionFormat::fontNameOf(const QTextCharFormat& format) {
    const QStringList families = format.fontFamilies().toStringList();
    return families.isEmpty() ? format.font().family() : families.first();
}

double SelectionFormat::fontSizeOf(const QTextCharFormat& format, double documentSize) {
    const double size = format.fontPointSize();
    return size > 0 ? size : documentSize;
}

Alignment SelectionFormat::alignmentOf(const QTextBlock& block) {
    return ::alignmentOf(block.blockFormat().alignment());
}

SelectionFormat SelectionFormat::of(const QTextCursor& selection, const QTextCharFormat& typing) {
    const QTextDocument* document = selection.document();
    const double documentSize = document->defaultFont().pointSizeF();
    const int start = selection.selectionStart();
    const int end = selection.selectionEnd();
    CharAttributes chars;
    Uniform<Alignment> alignment;
    // Runs and paragraphs share their formats, so a format already seen is not read again: a
    // whole document in a handful of formats costs one walk over its runs.
    int lastCharFormat = -1;
    int lastBlockFormat = -1;
    const QTextBlock lastBlock = document->findBlock(end > start ? end - 1 : end);
    for (QTextBlock block = document->findBlock(start); block.isValid(); block = block.next()) {
        if (block.blockFormatIndex() != lastBlockFormat) {
            lastBlockFormat = block.blockFormatIndex();
            alignment.see(alignmentOf(block));
        }
        if (selection.hasSelection() && !chars.allMixed()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                if (fragment.position() + fragment.length() <= start)
                    continue;
                if (fragment.position() >= end)
                    break;
                if (fragment.charFormatIndex() == lastCharFormat)
                    continue;
                lastCharFormat = fragment.charFormatIndex();
                chars.see(fragment.charFormat(), documentSize);
            }
        }
        if (block == lastBlock || (alignment.mixed() && chars.allMixed()))
            break;
    }
    // A selection of nothing but paragraph breaks has no runs: it reads as the text typed next.
    if (!selection.hasSelection() || lastCharFormat < 0)
        chars.see(typing, documentSize);
    SelectionFormat result;
    result.bold = chars.bold.value();
    result.italic = chars.italic.value();
    result.underline = chars.underline.value();
    result.fontName = chars.fontName.value();
    result.fontSize = chars.fontSize.value();
    result.alignment = alignment.value();
    return result;
}
