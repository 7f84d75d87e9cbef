#pragma once

#include <QColor>
#include <QWidget>

// The picture behind a window's controls: a soft vertical shade with a line along the bottom.
class PictureBackground : public QWidget {
public:
    PictureBackground(QColor top, QColor bottom, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor top_;
    QColor bottom_;
};
