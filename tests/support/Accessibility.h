#pragma once

#include <QAccessible>
#include <QStringList>
#include <QWidget>
#include <gtest/gtest.h>

// What a screen reader and the keyboard see of a window's controls.
namespace testaccess {

inline QString name(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

inline QAccessible::Role role(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget)->role();
}

// The control Tab moves the focus to from `widget`.
inline QWidget* nextInTabOrder(QWidget* widget) {
    do
        widget = widget->nextInFocusChain();
    while (!(widget->focusPolicy() & Qt::TabFocus));
    return widget;
}

// Tab walks the controls in the order given, and each is announced by the name given.
inline void expectTabOrderAndNames(const QList<QWidget*>& order, const QStringList& names) {
    ASSERT_EQ(order.size(), names.size());
    for (qsizetype i = 0; i < order.size(); ++i) {
        EXPECT_EQ(name(order[i]), names[i]) << i;
        if (i + 1 < order.size()) {
            EXPECT_EQ(nextInTabOrder(order[i]), order[i + 1]) << i;
        }
    }
}

} // namespace testaccess
