#include "pane/PaneBoundaries.h"

#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextDocument>

namespace {
// How far a word move looks: a "word" of megabytes of punctuation ends there.
constexpr int wordReach = 1000;
// Characters read at first to find where one shown character ends; more only for a character
// with that many combining marks.
constexpr int clusterWindow = 32;

bool inWord(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c.isMark();
}

int lastPosition(const QTextDocument& document) {
    return int(document.characterCount()) - 1;
}
} // namespace

namespace PaneBoundaries {

int nextChar(const QTextDocument& document, int position) {
    if (position >= lastPosition(document))
        return position;
    const bool pair = document.characterAt(position).isHighSurrogate() &&
                      document.characterAt(position + 1).isLowSurrogate();
    return position + (pair ? 2 : 1);
}

int previousChar(const QTextDocument& document, int position) {
    if (position <= 0)
        return 0;
    const bool pair = position > 1 && document.characterAt(position - 1).isLowSurrogate() &&
                      document.characterAt(position - 2).isHighSurrogate();
    return position - (pair ? 2 : 1);
}

int nextCluster(const QTextDocument& document, int position) {
    if (position >= lastPosition(document))
        return position;
    const QTextBlock block = document.findBlock(position);
    const int end = block.position() + block.length() - 1;
    // The paragraph mark is a character of its own.
    if (position >= end)
        return position + 1;
    for (int window = clusterWindow;; window *= 2) {
        const int to = qMin(end, position + window);
        QString text(to - position, Qt::Uninitialized);
        for (int at = position; at < to; ++at)
            text[at - position] = document.characterAt(at);
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
        const int next = int(finder.toNextBoundary());
        if ((next > 0 && next < text.size()) || to == end)
            return position + (next > 0 ? next : int(text.size()));
    }
}

int nextWord(const QTextDocument& document, int position) {
    const int last = lastPosition(document);
    const int limit = qMin(last, position + wordReach);
    const bool word = inWord(document.characterAt(position));
    int at = position;
    while (at < limit && !document.characterAt(at).isSpace() &&
           inWord(document.characterAt(at)) == word)
        ++at;
    while (at < limit && document.characterAt(at).isSpace())
        ++at;
    return at == position ? nextChar(document, position) : at;
}

int previousWord(const QTextDocument& document, int position) {
    const int limit = qMax(0, position - wordReach);
    int at = position;
    while (at > limit && document.characterAt(at - 1).isSpace())
        --at;
    if (at > limit) {
        const bool word = inWord(document.characterAt(at - 1));
        while (at > limit && !document.characterAt(at - 1).isSpace() &&
               inWord(document.characterAt(at - 1)) == word)
            --at;
    }
    return at == position ? previousChar(document, position) : at;
}

Range wordAt(const QTextDocument& document, int position) {
    int start = position;
    int end = position;
    while (start > 0 && position - start < wordReach && inWord(document.characterAt(start - 1)))
        --start;
    while (end < lastPosition(document) && end - position < wordReach &&
           inWord(document.characterAt(end)))
        ++end;
    if (start == end)
        end = nextChar(document, position);
    return {start, end};
}

} // namespace PaneBoundaries
