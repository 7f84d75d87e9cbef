#include "files/DocumentKind.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>

DocumentKind documentKindOf(const QString& fileName) {
    const QString lower = fileName.toLower();
    if (lower.contains(QLatin1String(".rtf")))
        return DocumentKind::RichText;
    if (lower.contains(QLatin1String(".htm")))
        return DocumentKind::Html;
    return DocumentKind::PlainText;
}

bool hasFormatting(const QTextDocument& document) {
    if (!document.rootFrame()->childFrames().isEmpty())
        return true;
    const QTextBlockFormat plainBlock;
    bool seenFormat = false;
    QTextCharFormat first;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat format = block.blockFormat();
        if (block.textList() || format.alignment() != plainBlock.alignment() ||
            format.leftMargin() != 0 || format.rightMargin() != 0 || format.textIndent() != 0 ||
            !format.tabPositions().isEmpty())
            return true;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat chars = it.fragment().charFormat();
            if (chars.isImageFormat())
                return true;
            if (!seenFormat) {
                first = chars;
                seenFormat = true;
            } else if (chars != first) {
                return true;
            }
        }
    }
    return false;
}
