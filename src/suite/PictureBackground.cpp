#include "suite/PictureBackground.h"

#include <QPainter>

PictureBackground::PictureBackground(QColor top, QColor bottom, QWidget* parent)
    : QWidget(parent), top_(top), bottom_(bottom) {}

void PictureBackground::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient shade(0, 0, 0, height());
    shade.setColorAt(0, top_);
    shade.setColorAt(1, bottom_);
    painter.fillRect(rect(), shade);
    painter.setPen(bottom_.darker(130));
    painter.drawLine(0, height() - 1, width(), height() - 1);
}
