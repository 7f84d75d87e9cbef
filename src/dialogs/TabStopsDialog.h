#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class DocumentWindow;

// The tab stops dialog: lists the selection's tab stops in inches, sorted as text, and writes
// the list back on Yes. One instance at most, owned by the document window active when it
// opened, and application-modal until Yes, No, Esc or its close box unloads it.
class TabStopsDialog : public QDialog {
    Q_OBJECT

public:
    ~TabStopsDialog() override;

    // How the dialog reaches the frame's active document window (null when none is open).
    using ActiveDocument = std::function<DocumentWindow*()>;

    // What the Form menu's Tab entry does: loads the dialog over the active document unless it
    // is loaded, and shows it. Returns at once, with the dialog open; once it has closed, however
    // it closed, the ruler of the document active then is drawn afresh.
    static TabStopsDialog* showModal(ActiveDocument activeDocument);
    // The loaded dialog, or null.
    static TabStopsDialog* loaded();

    // Writes the list, in its order, as the tab stops of the active document's selection; an
    // empty list removes them.
    void SetTabs();

public slots:
    // Fills the list from the selection the first time the dialog is painted; later paints
    // leave it alone.
    void fillListOnce();
    // Chooses every entry of the typed value; Add stays enabled only while none has it.
    void matchTypedPosition();
    // The chosen entry's text goes into the field.
    void takeChosenEntry();
    void setTabStop();
    void deleteTabStop();
    void deleteAllTabStops();
    // Yes: SetTabs, then unload.
    void confirm();
    void cancel();

public:
    // Labels are set to Qt::PlainText where they are made: no text is read as markup.
    QLabel* lblLabel1;
    QLineEdit* txtTabStop;
    QListWidget* lstTabs;
    QPushButton* cmdOK;
    QPushButton* cmdCxl;
    QPushButton* cmdSet;
    QPushButton* cmdClear;
    QPushButton* cmdClearAll;
    QWidget* FXBack;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TabStopsDialog(DocumentWindow* owner, ActiveDocument activeDocument);
    void createControls();
    void prepare();
    DocumentWindow* activeDocument() const;
    // The row of the entry the user or the typing chose, or -1.
    int selectedRow() const;
    void insertSorted(const QString& entry);
    // After the dialog has closed.
    void redrawRuler() const;

    ActiveDocument activeDocument_;
    bool firstPaint_ = false;
    // Set while the typed value picks its entries, whose texts then come back into the field.
    bool choosingEntries_ = false;
};
