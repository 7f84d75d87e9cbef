#pragma once

#include <QString>
#include <optional>

class Wordbox;

namespace OpenCommand {
// File, Open: a new document window asks for a file and reads it, in the font size given (none
// keeps the pane's own). The window comes back loaded but not yet shown; null when the user
// cancelled or the file could not be read, which has then been told.
Wordbox* open(const std::optional<QString>& sizeText);
} // namespace OpenCommand
