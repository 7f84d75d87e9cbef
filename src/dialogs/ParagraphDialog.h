#pragma once

#include <QDialog>
#include <QPointer>
#include <array>

struct FormatBar;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class DocumentWindow;

// The paragraph dialog: the indents of the whole document, in inches, and the justification of
// the selection. One instance at most, owned by the document window it was opened over, and
// application-modal: nothing else of the program takes input until OK or Cancel unloads it.
class ParagraphDialog : public QDialog {
    Q_OBJECT

public:
    ~ParagraphDialog() override;

    // What the Form menu's Paragraph entry does: loads the dialog over `document` unless it is
    // loaded, and shows it. Returns at once, with the dialog open; `bar` gets the alignment
    // button that OK presses, so it must outlive the dialog.
    static ParagraphDialog* showModal(DocumentWindow* document, FormatBar& bar);
    // The loaded dialog, or null.
    static ParagraphDialog* loaded();

public slots:
    void selectLeftText();
    void selectRightText();
    void selectFirstText();
    // Shows the picture of the justification option `option` (0 to 2, top to bottom).
    void previewAlignment(int option);
    // Writes the indents to the whole document and the justification to the selection, as one
    // step to undo. An error is reported and leaves the dialog open.
    void confirm();
    void cancel();

public:
    QGroupBox* fraMargin;
    // Labels are set to Qt::PlainText where they are made: no text is read as markup.
    QLabel* lblLeft;
    QLineEdit* txtLeft;
    QLabel* lblRight;
    QLineEdit* txtRight;
    QLabel* lblFirst;
    QLineEdit* TxtFirst;
    QGroupBox* fraAlign;
    std::array<QRadioButton*, 3> opnAlign;
    QLabel* picAlign;
    std::array<QLabel*, 3> picAlignArr;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    QWidget* FXBack;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // The close box leaves without a change, as Cancel does.
    void reject() override;

private:
    ParagraphDialog(DocumentWindow* document, FormatBar& bar);
    void createControls();
    void readSelection();

    QPointer<DocumentWindow> document_;
    FormatBar& bar_;
};
