#include "system/KeyLocks.h"

#include <QGuiApplication>

#ifdef QUILLET_HAVE_X11
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#endif

namespace {
bool insertOn = true;

#ifdef QUILLET_HAVE_X11
Display* display() {
    // Only the xcb platform has an X server behind it; offscreen and others have none.
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    static Display* opened = XOpenDisplay(nullptr);
    return opened;
}
#endif
} // namespace

namespace KeyLocks {
KeyLockState read() {
    KeyLockState state;
#ifdef QUILLET_HAVE_X11
    if (Display* d = display()) {
        unsigned int indicators = 0;
        if (XkbGetIndicatorState(d, XkbUseCoreKbd, &indicators) == Success) {
            // The usual indicator order of X keyboards: Caps, Num, Scroll.
            state.capsLock = indicators & 1u;
            state.numLock = indicators & 2u;
            state.scrollLock = indicators & 4u;
        }
    }
#endif
    return state;
}

bool insertMode() {
    return insertOn;
}
void toggleInsertMode() {
    insertOn = !insertOn;
}
} // namespace KeyLocks
