#pragma once

// A paragraph's justification as the pane reads and sets it. The values are the pane's own
// codes, in the order the program has always numbered them: right comes before centre.
// Justified paragraphs come only from files; no button or option sets them.
enum class Alignment { Left = 0, Right = 1, Centre = 2, Justified = 3 };
