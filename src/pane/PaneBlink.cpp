#include "pane/PaneBlink.h"

#include "layout/PaneLayout.h"

#include <QAbstractEventDispatcher>
#include <QGuiApplication>
#include <QScrollBar>
#include <QStyleHints>
#include <QTextEdit>
#include <QTimerEvent>

namespace {
int blinkInterval() {
    return QGuiApplication::styleHints()->cursorFlashTime() / 2;
}
} // namespace

PaneBlink::PaneBlink(QTextEdit* pane) : QObject(pane), pane_(pane) {
    // The text control is the widget's own child; its class is not public, but its timers come
    // to it as events like any object's.
    for (QObject* child : pane->children()) {
        if (child->inherits("QWidgetTextControl")) {
            control_ = child;
            control_->installEventFilter(this);
            break;
        }
    }
}

PaneLayout* PaneBlink::layout() const {
    // The pane lays every document it shows out with its own layout.
    return static_cast<PaneLayout*>(pane_->document()->documentLayout());
}

bool PaneBlink::caretInLongParagraph() const {
    return layout()->inLongParagraph(pane_->textCursor().position());
}

bool PaneBlink::isBlinkTimer(int timerId) const {
    // The control's other timer, which tells a triple click, runs for the double-click time.
    const QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(thread());
    if (!dispatcher)
        return false;
    for (const auto& timer : dispatcher->registeredTimers(control_)) {
        if (timer.timerId == timerId)
            return timer.interval == blinkInterval();
    }
    return false;
}

bool PaneBlink::eventFilter(QObject* watched, QEvent* event) {
    if (watched != control_ || event->type() != QEvent::Timer ||
        !isBlinkTimer(static_cast<QTimerEvent*>(event)->timerId()) || !caretInLongParagraph())
        return false;
    if (!timer_.isActive())
        restart();
    return true;
}

void PaneBlink::restart() {
    on_ = true;
    timer_.stop();
    if (blinkInterval() > 0 && pane_->hasFocus() && caretInLongParagraph())
        timer_.start(blinkInterval(), this);
    repaintCaret();
}

int PaneBlink::shownCaret() const {
    if (!on_ || !pane_->hasFocus() || pane_->isReadOnly())
        return -1;
    return pane_->textCursor().position();
}

void PaneBlink::timerEvent(QTimerEvent* event) {
    if (event->timerId() != timer_.timerId()) {
        QObject::timerEvent(event);
        return;
    }
    // Once the caret has left such paragraphs, or the pane the focus, the widget blinks again.
    if (!pane_->hasFocus() || !caretInLongParagraph()) {
        timer_.stop();
        on_ = true;
        return;
    }
    on_ = !on_;
    repaintCaret();
}

void PaneBlink::repaintCaret() {
    const PaneLayout* paneLayout = layout();
    if (!caretInLongParagraph())
        return;
    const QRectF caret = paneLayout->caretRect(pane_->textCursor().position());
    const QPointF scrolled(-pane_->horizontalScrollBar()->value(),
                           -pane_->verticalScrollBar()->value());
    pane_->viewport()->update(caret.translated(scrolled).toAlignedRect().adjusted(-4, 0, 4, 0));
}
