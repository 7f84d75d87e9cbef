#pragma once

class DocumentWindow;

#include <QString>

namespace SaveCommand {
// The file Save writes the window's document to; empty when Save has to ask for a name.
QString fileOf(const DocumentWindow& window);
// File, Save: writes the document to its file; a document that never had one is asked for a
// name first. Failures are reported and leave the changed marker set.
void save(DocumentWindow& window);
// File, Save as: asks for a name, then saves there and names the window after it.
void saveAs(DocumentWindow& window);
} // namespace SaveCommand
