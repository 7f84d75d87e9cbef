#pragma once

#include "pictures/RtfPicture.h"
#include "rtf/RtfControlWords.h"
#include "rtf/RtfGroupState.h"
#include "rtf/RtfHeaderTables.h"

#include <QTextBlockFormat>

namespace rtf {

// The longest indent, paragraph spacing or tab position read or written: the most a 16-bit length
// holds, which the paragraph dialog can set (22.75 inches is 32760). Files say more only to break a
// reader.
constexpr int maxIndentTwips = 32767;

// What the formatting words do to the group state. Values from the file are clamped to what a
// document can show, so absurd sizes and indents cannot reach the layout. Each returns false
// for words that are not its kind.
bool applyCharacterWord(CharState& chars, Word id, int value);
bool applyParagraphWord(ParaState& para, Word id, int value, const ListTables& lists);
void applyPictureWord(Picture& picture, Word id, int value);

QTextBlockFormat blockFormatOf(const ParaState& para);

// Characters a document cannot hold as text become U+FFFD: lone surrogates, and the ones the
// document uses for its own structure (block, frame and object marks). Control characters other
// than tab carry nothing visible and are dropped.
// Only the text from `from` on is looked at.
void sanitizeText(QString& text, qsizetype from = 0);

} // namespace rtf
