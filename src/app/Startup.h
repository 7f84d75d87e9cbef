#pragma once

#include "document/OpenDocuments.h"

#include <QString>
#include <cstdint>

class DocumentWindow;

// Program-wide state and the start-up routine. Flags are 16-bit: -1 true, 0 false.
namespace Startup {
extern QString CommandFile;

void Main();
} // namespace Startup
