#pragma once

#include "format/FormatBar.h"
#include "system/CommonDialog.h"

#include <QMainWindow>
#include <array>
#include <optional>

class QComboBox;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QAbstractButton;
class QLabel;
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

    // The background colour remembered beside a document: dat 2 reads it (white when none is
    // stored), dat 1 stores the active document's.
    quint32 rtfcolor(const QString& name, int dat);
    void popupEditMenu(const QPoint& globalPosition);

    // Frame geometry in twips, as stored in multi.ini: the outer corner and the inner size.
    QRect geometryTwips() const;
    void setGeometryTwips(const QRect& twips);

    // Command handlers other windows call.
    void filenew_Click();
    void file2_Click();
    void file4_Click();
    void file5_Click();
    void Print_run_Click();
    void itemedit_Click();
    void Edit_Find_Click();
    RichTextBox* activePane() const;
    void SSCommand2_Click();
    void Win1_Click();
    void Win2_Click();
    void Win3_Click();
    void MDIForm_DblClick();
    void MDIForm_Unload(int& Cancel);
    void picPicture1_Resize();
    // The date box as wide as its entries (and its first text) need, and the frame no narrower
    // than the toolbar; run again once the box has its entries.
    void fitToolbar();
    void cboFontCombo_Click();
    void cboSizeCombo_Click();
    void cboSizeCombo_Change();
    void Combo2_Click();
    void ImgButtons_Click(int Index);
    // The check and option buttons act when a mouse button is released over them, never on a
    // change of their state: the program sets that state itself.
    void ImgFButtons_MouseUp(int Index);
    void ImgAButtons_MouseUp(int Index);
    void SSCommand1_Click(int Index);
    void exeI_Click();
    void exet2_Click();
    // The paragraph and tab stops dialogs, modal to the user; both return at once.
    void exet3_Click();
    void exet4_Click();
    void help1_Click();
    // Shows the about box application-modal; it goes when closed.
    void help2_Click();
    // Carries a font dialog's choice into the two boxes, as if the user had made it there.
    void SetFont(const QString& strFontName, const QString& strFontSize);

    // Menus and controls under their given names.
    QMenu* file1 = nullptr;
    QAction* filenew = nullptr;
    QAction* file2 = nullptr;
    QAction* file4 = nullptr;
    QAction* file5 = nullptr;
    QAction* Print_run = nullptr;
    QAction* SSCommand2 = nullptr;
    QMenu* itemedit = nullptr;
    QAction* undoitem = nullptr;
    QAction* cutitem = nullptr;
    QAction* copyitem = nullptr;
    QAction* pasteitem = nullptr;
    QAction* clearitem = nullptr;
    QAction* allitem = nullptr;
    QAction* Edit_Find = nullptr;
    QMenu* exet = nullptr;
    QAction* exeI = nullptr;
    QAction* exet1 = nullptr;
    QAction* exet2 = nullptr;
    QAction* exet3 = nullptr;
    QAction* exet4 = nullptr;
    QMenu* Win = nullptr;
    QAction* Win1 = nullptr;
    QAction* Win2 = nullptr;
    QAction* Win3 = nullptr;
    std::array<QAction*, 8> Shell_Run{};
    QMenu* help = nullptr;
    QAction* help1 = nullptr;
    QAction* help2 = nullptr;

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
    MainFrame();
    void MDIForm_Load();
    void createFileMenu();
    void createEditMenu();
    void createFormMenu();
    void createWindowMenu();
    void createHelpMenu();
    void connectEditMenu();
    void createToolbar();
    void refreshWindowList();
    void refreshUndoItem();
    void fontDialog();
    void textColorDialog();
    void backgroundColorDialog();
    // The size box's entry, none when no entry is chosen.
    std::optional<QString> chosenSize() const;
    QList<QAction*> windowListActions_;
};
