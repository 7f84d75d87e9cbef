#pragma once

#include "format/FormatBar.h"
#include "system/CommonDialog.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <optional>

class QComboBox;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QAbstractButton;
class StatusPanels;
class RichTextBox;
class DocumentWindow;

// The frame: menus, the toolbar panel, the status bar and the area holding the document
// windows. One instance, loaded on first use; it places itself from multi.ini when it loads.
// Its formatting controls are the bar the formatting routines set.
class MainFrame : public QMainWindow, public FormatBar {
    Q_OBJECT

public:
    ~MainFrame() override;

    static MainFrame& instance();
    static bool isLoaded();
    // Destroys the frame without its shutdown (tests, and the end of the program).
    static void unload();

    // multi.ini: beside a program run from the folder it was built in, when it may write there;
    // else, and always for an installed program, in the user's configuration folder.
    QString settingsPath() const;

    void NewChild();
    // Adds a document window created elsewhere to the frame, answers its requests, and shows it.
    void showDocument(DocumentWindow* document);
    DocumentWindow* activeDocument() const;
    QList<DocumentWindow*> documents() const;
    void activateDocument(DocumentWindow* document);

    void setDocumentCommandsEnabled(bool enabled);

    // The background colour remembered beside a document: Load reads it (white when none is
    // stored), Store stores the active document's and returns 0.
    enum class ColorFileAccess { Store = 1, Load = 2 };
    quint32 rtfcolor(const QString& name, ColorFileAccess access);
    void popupEditMenu(const QPoint& globalPosition);

    // Frame geometry in twips, as stored in multi.ini: the outer corner and the inner size.
    QRect geometryTwips() const;
    void setGeometryTwips(const QRect& twips);

    RichTextBox* activePane() const;
    // The date box as wide as its entries (and its first text) need, and the frame no narrower
    // than the toolbar; run again once the box has its entries.
    void fitToolbar();
    // Carries a font dialog's choice into the two boxes, as if the user had made it there.
    void SetFont(const QString& strFontName, const QString& strFontSize);

public slots:
    // The commands of the menus and the toolbar; other windows and the start-up call some too.
    void newDocument();
    void openDocument();
    void saveDocument();
    void saveDocumentAs();
    void printDocument();
    // Ends at once: no document is asked about and the geometry is not written.
    void exitAndRestore();
    void refreshEditMenu();
    void undo();
    void redo();
    void cut();
    void copy();
    void paste();
    void deleteSelection();
    void selectAll();
    void showFind();
    void cascadeWindows();
    // Side by side as vertical columns, each the full height of the area.
    void tileWindows();
    // Lines the minimised windows up along the bottom edge of the area.
    void arrangeIcons();
    void startCompanion(int entry);
    void applyChosenFont();
    void applyChosenSize();
    void applyTypedSize();
    void insertDateStamp();
    // The check and option buttons act when a mouse button is released over them, never on a
    // change of their state: the program sets that state itself.
    void toggleBold();
    void toggleItalic();
    void toggleUnderline();
    void alignText(int index);
    void showFontDialog();
    void chooseTextColor();
    void chooseBackgroundColor();
    void insertObject();
    void toggleBullets();
    // The paragraph and tab stops dialogs, modal to the user; both return at once.
    void showParagraphDialog();
    void showTabStopsDialog();
    void showHelp();
    // Shows the about box application-modal; it goes when closed.
    void showAboutBox();

public:
    // The menus; each entry keeps its design name as its object name.
    QMenu* fileMenu = nullptr;
    QAction* newAction = nullptr;
    QAction* openAction = nullptr;
    QAction* saveAction = nullptr;
    QAction* saveAsAction = nullptr;
    QAction* printAction = nullptr;
    QAction* exitAndRestoreAction = nullptr;
    QMenu* editMenu = nullptr;
    QAction* undoAction = nullptr;
    QAction* cutAction = nullptr;
    QAction* copyAction = nullptr;
    QAction* pasteAction = nullptr;
    QAction* deleteAction = nullptr;
    QAction* selectAllAction = nullptr;
    QAction* findAction = nullptr;
    QMenu* formMenu = nullptr;
    QAction* insertObjectAction = nullptr;
    QAction* fontAction = nullptr;
    QAction* bulletsAction = nullptr;
    QAction* paragraphAction = nullptr;
    QAction* tabStopsAction = nullptr;
    QMenu* windowMenu = nullptr;
    QAction* cascadeAction = nullptr;
    QAction* tileAction = nullptr;
    QAction* arrangeIconsAction = nullptr;
    // Entry 3 is a separator.
    std::array<QAction*, 8> companionActions{};
    QMenu* helpMenu = nullptr;
    QAction* helpAction = nullptr;
    QAction* aboutAction = nullptr;
    // Keys every word processor has, in no menu: Ctrl+B, Ctrl+I, Ctrl+U and Ctrl+Y.
    QAction* boldKey = nullptr;
    QAction* italicKey = nullptr;
    QAction* underlineKey = nullptr;
    QAction* redoKey = nullptr;

    // The toolbar's controls under their design names.
    QWidget* picPicture1 = nullptr;
    QWidget* ToolFXBack = nullptr;
    std::array<QAbstractButton*, 10> ImgButtons{};
    std::array<QAbstractButton*, 4> SSCommand1{};
    QComboBox* Combo2 = nullptr;
    StatusPanels* StatusBar1 = nullptr;
    QMdiArea* mdiArea = nullptr;

    CommonDialog Com1;
    CommonDialog Com2;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Runs a formatting routine on the active document, then gives that document the keyboard.
    void formatActiveDocument(const std::function<void(DocumentWindow*)>& routine);
    MainFrame();
    // Places the frame where multi.ini says, or at the default place.
    void placeFromSettings();
    // Closes the documents, then stores the frame's place; false when the user cancelled a
    // document's close, and then nothing is stored.
    bool closeDocumentsAndStorePlace();
    void fitToolbarBackground();
    void createFileMenu();
    void createEditMenu();
    void createFormMenu();
    void createWindowMenu();
    void createHelpMenu();
    void createFormattingKeys();
    void createToolbar();
    void createToolbarButtons();
    void createToolbarBoxes();
    void refreshWindowList();
    void refreshUndoItem();
    // The toolbar's buttons return the keyboard to the document; the menu entries do not.
    void focusActiveDocument();
    // Find from the toolbar leaves the keyboard with the document.
    void showFindFromToolbar();
    // The size box's entry, none when no entry is chosen.
    std::optional<QString> chosenSize() const;
    QList<QAction*> windowListActions_;
};
