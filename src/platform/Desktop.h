#pragma once

#include <QRect>
#include <QString>
#include <QStringList>
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

struct FileDialogRequest {
    QString title;
    QString filter; // "description|pattern|description|pattern"
    QString fileName;
    int flags = 0;
};

struct ScreenMetrics {
    int widthPixels = 0;
    int heightPixels = 0;
    int twipsPerPixelX = 15;
    int twipsPerPixelY = 15;
    int widthTwips() const { return widthPixels * twipsPerPixelX; }
    // A rectangle given in twips, in whole pixels of this screen.
    QRect toPixels(int left, int top, int width, int height) const {
        return QRect(left / twipsPerPixelX, top / twipsPerPixelY, width / twipsPerPixelX,
                     height / twipsPerPixelY);
    }
    int heightTwips() const { return heightPixels * twipsPerPixelY; }
};

// Everything modal or outside the process goes through here, so the program can be driven by
// tests with scripted answers and never blocks on a real dialog.
class Desktop {
public:
    virtual ~Desktop() = default;

    // Returns the pressed button as the message box codes: 1 OK, 2 Cancel, 6 Yes, 7 No, ...
    virtual int messageBox(const QString& prompt, int style, const QString& title) = 0;
    // nullopt when the user cancels.
    virtual std::optional<QString> openFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> saveFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<FontChoice> chooseFont(const FontChoice& initial, int flags) = 0;
    virtual std::optional<quint32> chooseColor(quint32 initial, int flags) = 0;
    // Lets the user set up `printer`; false when cancelled. `flags` 1 offers the selection.
    virtual bool setUpPrinter(QPrinter& printer, int flags) = 0;

    virtual QStringList screenFonts() = 0;
    virtual ScreenMetrics screen() = 0;
    // Starts a program without waiting; false when it could not be started.
    virtual bool startProgram(const QString& program, const QStringList& arguments) = 0;
};

namespace DesktopSeam {
// The desktop in use. Defaults to the real one; tests install a scripted one.
Desktop& current();
// Installs `desktop` (not owned) and returns the previous one; nullptr restores the real one.
Desktop* install(Desktop* desktop);
} // namespace DesktopSeam
