#include "app/MainFrame.h"
#include "suite/AboutBox.h"
#include "suite/CompanionLauncher.h"
#include "suite/HelpViewer.h"

#include <QMenu>
#include <QMenuBar>

namespace {
QAction* addEntry(QMenu* menu, const char* name, const QString& caption,
                  const QKeySequence& shortcut = {}) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
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
} // namespace

void MainFrame::createFileMenu() {
    file1 = addMenu(menuBar(), "file1", QStringLiteral("File"));
    filenew = addEntry(file1, "filenew", QStringLiteral("New"), QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(filenew, &QAction::triggered, this, &MainFrame::filenew_Click);
    file2 = addEntry(file1, "file2", QStringLiteral("Open"), QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(file2, &QAction::triggered, this, &MainFrame::file2_Click);
    addSeparator(file1, "file3");
    file4 = addEntry(file1, "file4", QStringLiteral("Save"), QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(file4, &QAction::triggered, this, &MainFrame::file4_Click);
    file5 = addEntry(file1, "file5", QStringLiteral("Save as"));
    connect(file5, &QAction::triggered, this, &MainFrame::file5_Click);
    addSeparator(file1, "dasi7");
    Print_run = addEntry(file1, "Print_run", QStringLiteral("Print"));
    connect(Print_run, &QAction::triggered, this, &MainFrame::Print_run_Click);
    addSeparator(file1, "dasi8");
    SSCommand2 = addEntry(file1, "SSCommand2", QStringLiteral("E&xit and restore"));
    connect(SSCommand2, &QAction::triggered, this, &MainFrame::SSCommand2_Click);
}

void MainFrame::createEditMenu() {
    itemedit = addMenu(menuBar(), "itemedit", QStringLiteral("&Edit"));
    undoitem =
        addEntry(itemedit, "undoitem", QStringLiteral("Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z));
    addSeparator(itemedit, "dasi10");
    cutitem =
        addEntry(itemedit, "cutitem", QStringLiteral("Cut"), QKeySequence(Qt::CTRL | Qt::Key_X));
    copyitem =
        addEntry(itemedit, "copyitem", QStringLiteral("Copy"), QKeySequence(Qt::CTRL | Qt::Key_C));
    pasteitem = addEntry(itemedit, "pasteitem", QStringLiteral("Paste"),
                         QKeySequence(Qt::CTRL | Qt::Key_V));
    clearitem =
        addEntry(itemedit, "clearitem", QStringLiteral("Delete"), QKeySequence(Qt::Key_Delete));
    allitem = addEntry(itemedit, "allitem", QStringLiteral("Select all"));
    addSeparator(itemedit, "dasi71");
    Edit_Find =
        addEntry(itemedit, "Edit_Find", QStringLiteral("Find"), QKeySequence(Qt::CTRL | Qt::Key_F));
    connectEditMenu();
}

void MainFrame::createFormMenu() {
    exet = addMenu(menuBar(), "exet", QStringLiteral("F&orm"));
    exeI = addEntry(exet, "exeI", QStringLiteral("Insert OLE file"));
    addSeparator(exet, "dasi81");
    exet1 = addEntry(exet, "exet1", QStringLiteral("Font(&F)"));
    exet2 = addEntry(exet, "exet2", QStringLiteral("Bullet(&B)"));
    connect(exeI, &QAction::triggered, this, &MainFrame::exeI_Click);
    connect(exet1, &QAction::triggered, this, [this] { SSCommand1_Click(0); });
    connect(exet2, &QAction::triggered, this, &MainFrame::exet2_Click);
    exet3 = addEntry(exet, "exet3", QStringLiteral("Paragraph(&P)"));
    exet4 = addEntry(exet, "exet4", QStringLiteral("Tab(&T)"));
    connect(exet3, &QAction::triggered, this, &MainFrame::exet3_Click);
    connect(exet4, &QAction::triggered, this, &MainFrame::exet4_Click);
}

void MainFrame::createWindowMenu() {
    Win = addMenu(menuBar(), "Win", QStringLiteral("&Window"));
    Win1 = addEntry(Win, "Win1", QStringLiteral("Cascade"));
    connect(Win1, &QAction::triggered, this, &MainFrame::Win1_Click);
    Win2 = addEntry(Win, "Win2", QStringLiteral("Tile"));
    connect(Win2, &QAction::triggered, this, &MainFrame::Win2_Click);
    Win3 = addEntry(Win, "Win3", QStringLiteral("Arrange Icon"));
    connect(Win3, &QAction::triggered, this, &MainFrame::Win3_Click);
    addSeparator(Win, "dasi99");
    struct Companion {
        const char* caption;
        int functionKey;
    };
    static constexpr Companion companions[8] = {{"Stavrel", 1}, {"Omblique", 2}, {"Lindrow", 3},
                                                {"-", 0},       {"Pimsey", 4},   {"Kordane", 5},
                                                {"Trellin", 6}, {"Quillet", 7}};
    for (int i = 0; i < 8; ++i) {
        const Companion& c = companions[i];
        if (c.functionKey == 0) {
            Shell_Run[i] = Win->addSeparator();
        } else {
            Shell_Run[i] = Win->addAction(QString::fromLatin1(c.caption));
            Shell_Run[i]->setShortcut(QKeySequence(Qt::CTRL | (Qt::Key_F1 + c.functionKey - 1)));
        }
        Shell_Run[i]->setObjectName(QStringLiteral("Shell_Run(%1)").arg(i));
        connect(Shell_Run[i], &QAction::triggered, this, [i] { Common::Shell_Run_Click(i); });
    }
    // This program itself cannot be started from its own menu.
    Shell_Run[7]->setEnabled(false);
}

void MainFrame::createHelpMenu() {
    help = addMenu(menuBar(), "help", QStringLiteral("&Help"));
    help1 = addEntry(help, "help1", QStringLiteral("&Help"), QKeySequence(Qt::Key_F1));
    addSeparator(help, "help3");
    help2 = addEntry(help, "help2", QStringLiteral("&About"));
    connect(help1, &QAction::triggered, this, &MainFrame::help1_Click);
    connect(help2, &QAction::triggered, this, &MainFrame::help2_Click);
}

void MainFrame::help1_Click() {
    Common::StartHelp();
}

void MainFrame::help2_Click() {
    auto* box = new AboutBox(this);
    box->setWindowTitle(QStringLiteral("Vormelin Quillet 98"));
    box->setWindowIcon(windowIcon());
    box->show();
}
