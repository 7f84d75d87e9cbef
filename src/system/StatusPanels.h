#pragma once

#include <QStatusBar>
#include <array>

class QLabel;

// Six one-inch panels that keep themselves up to date: date, time, Caps Lock, Num Lock,
// Insert and Scroll Lock.
class StatusPanels : public QStatusBar {
    Q_OBJECT

public:
    explicit StatusPanels(QWidget* parent = nullptr);
    QString panelText(int index) const;
    bool panelEnabled(int index) const;
    void refresh();

private:
    // Labels are set to Qt::PlainText where they are made: no text is read as markup.
    std::array<QLabel*, 6> panels_{};
};
