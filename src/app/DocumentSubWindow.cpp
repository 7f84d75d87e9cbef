#include "app/DocumentSubWindow.h"

#include <QMouseEvent>

DocumentSubWindow::DocumentSubWindow(QWidget* document, QWidget* area) : QMdiSubWindow(area) {
    setWidget(document);
    setAttribute(Qt::WA_DeleteOnClose);
}

void DocumentSubWindow::mousePressEvent(QMouseEvent* event) {
    // The pointer arriving where it is pressed, as a move would have told.
    QMouseEvent arrived(QEvent::MouseMove, event->position(), event->scenePosition(),
                        event->globalPosition(), Qt::NoButton, Qt::NoButton, event->modifiers(),
                        event->pointingDevice());
    QMdiSubWindow::mouseMoveEvent(&arrived);
    QMdiSubWindow::mousePressEvent(event);
}
