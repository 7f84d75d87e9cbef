#pragma once

class MDI;

namespace OpenCommand {
// File, Open: reads the chosen file into a new document window.
void run(MDI& frame);
} // namespace OpenCommand
