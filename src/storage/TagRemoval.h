#pragma once

#include <QString>

namespace TagRemoval {

// The text with every tag taken out: while the text holds a "<", the part from the first "<"
// to the first ">" after it goes, both included. A "<" with no ">" after it ends the removal:
// the text from that "<" on is kept as it is, since nothing closes it.
QString removeTags(const QString& text);

} // namespace TagRemoval
