#include "dialogs/DialogWindow.h"

#include "suite/PictureBackground.h"
#include "system/Desktop.h"

#include <QWidget>
#include <QtMath>

namespace DialogWindow {

void placeOnScreen(QWidget& dialog, const ScreenMetrics& screen) {
    dialog.move(qRound((screen.widthPixels - dialog.width()) / 2.0),
                qRound((screen.heightPixels - dialog.height()) / 3.0));
}

QWidget* addBackground(QWidget& dialog) {
    auto* background = new PictureBackground(QColor(244, 244, 240), QColor(218, 222, 228), &dialog);
    background->setAttribute(Qt::WA_TransparentForMouseEvents);
    background->setObjectName(QStringLiteral("FXBack"));
    background->setGeometry(dialog.rect());
    background->lower();
    return background;
}

} // namespace DialogWindow
