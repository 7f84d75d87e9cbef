#include "system/QtDesktop.h"

#include "os/MemoryEstimate.h"
#include "system/Colors.h"
#include "system/FontColorDialog.h"
#include "system/FontFamilies.h"
#include "system/MsgBox.h"
#include "system/RecoveryDialog.h"
#include "system/RegistryFile.h"
#include "text/NativePath.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>
#include <QStandardPaths>
#include <cstdlib>
#include <unistd.h>

namespace {
QWidget* dialogParent() {
    // A window stays the active one until the window system says another is, also after it has
    // closed: a dialog on a hidden window may not be shown at all, and goes when that window is
    // deleted.
    QWidget* active = QApplication::activeWindow();
    return active && active->isVisible() ? active : nullptr;
}

// The window manager draws a box's title in its own title font, usually bold, between the box's
// icon and its buttons; Qt's own allowance (the text in the application's font and 50 pixels)
// leaves a short title cut.
int titleBarWidth(const QString& title) {
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const QFontMetrics metrics(font);
    const int decoration = metrics.height() + 8;
    // The window's icon and its three buttons, and a margin at either end.
    return metrics.horizontalAdvance(title) + 4 * decoration + 2 * metrics.height();
}

void keepTitleWhole(QMessageBox& box, const QString& title) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    int width = titleBarWidth(title);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        width = qMin(width, screen->availableGeometry().width());
    // A row of its own: the box lays its text and buttons out at least this wide.
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

struct ButtonSet {
    QList<QPair<QMessageBox::StandardButton, MsgBoxResult>> buttons;
};

ButtonSet buttonsFor(MsgBoxStyle::Flags style) {
    using B = QMessageBox;
    switch (style.toInt() & MsgBoxStyle::buttonsMask) {
    case MsgBoxStyle::OkCancel:
        return {{{B::Ok, MsgBoxResult::Ok}, {B::Cancel, MsgBoxResult::Cancel}}};
    case MsgBoxStyle::AbortRetryIgnore:
        return {{{B::Abort, MsgBoxResult::Abort},
                 {B::Retry, MsgBoxResult::Retry},
                 {B::Ignore, MsgBoxResult::Ignore}}};
    case MsgBoxStyle::YesNoCancel:
        return {{{B::Yes, MsgBoxResult::Yes},
                 {B::No, MsgBoxResult::No},
                 {B::Cancel, MsgBoxResult::Cancel}}};
    case MsgBoxStyle::YesNo:
        return {{{B::Yes, MsgBoxResult::Yes}, {B::No, MsgBoxResult::No}}};
    case MsgBoxStyle::RetryCancel:
        return {{{B::Retry, MsgBoxResult::Retry}, {B::Cancel, MsgBoxResult::Cancel}}};
    default:
        return {{{B::Ok, MsgBoxResult::Ok}}};
    }
}

QMessageBox::Icon iconFor(MsgBoxStyle::Flags style) {
    switch (style.toInt() & MsgBoxStyle::iconMask) {
    case MsgBoxStyle::Critical:
        return QMessageBox::Critical;
    case MsgBoxStyle::Question:
        return QMessageBox::Question;
    case MsgBoxStyle::Exclamation:
        return QMessageBox::Warning;
    case MsgBoxStyle::Information:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}
} // namespace

QString qtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
    }
    return filters.join(QStringLiteral(";;"));
}

MsgBoxResult QtDesktop::messageBox(const QString& prompt, MsgBoxStyle::Flags style,
                                   const QString& title) {
    QMessageBox box(iconFor(style), title, prompt, QMessageBox::NoButton, dialogParent());
    // A file's name or a document's words in the prompt must never load anything as markup.
    box.setTextFormat(Qt::PlainText);
    keepTitleWhole(box, title);
    const ButtonSet set = buttonsFor(style);
    for (const auto& [button, code] : set.buttons)
        box.addButton(button);
    const int defaultIndex = (style.toInt() >> MsgBoxStyle::defaultButtonShift) & 3;
    if (defaultIndex < set.buttons.size())
        box.setDefaultButton(set.buttons[defaultIndex].first);
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const auto& [button, code] : set.buttons) {
        if (button == clicked)
            return code;
    }
    // Closed by Esc or the title bar: the box's cancel answer, or its only answer.
    for (const auto& [button, code] : set.buttons) {
        if (code == MsgBoxResult::Cancel || code == MsgBoxResult::No)
            return code;
    }
    return set.buttons.first().second;
}

