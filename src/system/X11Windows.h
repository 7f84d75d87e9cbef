#pragma once

#include <QList>
#include <QString>
#include <memory>
#include <optional>

// The windows of an X server: the tree under the root window, their titles, and activation of a
// top-level window through the window manager. Windows can vanish at any moment, so every call
// tolerates a window that no longer exists.
class X11Windows {
public:
    using Handle = quint64;

    // Connects to `displayName` (the DISPLAY variable when empty); nullptr when there is no
    // server to connect to, or when the program was built without X11.
    static std::unique_ptr<X11Windows> open(const QByteArray& displayName = {});
    ~X11Windows();
    X11Windows(const X11Windows&) = delete;
    X11Windows& operator=(const X11Windows&) = delete;

    Handle root() const;
    // From the front of the stacking order to the back.
    QList<Handle> children(Handle parent) const;
    // _NET_WM_NAME, else WM_NAME; nullopt when the window is gone.
    std::optional<QString> title(Handle window) const;
    // Asks the window manager to activate the top-level window titled exactly `title`; false when
    // no top-level window bears that title.
    bool activateTopLevel(const QString& title) const;
    // The window the window manager reports as active (0 when none or no manager).
    Handle activeWindow() const;

private:
    struct Connection;
    explicit X11Windows(std::unique_ptr<Connection> connection);
    std::unique_ptr<Connection> connection_;
};
