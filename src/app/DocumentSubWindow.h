#pragma once

#include <QMdiSubWindow>

// The frame a document window sits in inside the frame's area.
//
// Its title bar acts on the button a press lands on, wherever the pointer was last seen: Qt's
// sub-window only learns which button is under the pointer from moves, and forgets it when the
// pointer leaves, as it does for a modal box (the close prompt). Without a move in between, the
// next press on the close button would then close nothing.
class DocumentSubWindow : public QMdiSubWindow {
    Q_OBJECT

public:
    // Made in `area` (the area's viewport), whose frame's icon its title bar shows.
    DocumentSubWindow(QWidget* document, QWidget* area);

protected:
    void mousePressEvent(QMouseEvent* event) override;
};
