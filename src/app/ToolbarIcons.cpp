#include "app/ToolbarIcons.h"

#include <QFont>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace {
using Painter = std::function<void(QPainter&)>;

const QColor ink(40, 40, 40);
const QColor paper(255, 255, 255);
const QColor accent(30, 90, 170);

void page(QPainter& p, QRectF r) {
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 3, r.top());
    path.lineTo(r.right(), r.top() + 3);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(ink, 1));
    p.setBrush(paper);
    p.drawPath(path);
}

void lines(QPainter& p, const QList<QPair<int, int>>& spans, int top = 3, int step = 3) {
    p.setPen(QPen(ink, 1.5));
    int y = top;
    for (const auto& [from, to] : spans) {
        p.drawLine(QPointF(from, y + 0.5), QPointF(to, y + 0.5));
        y += step;
    }
}

void letter(QPainter& p, const QString& text, bool bold, bool italic, bool underline,
            QColor color = ink) {
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPixelSize(14);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    p.setFont(font);
    p.setPen(color);
    p.drawText(QRectF(0, -1, 16, 16), Qt::AlignCenter, text);
}

const QHash<QString, Painter>& painters() {
    static const QHash<QString, Painter> all{
        {QStringLiteral("New"), [](QPainter& p) { page(p, QRectF(3.5, 1.5, 9, 13)); }},
        {QStringLiteral("Open"),
         [](QPainter& p) {
             p.setPen(QPen(ink, 1));
             p.setBrush(QColor(240, 200, 80));
             p.drawRect(QRectF(1.5, 4.5, 12, 9));
             p.setBrush(QColor(250, 220, 120));
             p.drawPolygon(QPolygonF({{3.5, 7.5}, {15.5, 7.5}, {13.5, 13.5}, {1.5, 13.5}}));
         }},
        {QStringLiteral("Save"),
         [](QPainter& p) {
             p.setPen(QPen(ink, 1));
             p.setBrush(accent);
             p.drawRect(QRectF(1.5, 1.5, 13, 13));
             p.setBrush(paper);
             p.drawRect(QRectF(4.5, 1.5, 7, 5));
             p.setBrush(QColor(200, 200, 200));
             p.drawRect(QRectF(4.5, 9.5, 7, 5));
         }},
        {QStringLiteral("Print"),
         [](QPainter& p) {
             page(p, QRectF(4.5, 1.5, 7, 6));
             p.setBrush(QColor(190, 190, 190));
             p.drawRect(QRectF(1.5, 6.5, 13, 6));
             page(p, QRectF(4.5, 10.5, 7, 4));
         }},
        {QStringLiteral("Find"),
         [](QPainter& p) {
             p.setPen(QPen(ink, 2));
             p.setBrush(QColor(200, 230, 255));
             p.drawEllipse(QRectF(2, 2, 8, 8));
             p.drawLine(QPointF(9, 9), QPointF(14, 14));
         }},
        {QStringLiteral("Cut"),
         [](QPainter& p) {
             p.setPen(QPen(ink, 1.5));
             p.drawLine(QPointF(4, 1), QPointF(10, 11));
             p.drawLine(QPointF(12, 1), QPointF(6, 11));
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(QRectF(2, 10, 4, 4));
             p.drawEllipse(QRectF(10, 10, 4, 4));
         }},
        {QStringLiteral("Copy"),
         [](QPainter& p) {
             page(p, QRectF(1.5, 1.5, 8, 10));
             page(p, QRectF(6.5, 4.5, 8, 10));
         }},
        {QStringLiteral("Paste"),
         [](QPainter& p) {
             p.setPen(QPen(ink, 1));
             p.setBrush(QColor(190, 140, 80));
             p.drawRect(QRectF(1.5, 2.5, 10, 12));
             p.setBrush(QColor(200, 200, 200));
             p.drawRect(QRectF(4.5, 1.5, 4, 3));
             page(p, QRectF(7.5, 6.5, 7, 8));
         }},
        {QStringLiteral("Bullets"),
         [](QPainter& p) {
             p.setPen(Qt::NoPen);
             p.setBrush(ink);
             for (int y : {3, 8, 13})
                 p.drawEllipse(QPointF(3, y), 1.5, 1.5);
             p.setPen(QPen(ink, 1.5));
             for (int y : {3, 8, 13})
                 p.drawLine(QPointF(6, y), QPointF(15, y));
         }},
        {QStringLiteral("Bold"),
         [](QPainter& p) { letter(p, QStringLiteral("B"), true, false, false); }},
        {QStringLiteral("Italic"),
         [](QPainter& p) { letter(p, QStringLiteral("I"), false, true, false); }},
        {QStringLiteral("Underline"),
         [](QPainter& p) { letter(p, QStringLiteral("U"), false, false, true); }},
        {QStringLiteral("Font"),
         [](QPainter& p) { letter(p, QStringLiteral("A"), true, false, false, accent); }},
        {QStringLiteral("Font Color"),
         [](QPainter& p) {
             letter(p, QStringLiteral("A"), false, false, false);
             p.fillRect(QRectF(2, 13, 12, 3), QColor(220, 30, 30));
         }},
        {QStringLiteral("Background Color"),
         [](QPainter& p) {
             p.setPen(QPen(ink, 1));
             p.setBrush(QColor(255, 240, 120));
             p.drawRect(QRectF(1.5, 1.5, 13, 13));
             p.setBrush(QColor(120, 200, 255));
             p.drawRect(QRectF(4.5, 4.5, 7, 7));
         }},
        {QStringLiteral("Align Left"),
         [](QPainter& p) {
             lines(p, {{1, 15}, {1, 10}, {1, 15}, {1, 8}});
         }},
        {QStringLiteral("Center"),
         [](QPainter& p) {
             lines(p, {{1, 15}, {4, 12}, {1, 15}, {5, 11}});
         }},
        {QStringLiteral("Align Right"),
         [](QPainter& p) {
             lines(p, {{1, 15}, {6, 15}, {1, 15}, {8, 15}});
         }},
        {QStringLiteral("Insert OLE file"),
         [](QPainter& p) {
             page(p, QRectF(1.5, 1.5, 10, 13));
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(40, 150, 60));
             p.drawRect(QRectF(8, 8, 7, 7));
             p.setPen(QPen(paper, 1.5));
             p.drawLine(QPointF(11.5, 9), QPointF(11.5, 14));
             p.drawLine(QPointF(9, 11.5), QPointF(14, 11.5));
         }},
    };
    return all;
}

QIcon draw(const Painter& paint, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 16.0, size / 16.0);
    paint(painter);
    painter.end();
    return QIcon(pixmap);
}
} // namespace

namespace ToolbarIcons {
QIcon icon(const QString& tooltip) {
    const auto it = painters().constFind(tooltip);
    return it == painters().constEnd() ? QIcon() : draw(*it, 16);
}

QIcon frameIcon() {
    return draw(
        [](QPainter& p) {
            page(p, QRectF(2.5, 1.5, 11, 13));
            p.setPen(QPen(accent, 1.5));
            p.drawLine(QPointF(12, 3), QPointF(5, 12));
            lines(p, {{4, 11}, {4, 9}}, 9, 3);
        },
        32);
}
} // namespace ToolbarIcons
