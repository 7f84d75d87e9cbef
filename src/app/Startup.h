#pragma once

#include "document/OpenDocuments.h"

#include <QString>
#include <cstdint>

class DocumentWindow;

// Program-wide state and the start-up routine. Flags are 16-bit: -1 true, 0 false.
namespace Startup {
extern QString CommandFile;

void Main();

// Replaces every occurrence of find in text, ignoring letter case; the search resumes after each
// inserted replacement. An empty find changes nothing. The command line's quotes go this way.
void ReplaceText(QString& text, const QString& find, const QString& replacement);
} // namespace Startup
