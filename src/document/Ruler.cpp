#include "document/Ruler.h"

#include "system/Desktop.h"

#include <QPainter>

namespace {
const QColor background(224, 224, 224);
}

Ruler::Ruler(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PicRuler"));
    setAccessibleName(QStringLiteral("Ruler"));
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, background);
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
    // A click gives the ruler the focus for a moment, which its window hands on to the pane.
    setFocusPolicy(Qt::ClickFocus);
    setFixedHeight(DesktopSeam::current().screen().yPixels(designHeightTwips));
}

int Ruler::heightTwips() const {
    return DesktopSeam::current().screen().yTwips(height());
}

void Ruler::setDrawing(RulerDrawing drawing) {
    if (drawing == drawing_)
        return;
    drawing_ = std::move(drawing);
    update();
}

void Ruler::paintEvent(QPaintEvent*) {
    const ScreenMetrics screen = DesktopSeam::current().screen();
    const auto toPixels = [&](QPointF twips) {
        return QPointF(twips.x() / screen.twipsPerPixelX, twips.y() / screen.twipsPerPixelY);
    };

    QPainter painter(this);
    painter.setPen(QPen(Qt::black, 0));
    for (const auto& line : drawing_.lines)
        painter.drawLine(toPixels(line.from), toPixels(line.to));
    for (const auto& square : drawing_.squares)
        painter.drawRect(QRectF(toPixels(square.from), toPixels(square.to)));

    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(10);
    painter.setFont(font);
    for (const auto& text : drawing_.texts) {
        const QRectF cell(toPixels(text.topLeft), QSizeF(width(), height()));
        painter.drawText(cell, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text.text);
    }
}

void Ruler::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    emit GotFocus();
}
