#include "app/MDI.h"

#include "app/Common.h"
#include "app/Module1.h"
#include "app/ToolbarIcons.h"
#include "document/Wordbox.h"
#include "files/OpenCommand.h"
#include "files/SaveCommand.h"
#include "files/TagRemoval.h"
#include "format/BackgroundColorFile.h"
#include "platform/Desktop.h"
#include "platform/Error.h"
#include "platform/RichTextBox.h"
#include "platform/Runtime.h"
#include "platform/StatusPanels.h"
#include "suite/ReportError.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>
#include <cstdlib>
#include <optional>

namespace {
MDI* theFrame = nullptr;
std::optional<QString> programDirectoryOverride;

const QString settingsSection = QStringLiteral("SIZE");
} // namespace

MDI& MDI::instance() {
    if (!theFrame) {
        theFrame = new MDI;
        theFrame->MDIForm_Load();
    }
    return *theFrame;
}

bool MDI::isLoaded() {
    return theFrame != nullptr;
}

void MDI::unload() {
    MDI* frame = theFrame;
    theFrame = nullptr;
    delete frame;
}

QString MDI::programDirectory() {
    return programDirectoryOverride ? *programDirectoryOverride
                                    : QCoreApplication::applicationDirPath();
}

void MDI::setProgramDirectoryForTests(const QString& directory) {
    programDirectoryOverride = directory;
}

QString MDI::settingsPath() const {
    return programDirectory() + QStringLiteral("/multi.ini");
}

MDI::MDI() {
    setObjectName(QStringLiteral("MDI"));
    setWindowTitle(QStringLiteral("Vormelin Quillet 98"));
    setWindowIcon(ToolbarIcons::frameIcon());

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
    // The stored width is the frame's width even when the toolbar and the status panels need
    // more: they clip, as they always did. A minimum width of our own (0 would not count as one)
    // keeps the layout from setting its own; the height keeps the layout's minimum, so the frame
    // never shrinks to nothing.
    setMinimumWidth(1);

    createFileMenu();
    createEditMenu();
    createFormMenu();
    createWindowMenu();
    createHelpMenu();

    StatusBar1 = new StatusPanels(this);
    setStatusBar(StatusBar1);
    connect(Win, &QMenu::aboutToShow, this, &MDI::refreshWindowList);
    connect(mdiArea, &QMdiArea::subWindowActivated, this, &MDI::refreshUndoItem);
}

namespace {
// The frame's place from the settings file; none when the file gives no width. A size below zero
// or a number past 32 bits cannot be a window, so such a file counts as none too: the program
// then still starts where the user can see it.
std::optional<QRect> storedPlace(const QString& path) {
    const auto value = [&](const char* key) {
        return Runtime::Val(Common::GetIniValue(settingsSection, QString::fromLatin1(key), path));
    };
    if (value("qlet_Width") == 0)
        return std::nullopt;
    try {
        const QRect place(Runtime::CLng(value("qlet_Left")), Runtime::CLng(value("qlet_Top")),
                          Runtime::CLng(value("qlet_Width")), Runtime::CLng(value("qlet_Height")));
        if (place.width() < 0 || place.height() < 0)
            return std::nullopt;
        return place;
    } catch (const Error&) {
        return std::nullopt;
    }
}
} // namespace

void MDI::MDIForm_Load() {
    const ScreenMetrics screen = DesktopSeam::current().screen();
    setGeometryTwips(storedPlace(settingsPath())
                         .value_or(QRect(40 * screen.twipsPerPixelX, 40 * screen.twipsPerPixelY,
                                         screen.widthTwips() - 80 * screen.twipsPerPixelX,
                                         screen.heightTwips() - 80 * screen.twipsPerPixelY)));
}

// The place is the outer corner and the size the window's own, without the title bar and border
// a window manager adds: the border is only known after the window is shown, and storing the
// outer size while setting the inner one would grow the frame by its border on every run.
QRect MDI::geometryTwips() const {
    const ScreenMetrics screen = DesktopSeam::current().screen();
    return QRect(x() * screen.twipsPerPixelX, y() * screen.twipsPerPixelY,
                 width() * screen.twipsPerPixelX, height() * screen.twipsPerPixelY);
}

void MDI::setGeometryTwips(const QRect& twips) {
    const ScreenMetrics screen = DesktopSeam::current().screen();
    move(twips.x() / screen.twipsPerPixelX, twips.y() / screen.twipsPerPixelY);
    resize(qMax(0, twips.width() / screen.twipsPerPixelX),
           qMax(0, twips.height() / screen.twipsPerPixelY));
}

void MDI::NewChild() {
    auto* document = new Wordbox;
    showDocument(document);
    Wordbox* active = activeDocument();
    active->Com1.Filter = QStringLiteral("rtf Word file|*.rtf");
    active->Text1->setWidth(active->ScaleWidth());
    active->Text1->setHeight(active->ScaleHeight() - 340);
    active->Text1->setRightMargin(active->ScaleWidth() - 300);
}

void MDI::showDocument(Wordbox* document) {
    QMdiSubWindow* window = mdiArea->addSubWindow(document);
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(document->Text1, &QTextEdit::undoAvailable, this, &MDI::refreshUndoItem);
    window->show();
    // Activation normally arrives through events; the caller works on the new window at once.
    mdiArea->setActiveSubWindow(window);
    refreshWindowList();
    refreshUndoItem();
}

