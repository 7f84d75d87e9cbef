#pragma once

#include "document/RulerDrawing.h"

#include <QWidget>

// The strip above a document's pane. It keeps no picture of its own: each repaint first asks
// its window (Paint) to recompute the drawing, then paints what it was given, so the scale and
// the tab squares always match the pane's current paragraph.
class Ruler : public QWidget {
    Q_OBJECT

public:
    explicit Ruler(QWidget* parent = nullptr);

    static constexpr int designHeightTwips = 390;

    int heightTwips() const;
    // Replaces the drawing (the old one is cleared) and repaints when it changed.
    void setDrawing(RulerDrawing drawing);
    const RulerDrawing& drawing() const { return drawing_; }

signals:
    void Paint();
    void GotFocus();

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    RulerDrawing drawing_;
    bool painting_ = false;
};
