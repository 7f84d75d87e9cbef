#include "system/StatusPanels.h"

#include "system/Desktop.h"
#include "system/KeyLocks.h"

#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QTimer>

StatusPanels::StatusPanels(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("StatusBar1"));
    setSizeGripEnabled(true);
    const int inch = DesktopSeam::current().screen().xPixels(1440);
    for (int i = 0; i < 6; ++i) {
        auto* panel = new QLabel(this);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        panel->setTextFormat(Qt::PlainText);
        panel->setFixedWidth(inch);
        panel->setAlignment(Qt::AlignCenter);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        addWidget(panel);
        panels_[i] = panel;
    }
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &StatusPanels::refresh);
    timer->start(500);
    refresh();
}

void StatusPanels::refresh() {
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale;
    panels_[0]->setText(locale.toString(now.date(), QLocale::ShortFormat));
    panels_[1]->setText(locale.toString(now.time(), QLocale::ShortFormat));
    const KeyLockState locks = KeyLocks::read();
    const std::array<std::pair<const char*, bool>, 4> keys{{{"CAPS", locks.capsLock},
                                                            {"NUM", locks.numLock},
                                                            {"INS", KeyLocks::insertMode()},
                                                            {"SCRL", locks.scrollLock}}};
    for (int i = 0; i < 4; ++i) {
        QLabel* panel = panels_[2 + i];
        panel->setText(QString::fromLatin1(keys[i].first));
        panel->setEnabled(keys[i].second);
        // The panel shows its state by greying alone, which a screen reader cannot see. Set only
        // on a change: every setting is announced.
        const QString name =
            panel->text() + (keys[i].second ? QStringLiteral(" on") : QStringLiteral(" off"));
        if (panel->accessibleName() != name)
            panel->setAccessibleName(name);
    }
}

QString StatusPanels::panelText(int index) const {
    return panels_.at(index)->text();
}
bool StatusPanels::panelEnabled(int index) const {
    return panels_.at(index)->isEnabled();
}
