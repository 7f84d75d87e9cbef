#pragma once

#include "system/DialogCodes.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <cmath>
#include <optional>

class QPrinter;

// The font dialog's inputs and its result.
struct FontChoice {
    QString name;
    double size = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethru = false;
    quint32 color = 0; // red in the low byte
};

// A value as the registry keeps it: its type (1 text, 4 a 32-bit number) and its bytes.
struct RegistryValue {
    quint32 type = 0;
    QByteArray data;
};

struct FileDialogRequest {
    QString title;
    QString filter; // "description|pattern|description|pattern"
    QString fileName;
    DialogFlags::Flags flags;
};

// A copy of unsaved work a run that is gone left behind, as the start-up offers it back.
struct KeptWork {
    QString caption;
    QString path; // empty for a document that never had a file
    QDateTime keptAt;
    // False for a path not named in full (relative, or with ".." in it): shown as it is, but the
    // recovered window is a new document that asks where to save.
    bool pathTrusted = true;
};

// Recover opens at most this many copies as windows in one start; the others stay for the next.
inline constexpr int recoveredAtOnce = 20;

// What the user makes of the copies offered: open them, move them out of the way, or decide at
// the next start (the dialog closed without a choice).
enum class RecoveryChoice { Recover, Discard, Later };

// The screen's size and its twips per pixel. Every twips-to-pixels conversion of the program
// goes through here, with one rounding: to the nearest pixel, halves away from zero.
struct ScreenMetrics {
    int widthPixels = 0;
    int heightPixels = 0;
    int twipsPerPixelX = 15;
    int twipsPerPixelY = 15;
    // All screens together, in pixels; empty when there is only the one above.
    QRect allScreensPixels;

    QRect allScreens() const {
        return allScreensPixels.isEmpty() ? QRect(0, 0, widthPixels, heightPixels)
                                          : allScreensPixels;
    }
    int widthTwips() const { return widthPixels * twipsPerPixelX; }
    int heightTwips() const { return heightPixels * twipsPerPixelY; }
    int xPixels(double twips) const { return nearest(twips / twipsPerPixelX); }
    int yPixels(double twips) const { return nearest(twips / twipsPerPixelY); }
    int xTwips(int pixels) const { return pixels * twipsPerPixelX; }
    int yTwips(int pixels) const { return pixels * twipsPerPixelY; }
    // A rectangle given in twips, in whole pixels of this screen.
    QRect toPixels(int left, int top, int width, int height) const {
        return QRect(xPixels(left), yPixels(top), xPixels(width), yPixels(height));
    }

private:
    static int nearest(double pixels) { return int(std::lround(pixels)); }
};

// Everything modal or outside the process goes through here, so the program can be driven by
// tests with scripted answers and never blocks on a real dialog.
class Desktop {
public:
    virtual ~Desktop() = default;

    // Returns the pressed button as the message box codes: 1 OK, 2 Cancel, 6 Yes, 7 No, ...
    virtual MsgBoxResult messageBox(const QString& prompt, MsgBoxStyle::Flags style,
                                    const QString& title) = 0;
    // nullopt when the user cancels.
    virtual std::optional<QString> openFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> saveFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<FontChoice> chooseFont(const FontChoice& initial,
                                                 DialogFlags::Flags flags) = 0;
    virtual std::optional<quint32> chooseColor(quint32 initial, DialogFlags::Flags flags) = 0;
    // Lets the user set up `printer`; false when cancelled. DialogFlags::PrintSelection offers
    // the selection.
    virtual bool setUpPrinter(QPrinter& printer, DialogFlags::Flags flags) = 0;

    virtual QStringList screenFonts() = 0;
    virtual ScreenMetrics screen() = 0;
    // Starts a program without waiting; false when it could not be started.
    virtual bool startProgram(const QString& program, const QStringList& arguments) = 0;
    // Opens `url` in the desktop's browser (or whatever handles its scheme); false when none
    // could.
    virtual bool openUrl(const QUrl& url) = 0;

    // The folder the program runs from.
    virtual QString programDirectory() = 0;
    // Whether the program may write beside itself: false for an installed program run by a user
    // other than root, as its folder belongs to the system.
    virtual bool programDirectoryWritable() = 0;
    // Whether the program runs from an installation (its desktop entry or its data folder where
    // an installation puts them beside the folder of programs) rather than from the folder it was
    // built in. An installed program is the system's whoever runs it, root included.
    virtual bool programInstalled() = 0;
    // The user's folder for programs' settings ($XDG_CONFIG_HOME, by default ~/.config).
    virtual QString userConfigDirectory() = 0;
    // The user's folder for what programs keep between runs ($XDG_STATE_HOME, by default
    // ~/.local/state).
    virtual QString userStateDirectory() = 0;
    // Where an installation puts the program's own data files (PREFIX/share/quillet), found from
    // the program's folder so that an installation can be moved; it need not exist.
    virtual QString installedDataDirectory() = 0;
    // Shows the copies of unsaved work left behind and asks what to do with them.
    virtual RecoveryChoice offerRecovery(const QList<KeptWork>& copies) = 0;
    // What was typed after the program's name, as one line.
    virtual QString commandLine() = 0;
    // Ends the process now: no window is asked, nothing is written.
    virtual void endProgramAtOnce() = 0;

    // The windows on the desktop, of every program: the desktop window, a window's children
    // from the front to the back, a window's title (nullopt once it is gone), and activation of
    // the top-level window titled exactly `title` (false when no top-level window is). Without a
    // window system to ask there are no windows.
    using WindowHandle = quint64;
    virtual WindowHandle desktopWindow() = 0;
    virtual QList<WindowHandle> childWindows(WindowHandle parent) = 0;
    virtual std::optional<QString> windowTitle(WindowHandle window) = 0;
    virtual bool activateWindowTitled(const QString& title) = 0;

    // The value `name` of registry key `key` under the root key `root` (0x80000002 for the
    // machine's settings); nullopt when the key or the value does not exist.
    virtual std::optional<RegistryValue> registryValue(quint32 root, const QString& key,
                                                       const QString& name) = 0;

    // The bytes the process may still allocate, as its limits and the system's free memory
    // leave them; nullopt when nothing says.
    virtual std::optional<qint64> memoryLeft() = 0;
};

namespace DesktopSeam {
// The desktop in use. Defaults to the real one; tests install a scripted one.
Desktop& current();
// Installs `desktop` (not owned) and returns the previous one; nullptr restores the real one.
Desktop* install(Desktop* desktop);
} // namespace DesktopSeam
