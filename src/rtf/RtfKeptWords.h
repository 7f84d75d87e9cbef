#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace rtf {

// Paragraph and character words the document has no format for, kept with the paragraph or the
// text they apply to and written back: what other programs do with them (keep a paragraph with
// the next, a language for the spelling) survives a save here. Words that only record editing
// sessions (\insrsid) or point into tables the save rewrites are not kept.
enum class KeptWordKind { None, Paragraph, Character };

KeptWordKind keptWordKind(QByteArrayView name);

// Adds the word to `words`, in place of an earlier word of the same name. Bounded: a run of
// hostile words cannot grow a format without end.
void keepWord(QByteArray& words, QByteArrayView name, bool hasParam, int param);

} // namespace rtf
