#pragma once

// The keyboard's lock states as the desktop reports them; all off where there is no X11 display.
struct KeyLockState {
    bool capsLock = false;
    bool numLock = false;
    bool scrollLock = false;
};

namespace KeyLocks {
KeyLockState read();
// Insert and overtype: the desktop keeps no such state, so the panes share one toggle.
bool insertMode();
void toggleInsertMode();
} // namespace KeyLocks
