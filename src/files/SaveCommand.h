#pragma once

class MDI;

namespace SaveCommand {
// File, Save: writes the active document to its file; a document that never had one is asked
// for a name first. Failures are reported and leave the changed marker set.
void save(MDI& frame);
// File, Save as: asks for a name, then saves there and names the window after it.
void saveAs(MDI& frame);
} // namespace SaveCommand
