#include "app/MainFrame.h"
#include "os/ProfileFile.h"

#include "app/DocumentSubWindow.h"
#include "app/ToolbarIcons.h"
#include "document/DocumentWindow.h"
#include "document/OpenDocuments.h"
#include "files/OpenCommand.h"
#include "files/SaveCommand.h"
#include "files/UnsavedWork.h"
#include "files/WorkKeeper.h"
#include "format/BackgroundColorFile.h"
#include "format/Formatting.h"
#include "pane/RichTextBox.h"
#include "system/Desktop.h"
#include "system/LoadedOnFirstUse.h"
#include "system/ReportError.h"
#include "system/StatusPanels.h"
#include "text/Error.h"
#include "text/Runtime.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QVBoxLayout>
#include <optional>

namespace {
LoadedOnFirstUse<MainFrame> theFrame;

const QString settingsSection = QStringLiteral("SIZE");
} // namespace

MainFrame& MainFrame::instance() {
    return theFrame.get([] { return new MainFrame; },
                        [](MainFrame& frame) { frame.placeFromSettings(); });
}

bool MainFrame::isLoaded() {
    return theFrame.loaded() != nullptr;
}

void MainFrame::unload() {
    theFrame.unload();
}

QString MainFrame::settingsPath() const {
    Desktop& desktop = DesktopSeam::current();
    // A program run from the folder it was built in keeps its settings there. An installed one
    // keeps them with the user's, also when run by root, who may write in the system's folder of
    // programs; so does one that cannot write beside itself.
    if (desktop.programDirectoryWritable() && !desktop.programInstalled())
        return desktop.programDirectory() + QStringLiteral("/multi.ini");
    return desktop.userConfigDirectory() + QStringLiteral("/quillet/multi.ini");
}

MainFrame::MainFrame() {
    setObjectName(QStringLiteral("MDI"));
    setWindowTitle(QStringLiteral("Vormelin Quillet 98"));
    setWindowIcon(ToolbarIcons::frameIcon());
    Com2.DialogTitle = QStringLiteral("Insert Ole File ");
    // A cancelled pick must insert nothing, even with the last file's name still held.
    Com2.CancelError = true;

    auto* client = new QWidget(this);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    createToolbar();
    layout->addWidget(picPicture1);
    mdiArea = new QMdiArea(client);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    mdiArea->setBackground(QApplication::palette().brush(QPalette::Dark));
    mdiArea->viewport()->installEventFilter(this);
    layout->addWidget(mdiArea, 1);
    setCentralWidget(client);
    // The frame is never narrower than its toolbar, which then shows every control whole; a
    // stored width below that is widened, as the window system widens a window below its minimum.
    // A minimum width of our own keeps the layout from setting its own (the status panels would
    // make it wider); the height keeps the layout's minimum, so the frame never shrinks to nothing.
    fitToolbar();

    createFileMenu();
    createEditMenu();
    createFormMenu();
    createWindowMenu();
    createHelpMenu();
    createFormattingKeys();

    StatusBar1 = new StatusPanels(this);
    setStatusBar(StatusBar1);
    connect(windowMenu, &QMenu::aboutToShow, this, &MainFrame::refreshWindowList);
    connect(mdiArea, &QMdiArea::subWindowActivated, this, &MainFrame::refreshUndoItem);
    connect(&OpenDocuments::events(), &OpenDocuments::firstLoaded, this,
            [this] { setDocumentCommandsEnabled(true); });
    connect(&OpenDocuments::events(), &OpenDocuments::lastClosed, this,
            [this] { setDocumentCommandsEnabled(false); });
}

MainFrame::~MainFrame() {
    // The document windows go after the frame's own part: what they signal on the way out
    // must not reach it.
    mdiArea->disconnect(this);
    for (DocumentWindow* document : documents())
        document->disconnect(this);
}

