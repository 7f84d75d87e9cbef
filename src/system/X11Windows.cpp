#include "system/X11Windows.h"

#include <optional>

#ifdef QUILLET_HAVE_X11
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {
// X reports a window destroyed between two requests as an error, which by default ends the
// process. While we walk other programs' windows such errors only mean "gone".
int ignoreError(Display*, XErrorEvent*) {
    return 0;
}

class TolerateErrors {
public:
    explicit TolerateErrors(Display* display)
        : display_(display), previous_(XSetErrorHandler(ignoreError)) {}
    ~TolerateErrors() {
        XSync(display_, False);
        XSetErrorHandler(previous_);
    }

private:
    Display* display_;
    int (*previous_)(Display*, XErrorEvent*);
};

// A property of `window` as raw items, empty when it is missing or the window is gone.
QByteArray property(Display* display, Window window, Atom name, Atom type, int* format = nullptr) {
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long items = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    // 64 longs hold a title's 255 characters with room to spare.
    const int status = XGetWindowProperty(display, window, name, 0, 1024, False, type, &actualType,
                                          &actualFormat, &items, &remaining, &data);
    QByteArray result;
    if (status == Success && data && actualType != None) {
        const int itemSize = actualFormat == 32 ? int(sizeof(long)) : actualFormat / 8;
        result = QByteArray(reinterpret_cast<const char*>(data), qsizetype(items) * itemSize);
        if (format)
            *format = actualFormat;
    }
    if (data)
        XFree(data);
    return result;
}

QList<Window> windowList(Display* display, Window window, Atom name) {
    const QByteArray raw = property(display, window, name, XA_WINDOW);
    QList<Window> windows;
    for (qsizetype at = 0; at + qsizetype(sizeof(long)) <= raw.size(); at += sizeof(long)) {
        long value = 0;
        memcpy(&value, raw.constData() + at, sizeof(long));
        windows.append(Window(value));
    }
    return windows;
}
} // namespace

struct X11Windows::Connection {
    Display* display = nullptr;
    Atom netWmName = None;
    Atom utf8String = None;
    Atom netActiveWindow = None;
    Atom netClientList = None;
    Atom netSupportingWmCheck = None;
    ~Connection() {
        if (display)
            XCloseDisplay(display);
    }
};

std::unique_ptr<X11Windows> X11Windows::open(const QByteArray& displayName) {
    auto connection = std::make_unique<Connection>();
    connection->display = XOpenDisplay(displayName.isEmpty() ? nullptr : displayName.constData());
    if (!connection->display)
        return nullptr;
    Display* d = connection->display;
    connection->netWmName = XInternAtom(d, "_NET_WM_NAME", False);
    connection->utf8String = XInternAtom(d, "UTF8_STRING", False);
    connection->netActiveWindow = XInternAtom(d, "_NET_ACTIVE_WINDOW", False);
    connection->netClientList = XInternAtom(d, "_NET_CLIENT_LIST", False);
    connection->netSupportingWmCheck = XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False);
    return std::unique_ptr<X11Windows>(new X11Windows(std::move(connection)));
}

X11Windows::X11Windows(std::unique_ptr<Connection> connection)
    : connection_(std::move(connection)) {}
X11Windows::~X11Windows() = default;

X11Windows::Handle X11Windows::root() const {
    return DefaultRootWindow(connection_->display);
}

QList<X11Windows::Handle> X11Windows::children(Handle parent) const {
    Display* d = connection_->display;
    TolerateErrors tolerate(d);
    Window rootReturn = 0;
    Window parentReturn = 0;
    Window* list = nullptr;
    unsigned int count = 0;
    QList<Handle> result;
    if (XQueryTree(d, Window(parent), &rootReturn, &parentReturn, &list, &count) && list) {
        // X lists children from the bottom of the stack up.
        for (unsigned int i = count; i > 0; --i)
            result.append(list[i - 1]);
    }
    if (list)
        XFree(list);
    return result;
}

std::optional<QString> X11Windows::title(Handle window) const {
    Display* d = connection_->display;
    TolerateErrors tolerate(d);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(d, Window(window), &attributes))
        return std::nullopt;
    const QByteArray utf8 =
        property(d, Window(window), connection_->netWmName, connection_->utf8String);
    if (!utf8.isEmpty())
        return QString::fromUtf8(utf8);
    XTextProperty text;
    if (!XGetWMName(d, Window(window), &text) || !text.value)
        return QString();
    QString name;
    char** list = nullptr;
    int count = 0;
    if (Xutf8TextPropertyToTextList(d, &text, &list, &count) >= Success && count > 0 && list)
        name = QString::fromUtf8(list[0]);
    else
        name = QString::fromLatin1(reinterpret_cast<const char*>(text.value), int(text.nitems));
    if (list)
        XFreeStringList(list);
    XFree(text.value);
    return name;
}

bool X11Windows::activateTopLevel(const QString& title) const {
    Display* d = connection_->display;
    const Window rootWindow = DefaultRootWindow(d);
    // The window manager's list of the windows it manages is the list of top-level windows; its
    // frames stand between them and the root. Without a manager they are the root's children.
    QList<Window> topLevel = windowList(d, rootWindow, connection_->netClientList);
    if (topLevel.isEmpty()) {
        for (Handle child : children(rootWindow))
            topLevel.append(Window(child));
    }
    for (Window window : topLevel) {
        if (this->title(window) != title)
            continue;
        TolerateErrors tolerate(d);
        const bool managed =
            !windowList(d, rootWindow, connection_->netSupportingWmCheck).isEmpty();
        if (managed) {
            XEvent event{};
            event.xclient.type = ClientMessage;
            event.xclient.window = window;
            event.xclient.message_type = connection_->netActiveWindow;
            event.xclient.format = 32;
            event.xclient.data.l[0] = 2; // asked for by the user, through a tool
            event.xclient.data.l[1] = CurrentTime;
            XSendEvent(d, rootWindow, False, SubstructureRedirectMask | SubstructureNotifyMask,
                       &event);
        } else {
            XRaiseWindow(d, window);
            XSetInputFocus(d, window, RevertToParent, CurrentTime);
        }
        XFlush(d);
        return true;
    }
    return false;
}

X11Windows::Handle X11Windows::activeWindow() const {
    Display* d = connection_->display;
    TolerateErrors tolerate(d);
    const QList<Window> active = windowList(d, DefaultRootWindow(d), connection_->netActiveWindow);
    return active.isEmpty() ? 0 : active.first();
}

#else

struct X11Windows::Connection {};

std::unique_ptr<X11Windows> X11Windows::open(const QByteArray&) {
    return nullptr;
}
X11Windows::X11Windows(std::unique_ptr<Connection> connection)
    : connection_(std::move(connection)) {}
X11Windows::~X11Windows() = default;
X11Windows::Handle X11Windows::root() const {
    return 0;
}
QList<X11Windows::Handle> X11Windows::children(Handle) const {
    return {};
}
std::optional<QString> X11Windows::title(Handle) const {
    return std::nullopt;
}
bool X11Windows::activateTopLevel(const QString&) const {
    return false;
}
X11Windows::Handle X11Windows::activeWindow() const {
    return 0;
}

#endif
