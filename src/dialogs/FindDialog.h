#pragma once

#include <QDialog>
#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class RichTextBox;

// The modeless find and replace dialog. One instance at most: loaded on first use, owned by the
// document window that was active then (it stays above that window and goes with it), and
// unloaded by Cancel, Esc or its close box, so the next use starts afresh. Every click acts on
// the pane of the document that is active at that moment.
class FindDialog : public QDialog {
    Q_OBJECT

public:
    ~FindDialog() override;

    // How the dialog reaches the active document's pane at each click (null when none is open).
    using ActivePane = std::function<RichTextBox*()>;

    // The loaded dialog, loading it with `owner` as its owner window when there is none.
    static FindDialog* instance(QWidget* owner, ActivePane activePane);
    // The loaded dialog, or null.
    static FindDialog* loaded();

    // Finds strFind at or after 1-based lngStart (raised to 1 when below) ending before lngEnd,
    // selects it and replaces it when repTF; false when there is no such match.
    bool FindString(const QString& strFind, const QString& strReplace, int& lngStart, int lngEnd,
                    bool repTF);

public slots:
    // Each searches from the active pane's selection as it is at the click.
    void findNext();
    void replace();
    void replaceAll();
    // Unloads the dialog, so the next use starts with the range on All and the first captions.
    void cancel();
    // Find, Replace and Replace All are enabled while there is something to find.
    void enableCommands();
    void selectFindText();
    void selectReplaceText();

public:
    // Labels are set to Qt::PlainText where they are made: no text is read as markup.
    QLabel* lbl1;
    QGroupBox* fra1;
    QLineEdit* txtFind;
    QLabel* lblReplace;
    QGroupBox* fra2;
    QLineEdit* txtReplace;
    QLabel* lbl3;
    QComboBox* cboSearch;
    QPushButton* cmdFindNext;
    QPushButton* cmdCancel;
    QPushButton* cmdReplace;
    QPushButton* cmdReplaceAll;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Esc and the window system's "dismiss" unload the dialog like Cancel, not just hide it.
    void reject() override;

private:
    FindDialog(QWidget* owner, ActivePane activePane);
    void createControls();
    void prepare();
    RichTextBox* activePane() const;

    ActivePane activePane_;
};