Wordbox* MDI::activeDocument() const {
    QMdiSubWindow* window = mdiArea->currentSubWindow();
    if (!window)
        window = mdiArea->activeSubWindow();
    return window ? qobject_cast<Wordbox*>(window->widget()) : nullptr;
}

QList<Wordbox*> MDI::documents() const {
    QList<Wordbox*> result;
    for (QMdiSubWindow* window : mdiArea->subWindowList()) {
        if (auto* document = qobject_cast<Wordbox*>(window->widget()))
            result.append(document);
    }
    return result;
}

void MDI::activateDocument(Wordbox* document) {
    for (QMdiSubWindow* window : mdiArea->subWindowList()) {
        if (window->widget() == document)
            mdiArea->setActiveSubWindow(window);
    }
}

void MDI::setDocumentCommandsEnabled(bool enabled) {
    for (QAction* action :
         {file4, file5, Print_run, itemedit->menuAction(), Win->menuAction(), exet->menuAction()})
        action->setEnabled(enabled);
    picPicture1->setEnabled(enabled);
}

void MDI::filenew_Click() {
    // Nothing calls this but the user, so a failure (too many windows) is told here rather than
    // left to end the program.
    try {
        NewChild();
        activeDocument()->Text1->Tag = QStringLiteral("save");
    } catch (const Error& error) {
        Common::ReportError(error);
    }
}

quint32 MDI::rtfcolor(const QString& name, int dat) {
    if (dat == 1) {
        if (Wordbox* active = activeDocument())
            BackgroundColorFile::storeOnSave(name, active->Text1->BackColor());
        return 0;
    }
    return quint32(Runtime::CLng(BackgroundColorFile::load(name)));
}

QString MDI::removeTags(const QString& text) const {
    return TagRemoval::removeTags(text);
}

void MDI::file2_Click() {
    OpenCommand::run(*this);
}
void MDI::file4_Click() {
    SaveCommand::save(*this);
}
void MDI::file5_Click() {
    SaveCommand::saveAs(*this);
}

std::function<void()> MDI::endProgramAtOnce = [] { std::_Exit(0); };

void MDI::SSCommand2_Click() {
    // Ends at once: no document is asked about and the geometry is not written.
    endProgramAtOnce();
}

void MDI::Win1_Click() {
    mdiArea->cascadeSubWindows();
}

void MDI::Win2_Click() {
    // Side by side as vertical columns, each the full height of the area.
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

void MDI::Win3_Click() {
    // Lines the minimised windows up along the bottom edge of the area.
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

void MDI::MDIForm_DblClick() {
    file2_Click();
}

bool MDI::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mdiArea->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        MDIForm_DblClick();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MDI::closeEvent(QCloseEvent* event) {
    int cancel = 0;
    MDIForm_Unload(cancel);
    if (cancel != 0) {
        event->ignore();
        return;
    }
    event->accept();
    QCoreApplication::exit(0);
}

void MDI::MDIForm_Unload(int& Cancel) {
    try {
        Module1::CloseCancelled = Module1::False;
        while (Module1::OpenDocCount >= 1) {
            Wordbox* document = activeDocument();
            if (!document) {
                const QList<Wordbox*> open = documents();
                if (open.isEmpty())
                    break;
                document = open.first();
            }
            QMdiSubWindow* window = qobject_cast<QMdiSubWindow*>(document->parentWidget());
            const bool closed = window ? window->close() : document->close();
            if (Module1::CloseCancelled == Module1::True) {
                Cancel = 1;
                return;
            }
            if (!closed)
                break;
        }
    } catch (const Error&) {
        // A failure while closing documents does not keep the program from ending.
    }
    const QRect frame = geometryTwips();
    const QString path = settingsPath();
    try {
        Common::WriteIniValue(settingsSection, "qlet_Top", QString::number(frame.y()), path);
        Common::WriteIniValue(settingsSection, "qlet_Left", QString::number(frame.x()), path);
        Common::WriteIniValue(settingsSection, "qlet_Width", QString::number(frame.width()), path);
        Common::WriteIniValue(settingsSection, "qlet_Height", QString::number(frame.height()),
                              path);
    } catch (const Error&) {
        // The place is only remembered for convenience; a read-only folder must not stop the
        // program from ending.
    }
}

void MDI::popupEditMenu(const QPoint& globalPosition) {
    itemedit->popup(globalPosition);
}

void MDI::refreshWindowList() {
    for (QAction* action : windowListActions_) {
        Win->removeAction(action);
        action->deleteLater();
    }
    windowListActions_.clear();
    const QList<QMdiSubWindow*> windows = mdiArea->subWindowList();
    if (windows.isEmpty())
        return;
    windowListActions_.append(Win->addSeparator());
    QMdiSubWindow* current = mdiArea->currentSubWindow();
    int number = 1;
    for (QMdiSubWindow* window : windows) {
        const QString title = window->widget() ? window->widget()->windowTitle() : QString();
        QAction* action = Win->addAction(QStringLiteral("&%1 %2").arg(number++).arg(title));
        action->setCheckable(true);
        action->setChecked(window == current);
        connect(action, &QAction::triggered, this,
                [this, window] { mdiArea->setActiveSubWindow(window); });
        windowListActions_.append(action);
    }
}