namespace {
// Kept apart from QRect, whose right edge (left + width - 1) can overflow for stored numbers.
struct Place {
    int left, top, width, height;
};

// The frame's place from the settings file; none when the file gives no width. A size below zero
// or a number past 32 bits cannot be a window, so such a file counts as none too: the program
// then still starts where the user can see it.

std::optional<Place> storedPlace(const QString& path) {
    const auto value = [&](const char* key) {
        return Runtime::Val(
            ProfileFile::readSetting(path, settingsSection, QString::fromLatin1(key)));
    };
    if (value("qlet_Width") == 0)
        return std::nullopt;
    try {
        const Place place{Runtime::CLng(value("qlet_Left")), Runtime::CLng(value("qlet_Top")),
                          Runtime::CLng(value("qlet_Width")), Runtime::CLng(value("qlet_Height"))};
        if (place.width < 0 || place.height < 0)
            return std::nullopt;
        return place;
    } catch (const Error&) {
        return std::nullopt;
    }
}

// A stored frame larger than the screens would cost memory in proportion to its size and show
// nothing more: the width and height that fit are kept and the rest take the default. A frame is
// moved by its title bar, along its top edge, so a place that leaves no piece of that edge on a
// screen to take hold of (above the screens, below them, or beside them) becomes the default
// place; a frame partly off the screens with its title bar within reach stays where it was put.
QRect onScreen(const Place& stored, const QRect& fallback, const QRect& screens) {
    const int width = stored.width <= screens.width() ? stored.width : fallback.width();
    const int height = stored.height <= screens.height() ? stored.height : fallback.height();
    // A quarter of an inch of title bar, half of it in height, is enough to take hold of (a frame
    // a window manager placed a few pixels above the screen is still reached). In 64 bits: a
    // place near the end of the 32-bit range plus a width does not fit in int.
    constexpr qint64 hold = 360;
    const auto shown = [](qint64 start, qint64 length, qint64 areaStart, qint64 areaLength) {
        return qMin(start + length, areaStart + areaLength) - qMax(start, areaStart);
    };
    const bool reachable = shown(stored.top, hold, screens.y(), screens.height()) >= hold / 2 &&
                           shown(stored.left, width, screens.x(), screens.width()) >=
                               qMin<qint64>(hold, qMax(width, 1));
    const QPoint place = reachable ? QPoint(stored.left, stored.top) : fallback.topLeft();
    return {place, QSize(width, height)};
}
} // namespace

void MainFrame::placeFromSettings() {
    const ScreenMetrics screen = DesktopSeam::current().screen();
    const QRect fallback(screen.xTwips(40), screen.yTwips(40),
                         screen.widthTwips() - screen.xTwips(80),
                         screen.heightTwips() - screen.yTwips(80));
    const QRect screens = screen.allScreens();
    const QRect screensTwips(screen.xTwips(screens.x()), screen.yTwips(screens.y()),
                             screen.xTwips(screens.width()), screen.yTwips(screens.height()));
    const std::optional<Place> stored = storedPlace(settingsPath());
    setGeometryTwips(stored ? onScreen(*stored, fallback, screensTwips) : fallback);
}

// The place is the outer corner and the size the window's own, without the title bar and border
// a window manager adds: the border is only known after the window is shown, and storing the
// outer size while setting the inner one would grow the frame by its border on every run.
QRect MainFrame::geometryTwips() const {
    const ScreenMetrics screen = DesktopSeam::current().screen();
    return QRect(screen.xTwips(x()), screen.yTwips(y()), screen.xTwips(width()),
                 screen.yTwips(height()));
}

void MainFrame::setGeometryTwips(const QRect& twips) {
    const ScreenMetrics screen = DesktopSeam::current().screen();
    move(screen.xPixels(twips.x()), screen.yPixels(twips.y()));
    resize(qMax(0, screen.xPixels(twips.width())), qMax(0, screen.yPixels(twips.height())));
}

void MainFrame::NewChild() {
    auto* document = new DocumentWindow;
    showDocument(document);
    DocumentWindow* active = activeDocument();
    active->Com1.Filter = QStringLiteral("rtf Word file|*.rtf");
    active->layOutPane(DocumentWindow::Wrap::FullWidth);
}

void MainFrame::showDocument(DocumentWindow* document) {
    QMdiSubWindow* window =
        mdiArea->addSubWindow(new DocumentSubWindow(document, mdiArea->viewport()));
    connect(document, &DocumentWindow::saveRequested, this, [this, document] {
        activateDocument(document);
        SaveCommand::save(*document);
    });
    connect(document, &DocumentWindow::editMenuRequested, this, &MainFrame::popupEditMenu);
    connect(document, &DocumentWindow::selectionChanged, this,
            [this, document] { Formatting::SyncToolbar(*this, document); });
    connect(document, &DocumentWindow::changed, this, &MainFrame::refreshUndoItem);
    if (UnsavedWork* work = UnsavedWork::current())
        new WorkKeeper(*document, *work);
    window->show();
    // Activation normally arrives through events; the caller works on the new window at once.
    mdiArea->setActiveSubWindow(window);
    refreshWindowList();
    refreshUndoItem();
}

