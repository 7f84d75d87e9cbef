#pragma once

#include <QBasicTimer>
#include <QObject>

class PaneLayout;
class QTextEdit;

// The caret's blinking in a paragraph laid out in pieces. Qt's text widget redraws its blinking
// caret where the paragraph's own layout puts it, and after an edit that layout analyses the
// paragraph's whole text again first: twice a second a fifth of a second and more in a paragraph
// of megabytes, while one types. There the pane keeps the widget's blinking from reaching it,
// blinks the caret itself and has its layout draw it.
class PaneBlink : public QObject {
    Q_OBJECT

public:
    explicit PaneBlink(QTextEdit* pane);

    // Shows the caret at once and starts its blinking over, as typing and moving it do.
    void restart();
    // Where the layout draws the caret in a paragraph laid out in pieces: the caret's position,
    // or -1 while it is blinked off or the pane does not have the focus.
    int shownCaret() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    PaneLayout* layout() const;
    bool caretInLongParagraph() const;
    bool isBlinkTimer(int timerId) const;
    void repaintCaret();

    QTextEdit* pane_;
    // The widget's text control, whose blink timer this stands in for.
    QObject* control_ = nullptr;
    QBasicTimer timer_;
    bool on_ = true;
};
