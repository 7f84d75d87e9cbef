#pragma once

#include <Qt>

// The key numbers and modifier masks the pane's KeyDown reports, and the editing keys the pane
// handles itself because the Linux desktop does not give them to text fields.
namespace PaneKeys {
// 0 for keys the program never looks at.
int keyCode(Qt::Key key);
// 1 Shift, 2 Ctrl, 4 Alt.
int shiftMask(Qt::KeyboardModifiers modifiers);

enum class EditAction { None, Undo, Cut, Copy, Paste };
EditAction editAction(Qt::Key key, Qt::KeyboardModifiers modifiers);
} // namespace PaneKeys