DocumentWindow* MainFrame::activeDocument() const {
    QMdiSubWindow* window = mdiArea->currentSubWindow();
    if (!window)
        window = mdiArea->activeSubWindow();
    return window ? qobject_cast<DocumentWindow*>(window->widget()) : nullptr;
}

QList<DocumentWindow*> MainFrame::documents() const {
    QList<DocumentWindow*> result;
    for (QMdiSubWindow* window : mdiArea->subWindowList()) {
        if (auto* document = qobject_cast<DocumentWindow*>(window->widget()))
            result.append(document);
    }
    return result;
}

void MainFrame::activateDocument(DocumentWindow* document) {
    for (QMdiSubWindow* window : mdiArea->subWindowList()) {
        if (window->widget() == document)
            mdiArea->setActiveSubWindow(window);
    }
}

void MainFrame::setDocumentCommandsEnabled(bool enabled) {
    for (QAction* action : {saveAction, saveAsAction, printAction, editMenu->menuAction(),
                            windowMenu->menuAction(), formMenu->menuAction()})
        action->setEnabled(enabled);
    picPicture1->setEnabled(enabled);
}

void MainFrame::newDocument() {
    // Nothing calls this but the user, so a failure (too many windows) is told here rather than
    // left to end the program.
    try {
        NewChild();
        activeDocument()->markChanged();
    } catch (const Error& error) {
        Common::ReportError(error);
    }
}

quint32 MainFrame::rtfcolor(const QString& name, ColorFileAccess access) {
    if (access == ColorFileAccess::Store) {
        if (DocumentWindow* active = activeDocument())
            BackgroundColorFile::storeOnSave(name, active->Text1->BackColor());
        return 0;
    }
    return quint32(Runtime::CLng(BackgroundColorFile::load(name)));
}

std::optional<QString> MainFrame::chosenSize() const {
    if (cboSizeCombo->currentIndex() < 0)
        return std::nullopt;
    return cboSizeCombo->currentText();
}

void MainFrame::openDocument() {
    DocumentWindow* opened = OpenCommand::open(chosenSize());
    if (!opened)
        return;
    showDocument(opened);
    try {
        opened->layOutPane(DocumentWindow::Wrap::FullWidth);
    } catch (const Error& error) {
        // The pane keeps the layout it has: an overflow abandons only that step.
        if (error.number != Error::Overflow)
            throw;
    }
    opened->markSaved();
}

void MainFrame::saveDocument() {
    if (DocumentWindow* active = activeDocument())
        SaveCommand::save(*active);
}

void MainFrame::saveDocumentAs() {
    if (DocumentWindow* active = activeDocument())
        SaveCommand::saveAs(*active);
}

void MainFrame::exitAndRestore() {
    // Nothing is asked or saved, yet nothing is lost either: changed documents keep their
    // copies, brought up to their last change, and the next start offers them as after a crash.
    if (UnsavedWork* work = UnsavedWork::current()) {
        for (DocumentWindow* document : documents()) {
            if (auto* keeper = document->findChild<WorkKeeper*>())
                keeper->keepAtOnce();
        }
        work->waitForWrites();
        if (!work->keepsAny())
            work->finish();
    }
    DesktopSeam::current().endProgramAtOnce();
}

void MainFrame::cascadeWindows() {
    QList<QMdiSubWindow*> shown;
    // Bottom first, so the active window ends on top, furthest down and right.
    for (QMdiSubWindow* window : mdiArea->subWindowList(QMdiArea::StackingOrder)) {
        if (!window->isMinimized())
            shown.append(window);
    }
    if (shown.isEmpty())
        return;
    const QRect area = mdiArea->viewport()->rect();
    // Each window shows the title bar of the one behind it, and keeps at least half the area:
    // more windows than that start again at the corner.
    const int step = qMax(1, style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, shown[0]));
    const int room = qMax(1, qMin(area.width(), area.height()) / 2 / step);
    const int steps = int(qMin<qsizetype>(shown.size(), room));
    const QSize size(area.width() - (steps - 1) * step, area.height() - (steps - 1) * step);
    for (int i = 0; i < shown.size(); ++i) {
        QMdiSubWindow* window = shown[i];
        if (window->isMaximized())
            window->showNormal();
        const int offset = (i % steps) * step;
        window->setGeometry(QRect(QPoint(offset, offset), size));
        window->raise();
    }
}

