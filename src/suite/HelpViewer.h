#pragma once

// Starts the suite's help viewer on this program's help file, both looked for when they are not
// where the program expects them. A failure to start is reported.
namespace Common {
void StartHelp();
} // namespace Common
