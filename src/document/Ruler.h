#pragma once

#include "document/RulerDrawing.h"

#include <QWidget>

// The strip above a document's pane. Its window works out the drawing whenever the caret moves
// or a paragraph's format changes and hands it over; a repaint only paints what it was given.
class Ruler : public QWidget {
    Q_OBJECT

public:
    explicit Ruler(QWidget* parent = nullptr);

    static constexpr int designHeightTwips = 390;

    int heightTwips() const;
    // Replaces the drawing (the old one is cleared) and schedules a repaint when it changed.
    void setDrawing(RulerDrawing drawing);
    const RulerDrawing& drawing() const { return drawing_; }

signals:
    void GotFocus();

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    RulerDrawing drawing_;
};