void MainFrame::tileWindows() {
    const QList<QMdiSubWindow*> windows = mdiArea->subWindowList();
    QList<QMdiSubWindow*> shown;
    for (QMdiSubWindow* window : windows) {
        if (!window->isMinimized())
            shown.append(window);
    }
    if (shown.isEmpty())
        return;
    const QRect area = mdiArea->viewport()->rect();
    const int columns = int(shown.size());
    for (int i = 0; i < columns; ++i) {
        QMdiSubWindow* window = shown[i];
        if (window->isMaximized())
            window->showNormal();
        const int left = area.width() * i / columns;
        const int right = area.width() * (i + 1) / columns;
        window->setGeometry(left, 0, right - left, area.height());
    }
}

void MainFrame::arrangeIcons() {
    const QRect area = mdiArea->viewport()->rect();
    int left = 0;
    for (QMdiSubWindow* window : mdiArea->subWindowList()) {
        if (!window->isMinimized())
            continue;
        const QSize size = window->size();
        window->move(left, area.height() - size.height());
        left += size.width();
    }
}

bool MainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mdiArea->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        // The same command as the File menu's Open.
        openDocument();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainFrame::closeEvent(QCloseEvent* event) {
    if (!closeDocumentsAndStorePlace()) {
        event->ignore();
        return;
    }
    event->accept();
    // Every document was saved or given up.
    if (UnsavedWork* work = UnsavedWork::current())
        work->finish();
    QCoreApplication::exit(0);
}

bool MainFrame::closeDocumentsAndStorePlace() {
    try {
        OpenDocuments::startClosing();
        while (OpenDocuments::OpenDocCount >= 1) {
            DocumentWindow* document = activeDocument();
            if (!document) {
                const QList<DocumentWindow*> open = documents();
                if (open.isEmpty())
                    break;
                document = open.first();
            }
            QMdiSubWindow* window = qobject_cast<QMdiSubWindow*>(document->parentWidget());
            const bool closed = window ? window->close() : document->close();
            if (OpenDocuments::CloseCancelled == Flags::True) {
                return false;
            }
            if (!closed)
                break;
        }
    } catch (const Error&) {
        // A failure while closing documents does not keep the program from ending.
    }
    const QRect frame = geometryTwips();
    const QString path = settingsPath();
    // The user's folder for the settings does not exist before the first run ends.
    QDir().mkpath(QFileInfo(path).path());
    // The place is only remembered for convenience: a read-only folder stores nothing and does
    // not stop the program from ending.
    ProfileFile::writeSetting(path, settingsSection, "qlet_Top", QString::number(frame.y()));
    ProfileFile::writeSetting(path, settingsSection, "qlet_Left", QString::number(frame.x()));
    ProfileFile::writeSetting(path, settingsSection, "qlet_Width", QString::number(frame.width()));
    ProfileFile::writeSetting(path, settingsSection, "qlet_Height",
                              QString::number(frame.height()));
    return true;
}

void MainFrame::popupEditMenu(const QPoint& globalPosition) {
    editMenu->popup(globalPosition);
}

void MainFrame::refreshWindowList() {
    for (QAction* action : windowListActions_) {
        windowMenu->removeAction(action);
        action->deleteLater();
    }
    windowListActions_.clear();
    const QList<QMdiSubWindow*> windows = mdiArea->subWindowList();
    if (windows.isEmpty())
        return;
    windowListActions_.append(windowMenu->addSeparator());
    QMdiSubWindow* current = mdiArea->currentSubWindow();
    int number = 1;
    for (QMdiSubWindow* window : windows) {
        QString title = window->widget() ? window->widget()->windowTitle() : QString();
        // A name's own ampersands are letters, not the entry's key.
        title.replace(u'&', QStringLiteral("&&"));
        QAction* action = windowMenu->addAction(QStringLiteral("&%1 %2").arg(number++).arg(title));
        action->setCheckable(true);
        action->setChecked(window == current);
        connect(action, &QAction::triggered, this,
                [this, window] { mdiArea->setActiveSubWindow(window); });
        windowListActions_.append(action);
    }
}
