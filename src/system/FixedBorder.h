#pragma once

#include <QWidget>

// A dialog of one size: title bar and close button, nothing to minimise or maximise.
inline void useFixedBorder(QWidget& dialog) {
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint);
}
