#pragma once

#include <QString>
#include <optional>

class DocumentWindow;

namespace OpenCommand {
// File, Open: a new document window asks for a file and reads it, in the font size given (none
// keeps the pane's own). The window comes back loaded but not yet shown; null when the user
// cancelled or the file could not be read, which has then been told.
DocumentWindow* open(const std::optional<QString>& sizeText);
} // namespace OpenCommand
