#pragma once

#include "model/Alignment.h"

struct FormatBar;
class DocumentWindow;

// The formatting routines the toolbar, the menus and the dialogs share. Each acts on the pane of
// the document window it is given, active or not, and always sets the frame's buttons.
namespace Formatting {

// Presses the alignment's button and aligns the selection; an alignment no button shows
// (justified) does nothing.
void AlignText(FormatBar& bar, DocumentWindow* document, Alignment alignment);
// A selection that is partly set becomes wholly set; forceOn sets it whatever it was.
void ToggleBold(FormatBar& bar, DocumentWindow* document, bool forceOn = false);
void ToggleItalic(FormatBar& bar, DocumentWindow* document, bool forceOn = false);
void ToggleUnderline(FormatBar& bar, DocumentWindow* document, bool forceOn = false);
// Turning bullets off also takes the hanging indent away.
void ToggleBullet(DocumentWindow* document);

// Shows the selection's formatting on the bar. Changes only what the controls show: no box's
// own handler runs.
void SyncToolbar(FormatBar& bar, DocumentWindow* document);

} // namespace Formatting
