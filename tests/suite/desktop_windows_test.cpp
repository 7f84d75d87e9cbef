// The companion launcher against real windows: an X server and a window manager of the test's
// own, windows made with Xlib, activation read back from the window manager.
#include "support/ProgramFixture.h"

#include "suite/CompanionLauncher.h"
#include "system/X11Windows.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#ifdef QUILLET_HAVE_X11
#include <X11/Xlib.h>

namespace {
// A desktop whose windows are those of the test's X server.
class X11Desktop : public ScriptedDesktop {
public:
    X11Windows* x = nullptr;
    WindowHandle desktopWindow() override { return x->root(); }
    QList<WindowHandle> childWindows(WindowHandle parent) override { return x->children(parent); }
    std::optional<QString> windowTitle(WindowHandle window) override { return x->title(window); }
    bool activateWindowTitled(const QString& title) override { return x->activateTopLevel(title); }
};

// Waits for something the server or the window manager does in its own time.
bool eventually(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > 10000)
            return false;
        QThread::msleep(20);
    }
    return true;
}

class DesktopWindows : public ProgramFixture {
protected:
    void SetUp() override {
        const QString xvfb = QStandardPaths::findExecutable("Xvfb");
        const QString openbox = QStandardPaths::findExecutable("openbox");
        if (xvfb.isEmpty() || openbox.isEmpty())
            GTEST_SKIP() << "needs Xvfb and openbox";
        display = ":" + QByteArray::number(300 + QCoreApplication::applicationPid() % 600);
        server.start(
            xvfb, {QString::fromLatin1(display), "-nolisten", "tcp", "-screen", "0", "800x600x24"});
        ASSERT_TRUE(eventually([&] { return (windows = X11Windows::open(display)) != nullptr; }));
        connection = XOpenDisplay(display.constData());
        ASSERT_NE(connection, nullptr);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", QString::fromLatin1(display));
        manager.setProcessEnvironment(environment);
        // Each test waits for the manager through the first window it activates.
        manager.start(openbox, {"--sm-disable"});
        desktop.x = windows.get();
        previous = DesktopSeam::install(&desktop);
    }
    void TearDown() override {
        if (previous)
            DesktopSeam::install(previous);
        if (connection)
            XCloseDisplay(connection);
        windows.reset();
        for (QProcess* process : {&manager, &server}) {
            process->kill();
            process->waitForFinished();
        }
    }

    Window topLevel(const QByteArray& title) {
        const Window window = XCreateSimpleWindow(connection, DefaultRootWindow(connection), 10, 10,
                                                  200, 100, 0, 0, 0xFFFFFF);
        name(window, title);
        XMapWindow(connection, window);
        XSync(connection, False);
        return window;
    }
    void name(Window window, const QByteArray& title) {
        XStoreName(connection, window, title.constData());
        XChangeProperty(connection, window, XInternAtom(connection, "_NET_WM_NAME", False),
                        XInternAtom(connection, "UTF8_STRING", False), 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(title.constData()),
                        int(title.size()));
    }
    // A request made before the manager has taken the window in is lost, so it is repeated.
    bool activeAfterAsking(Window window) {
        return eventually([&] {
            windows->activateTopLevel(windows->title(window).value_or(QString()));
            return windows->activeWindow() == window;
        });
    }

    QByteArray display;
    QProcess server;
    QProcess manager;
    std::unique_ptr<X11Windows> windows;
    Display* connection = nullptr;
    X11Desktop desktop;
    Desktop* previous = nullptr;
};
} // namespace

TEST_F(DesktopWindows, AWindowHoldingTheKeyInItsTitleIsBroughtToTheFront) {
    // The manager may focus a new window once it has taken it in, so the target comes first and
    // is settled before the other window takes the focus from it.
    const Window target = topLevel("notes - stavrel");
    ASSERT_TRUE(activeAfterAsking(target));
    const Window other = topLevel("Unrelated");
    ASSERT_TRUE(activeAfterAsking(other));

    Common::startCompanion(0);
    EXPECT_TRUE(eventually([&] { return windows->activeWindow() == target; }));
    EXPECT_TRUE(desktop.started.isEmpty());
}

#endif
