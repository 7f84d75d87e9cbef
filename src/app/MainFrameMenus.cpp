#include "app/MainFrame.h"
#include "suite/AboutBox.h"
#include "suite/CompanionLauncher.h"
#include "suite/HelpViewer.h"

#include <QMenu>
#include <QMenuBar>

namespace {
// An entry named by its design name, as tests and assistive tools find it, that runs `slot`.
template <typename Slot>
QAction* addEntry(QMenu* menu, const char* name, const QString& caption, MainFrame* frame,
                  Slot slot, const QKeySequence& shortcut = {}) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    QObject::connect(action, &QAction::triggered, frame, slot);
    return action;
}

QMenu* addMenu(QMenuBar* bar, const char* name, const QString& caption) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
}

void addSeparator(QMenu* menu, const char* name) {
    menu->addSeparator()->setObjectName(QString::fromLatin1(name));
}

QKeySequence ctrl(Qt::Key key) {
    return QKeySequence(Qt::CTRL | key);
}
} // namespace

void MainFrame::createFileMenu() {
    fileMenu = addMenu(menuBar(), "file1", QStringLiteral("File"));
    newAction = addEntry(fileMenu, "filenew", QStringLiteral("New"), this, &MainFrame::newDocument,
                         ctrl(Qt::Key_N));
    openAction = addEntry(fileMenu, "file2", QStringLiteral("Open"), this, &MainFrame::openDocument,
                          ctrl(Qt::Key_O));
    addSeparator(fileMenu, "file3");
    saveAction = addEntry(fileMenu, "file4", QStringLiteral("Save"), this, &MainFrame::saveDocument,
                          ctrl(Qt::Key_S));
    saveAsAction =
        addEntry(fileMenu, "file5", QStringLiteral("Save as"), this, &MainFrame::saveDocumentAs);
    addSeparator(fileMenu, "dasi7");
    printAction =
        addEntry(fileMenu, "Print_run", QStringLiteral("Print"), this, &MainFrame::printDocument);
    addSeparator(fileMenu, "dasi8");
    exitAndRestoreAction = addEntry(fileMenu, "SSCommand2", QStringLiteral("E&xit and restore"),
                                    this, &MainFrame::exitAndRestore);
}

void MainFrame::createEditMenu() {
    editMenu = addMenu(menuBar(), "itemedit", QStringLiteral("&Edit"));
    connect(editMenu, &QMenu::aboutToShow, this, &MainFrame::refreshEditMenu);
    undoAction = addEntry(editMenu, "undoitem", QStringLiteral("Undo"), this, &MainFrame::undo,
                          ctrl(Qt::Key_Z));
    addSeparator(editMenu, "dasi10");
    cutAction = addEntry(editMenu, "cutitem", QStringLiteral("Cut"), this, &MainFrame::cut,
                         ctrl(Qt::Key_X));
    copyAction = addEntry(editMenu, "copyitem", QStringLiteral("Copy"), this, &MainFrame::copy,
                          ctrl(Qt::Key_C));
    pasteAction = addEntry(editMenu, "pasteitem", QStringLiteral("Paste"), this, &MainFrame::paste,
                           ctrl(Qt::Key_V));
    deleteAction = addEntry(editMenu, "clearitem", QStringLiteral("Delete"), this,
                            &MainFrame::deleteSelection, QKeySequence(Qt::Key_Delete));
    selectAllAction =
        addEntry(editMenu, "allitem", QStringLiteral("Select all"), this, &MainFrame::selectAll);
    addSeparator(editMenu, "dasi71");
    findAction = addEntry(editMenu, "Edit_Find", QStringLiteral("Find"), this, &MainFrame::showFind,
                          ctrl(Qt::Key_F));
}

