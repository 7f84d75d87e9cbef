#pragma once

#include "rtf/RtfGroupState.h"
#include "rtf/RtfReadingContext.h"

namespace rtf {

// Hidden text (\v): the document does not show it, but keeps it as a group of its own, the file's
// bytes from its first hidden character to its last, to be written back where it was. A stretch
// ends where anything the document holds follows (text, a picture, a mark) or the group it
// started in closes.
class HiddenTextReader {
public:
    explicit HiddenTextReader(ReadingContext& reader) : m_reader(reader) {}

    bool reading() const { return m_depth != 0; }
    // Hidden content in the file from `from` to `to`.
    void note(qsizetype from, qsizetype to);
    // A group closed with `depth` groups open inside it.
    void groupEnd(size_t depth) {
        if (depth == m_depth)
            close();
    }
    // What is read next is not hidden, or is a mark: the stretch so far goes to the document.
    void close();

private:
    ReadingContext& m_reader;
    size_t m_depth = 0; // the stack size where the stretch started; 0 when none is open
    size_t m_endDepth = 0;
    qsizetype m_start = 0;
    qsizetype m_end = 0;
    CharState m_chars;     // the format the stretch started in
    int m_unicodeSkip = 1; // and the \uc it was read with
};

// The words that give text `chars`' format after \plain, for a group that stands on its own;
// `defaultFont` stands for the font it does not name.
QByteArray charWordsOf(const CharState& chars, int defaultFont);

} // namespace rtf
