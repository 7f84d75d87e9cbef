#include "dialogs/DialogWindow.h"

#include "platform/Desktop.h"

#include <QLinearGradient>
#include <QPainter>
#include <QWidget>
#include <QtMath>

namespace DialogWindow {

namespace {
class Background : public QWidget {
public:
    explicit Background(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QLinearGradient shade(0, 0, 0, height());
        shade.setColorAt(0, QColor(244, 244, 240));
        shade.setColorAt(1, QColor(218, 222, 228));
        painter.fillRect(rect(), shade);
    }
};
} // namespace

void placeOnScreen(QWidget& dialog, const ScreenMetrics& screen) {
    dialog.move(qRound((screen.widthPixels - dialog.width()) / 2.0),
                qRound((screen.heightPixels - dialog.height()) / 3.0));
}

QWidget* addBackground(QWidget& dialog) {
    auto* background = new Background(&dialog);
    background->setObjectName(QStringLiteral("FXBack"));
    background->setGeometry(dialog.rect());
    background->lower();
    return background;
}

} // namespace DialogWindow