void MainFrame::createFormMenu() {
    formMenu = addMenu(menuBar(), "exet", QStringLiteral("F&orm"));
    insertObjectAction = addEntry(formMenu, "exeI", QStringLiteral("Insert OLE file"), this,
                                  &MainFrame::insertObject);
    addSeparator(formMenu, "dasi81");
    fontAction =
        addEntry(formMenu, "exet1", QStringLiteral("Font(&F)"), this, &MainFrame::showFontDialog);
    bulletsAction =
        addEntry(formMenu, "exet2", QStringLiteral("Bullet(&B)"), this, &MainFrame::toggleBullets);
    paragraphAction = addEntry(formMenu, "exet3", QStringLiteral("Paragraph(&P)"), this,
                               &MainFrame::showParagraphDialog);
    tabStopsAction = addEntry(formMenu, "exet4", QStringLiteral("Tab(&T)"), this,
                              &MainFrame::showTabStopsDialog);
}

void MainFrame::createWindowMenu() {
    windowMenu = addMenu(menuBar(), "Win", QStringLiteral("&Window"));
    cascadeAction =
        addEntry(windowMenu, "Win1", QStringLiteral("Cascade"), this, &MainFrame::cascadeWindows);
    tileAction =
        addEntry(windowMenu, "Win2", QStringLiteral("Tile"), this, &MainFrame::tileWindows);
    arrangeIconsAction = addEntry(windowMenu, "Win3", QStringLiteral("Arrange Icon"), this,
                                  &MainFrame::arrangeIcons);
    addSeparator(windowMenu, "dasi99");
    struct Companion {
        const char* caption;
        int functionKey;
    };
    static constexpr Companion companions[8] = {{"Stavrel", 1}, {"Omblique", 2}, {"Lindrow", 3},
                                                {"-", 0},       {"Pimsey", 4},   {"Kordane", 5},
                                                {"Trellin", 6}, {"Quillet", 7}};
    for (int i = 0; i < 8; ++i) {
        const Companion& c = companions[i];
        QAction*& action = companionActions[i];
        if (c.functionKey == 0) {
            action = windowMenu->addSeparator();
        } else {
            action = windowMenu->addAction(QString::fromLatin1(c.caption));
            action->setShortcut(QKeySequence(Qt::CTRL | (Qt::Key_F1 + c.functionKey - 1)));
        }
        action->setObjectName(QStringLiteral("Shell_Run(%1)").arg(i));
        connect(action, &QAction::triggered, this, [this, i] { startCompanion(i); });
    }
    // This program itself cannot be started from its own menu.
    companionActions[7]->setEnabled(false);
}

void MainFrame::createHelpMenu() {
    helpMenu = addMenu(menuBar(), "help", QStringLiteral("&Help"));
    helpAction = addEntry(helpMenu, "help1", QStringLiteral("&Help"), this, &MainFrame::showHelp,
                          QKeySequence(Qt::Key_F1));
    addSeparator(helpMenu, "help3");
    aboutAction =
        addEntry(helpMenu, "help2", QStringLiteral("&About"), this, &MainFrame::showAboutBox);
}

void MainFrame::createFormattingKeys() {
    // The same routines as the toolbar's buttons, so the buttons follow and undo takes the step.
    const auto key = [this](const char* name, Qt::Key letter, auto slot) {
        auto* action = new QAction(this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(ctrl(letter));
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
        return action;
    };
    boldKey = key("boldKey", Qt::Key_B, &MainFrame::toggleBold);
    italicKey = key("italicKey", Qt::Key_I, &MainFrame::toggleItalic);
    underlineKey = key("underlineKey", Qt::Key_U, &MainFrame::toggleUnderline);
    redoKey = key("redoKey", Qt::Key_Y, &MainFrame::redo);
}

void MainFrame::startCompanion(int entry) {
    Common::startCompanion(entry);
}

void MainFrame::showHelp() {
    Common::StartHelp();
}

void MainFrame::showAboutBox() {
    auto* box = new AboutBox(this);
    box->setWindowTitle(QStringLiteral("Vormelin Quillet 98"));
    box->setWindowIcon(windowIcon());
    box->show();
}
