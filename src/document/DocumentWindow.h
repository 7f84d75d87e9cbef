#pragma once

#include "system/CommonDialog.h"

#include <QWidget>

class RichTextBox;
class Ruler;

// A document window: the ruler above the editing pane, and the pane's own dialog control.
// Constructing one loads it: it counts itself among the open documents. It knows nothing of the
// frame that holds it: what it needs from there it asks for by a signal.
class DocumentWindow : public QWidget {
    Q_OBJECT

public:
    explicit DocumentWindow(QWidget* parent = nullptr);
    ~DocumentWindow() override;

    Ruler* PicRuler = nullptr;
    RichTextBox* Text1 = nullptr;
    CommonDialog Com1;

    // Unsaved changes are marked as the design marks them, with "save" in the pane's tag, which
    // other programs of the suite may read; nothing else spells the mark.
    // Set by markChanged(), cleared by markSaved().
    bool isChanged() const;

    QString Caption() const { return windowTitle(); }
    void setCaption(const QString& caption) { setWindowTitle(caption); }

    // Inner size in twips.
    int ScaleWidth() const;
    int ScaleHeight() const;

    // The pane fills the window below the ruler. A resize keeps the wrap width within the
    // ruler's seven inches; whoever shows a new window wraps at the full width.
    enum class Wrap { WithinRuler, FullWidth };
    void layOutPane(Wrap wrap);

    void DrawRuler(DocumentWindow* mdiFrm, double intFrom, float intTo);

    // The design size: what Cascade and a newly added window take, as the window has no layout
    // to suggest one.
    QSize sizeHint() const override;

public slots:
    // What the window does on the window system's events, public so that the program and the
    // tests can run them as the window system would.
    void fitPaneToWindow();
    // Asks about unsaved changes; false keeps the window open (and cancels the frame's closing).
    bool confirmClose();
    void passFocusToPane();
    // Works out the ruler's drawing for the paragraph at the caret; run on every selection or
    // paragraph change, not by the repaint itself.
    void updateRuler();
    void markChanged();
    // The document was written to its file: the changed marker goes.
    void markSaved();
    // Ctrl+Z goes to the Edit menu's Undo, not to the pane.
    void filterKey(int& KeyCode, int Shift);
    void requestEditMenu(int Button, int Shift, int X, int Y);
    void followSelection();

signals:
    // Asked by the close prompt's Yes; the marker tells afterwards whether the save happened.
    void saveRequested();
    void editMenuRequested(const QPoint& globalPosition);
    void selectionChanged();
    void changed();
    void saved();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void countAsOpen();
    bool counted_ = false;
};