std::optional<QString> QtDesktop::openFileName(const FileDialogRequest& request) {
    const QString name = QFileDialog::getOpenFileName(
        dialogParent(), request.title, request.fileName, qtNameFilters(request.filter));
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

std::optional<QString> QtDesktop::saveFileName(const FileDialogRequest& request) {
    // The program asks its own question before replacing a file.
    const QString name = QFileDialog::getSaveFileName(
        dialogParent(), request.title, request.fileName, qtNameFilters(request.filter), nullptr,
        QFileDialog::DontConfirmOverwrite);
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

std::optional<FontChoice> QtDesktop::chooseFont(const FontChoice& initial,
                                                DialogFlags::Flags flags) {
    FontColorDialog dialog(initial, flags, dialogParent());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}

std::optional<quint32> QtDesktop::chooseColor(quint32 initial, DialogFlags::Flags /*flags*/) {
    const QColor chosen = QColorDialog::getColor(Colors::toQColor(initial), dialogParent());
    if (!chosen.isValid())
        return std::nullopt;
    return Colors::fromQColor(chosen);
}

bool QtDesktop::setUpPrinter(QPrinter& printer, DialogFlags::Flags flags) {
    QPrintDialog dialog(&printer, dialogParent());
    const bool selection = flags.testFlag(DialogFlags::PrintSelection);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, selection);
    if (selection)
        printer.setPrintRange(QPrinter::Selection);
    return dialog.exec() == QDialog::Accepted;
}

QStringList QtDesktop::screenFonts() {
    return FontFamilies::withMetricAliases(
        FontFamilies::plainNames(QFontDatabase::families()),
        [](const QString& name) { return QFontInfo(QFont(name)).family(); });
}

ScreenMetrics QtDesktop::screen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const QSize size = screen->size();
    const auto perPixel = [](qreal dpi) { return dpi > 0 ? qRound(1440.0 / dpi) : 15; };
    return {size.width(), size.height(), perPixel(screen->logicalDotsPerInchX()),
            perPixel(screen->logicalDotsPerInchY()), screen->virtualGeometry()};
}

bool QtDesktop::startProgram(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

bool QtDesktop::openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

QString QtDesktop::programDirectory() {
    return QCoreApplication::applicationDirPath();
}

bool QtDesktop::programDirectoryWritable() {
    // access() rather than the permission bits: it also knows read-only mounts and ACLs.
    return ::access(QFile::encodeName(programDirectory()).constData(), W_OK) == 0;
}

bool QtDesktop::programInstalled() {
    // Every installation puts the desktop entry in place; the data folder is there when the
    // suite's own files are.
    const QString entry =
        QDir::cleanPath(programDirectory() + u'/' + QStringLiteral(QUILLET_ENTRY_FROM_PROGRAM));
    return QFileInfo(entry).isFile() || QFileInfo(installedDataDirectory()).isDir();
}

QString QtDesktop::userConfigDirectory() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString QtDesktop::userStateDirectory() {
    // Qt 6.4 has no location for state: $XDG_STATE_HOME when it is an absolute path, else
    // ~/.local/state, as the freedesktop rule for state files has it.
    const QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!state.isEmpty() && QDir::isAbsolutePath(state))
        return state;
    return QDir::homePath() + QStringLiteral("/.local/state");
}

RecoveryChoice QtDesktop::offerRecovery(const QList<KeptWork>& copies) {
    RecoveryDialog dialog(copies, QApplication::activeWindow());
    return dialog.ask();
}

QString QtDesktop::installedDataDirectory() {
    // The build gives the data folder relative to the folder of programs, so an installation
    // under any prefix, or unpacked elsewhere, finds its own.
    return QDir::cleanPath(programDirectory() + u'/' + QStringLiteral(QUILLET_DATA_FROM_PROGRAM));
}

namespace {
std::optional<QStringList>& keptArguments() {
    static std::optional<QStringList> words;
    return words;
}
} // namespace

void QtDesktop::keepArguments(int argc, const char* const* argv) {
    QStringList words;
    for (int i = 1; i < argc; ++i)
        words << NativePath::decode(argv[i]);
    keptArguments() = words;
}

QString QtDesktop::commandLine() {
    // A shell has already split the line; joining the words gives back what was typed after the
    // program's name (a path with blanks arrives as one word, quotes already removed).
    QStringList words;
    if (keptArguments()) {
        words = *keptArguments();
    } else {
        words = QCoreApplication::arguments();
        if (!words.isEmpty())
            words.removeFirst();
    }
    return words.join(QLatin1Char(' '));
}

void QtDesktop::endProgramAtOnce() {
    std::_Exit(0);
}

X11Windows* QtDesktop::windows() {
    // Only the xcb platform has an X server behind it; offscreen and Wayland show no windows of
    // other programs.
    if (!windowsOpened_ && QGuiApplication::platformName() == QLatin1String("xcb"))
        windows_ = X11Windows::open();
    windowsOpened_ = true;
    return windows_.get();
}

Desktop::WindowHandle QtDesktop::desktopWindow() {
    X11Windows* x = windows();
    return x ? x->root() : 0;
}

QList<Desktop::WindowHandle> QtDesktop::childWindows(WindowHandle parent) {
    X11Windows* x = windows();
    return x ? x->children(parent) : QList<WindowHandle>{};
}

std::optional<QString> QtDesktop::windowTitle(WindowHandle window) {
    X11Windows* x = windows();
    return x ? x->title(window) : std::nullopt;
}

bool QtDesktop::activateWindowTitled(const QString& title) {
    X11Windows* x = windows();
    return x && x->activateTopLevel(title);
}

std::optional<RegistryValue> QtDesktop::registryValue(quint32 root, const QString& key,
                                                      const QString& name) {
    return RegistryFile::value(RegistryFile::defaultPath(), root, key, name);
}

std::optional<qint64> QtDesktop::memoryLeft() {
    return MemoryEstimate::left();
}
