#pragma once

#include "platform/rtf/RtfControlWords.h"
#include "platform/rtf/RtfGroupState.h"
#include "platform/rtf/RtfHeaderTables.h"
#include "platform/rtf/RtfPicture.h"

#include <QTextBlockFormat>

namespace rtf {

// The longest indent or paragraph spacing read, 22 inches: files say more only to break a reader.
constexpr int maxIndentTwips = 31680;

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
void sanitizeText(QString& text);

} // namespace rtf
