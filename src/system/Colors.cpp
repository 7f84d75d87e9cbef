#include "system/Colors.h"

#include <QGuiApplication>
#include <QPalette>

namespace Colors {
QColor toQColor(quint32 value) {
    if (!(value & systemColorFlag))
        return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
    const QPalette palette = QGuiApplication::palette();
    switch (value & 0xFF) {
    case 5: // window background
    case 24:
        return palette.color(QPalette::Base);
    case 7: // menu, window and button text
    case 8:
    case 18:
        return palette.color(QPalette::Text);
    case 13:
        return palette.color(QPalette::Highlight);
    case 14:
        return palette.color(QPalette::HighlightedText);
    case 16:
    case 21:
        return palette.color(QPalette::Dark);
    case 17:
        return palette.color(QPalette::PlaceholderText);
    case 20:
    case 22:
        return palette.color(QPalette::Light);
    case 12: // application workspace
        return palette.color(QPalette::Mid);
    default: // button face and the remaining frame colours
        return palette.color(QPalette::Button);
    }
}
} // namespace Colors
