#include "support/ProgramFixture.h"

#include "system/MsgBox.h"

#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QTest>

namespace {
class CloseButton : public ProgramFixture {
protected:
    // Where the title bar draws its close button, laid out as the sub-window lays it out.
    static QPoint closeButton(QMdiSubWindow& window) {
        QStyleOptionTitleBar bar;
        bar.initFrom(&window);
        bar.subControls = QStyle::SC_All;
        bar.titleBarFlags = window.windowFlags();
        bar.titleBarState = int(window.windowState());
        bar.text = window.windowTitle();
        const int border = 4;
        const int height = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, &bar, &window);
        bar.rect = QRect(border, border, window.width() - 2 * border, height - border);
        return window.style()
            ->subControlRect(QStyle::CC_TitleBar, &bar, QStyle::SC_TitleBarCloseButton, &window)
            .center();
    }
};
} // namespace

// A real box takes the pointer from the window behind it while it is up; once it is gone the
// pointer is over the close button again without having moved.
TEST_F(CloseButton, AsksAgainAfterACancelledCloseWithoutThePointerMoving) {
    frame().show();
    frame().NewChild();
    frame().NewChild();
    frame().tileWindows();
    DocumentWindow* typedIn = active();
    typedIn->Text1->setText("unsaved");
    auto* window = qobject_cast<QMdiSubWindow*>(typedIn->parentWidget());
    ASSERT_NE(window, nullptr);
    scripted.desktop.whileMessageShown = [window] {
        QEvent left(QEvent::Leave);
        QCoreApplication::sendEvent(window, &left);
    };
    const QPoint button = closeButton(*window);

    scripted.desktop.messageAnswers = {MsgBoxResult::Cancel, MsgBoxResult::Cancel};
    QMouseEvent arrive(QEvent::MouseMove, button, window->mapToGlobal(button), Qt::NoButton,
                       Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &arrive);
    QTest::mouseClick(window, Qt::LeftButton, {}, button);
    ASSERT_EQ(scripted.desktop.messages.size(), 1);
    QTest::mouseClick(window, Qt::LeftButton, {}, button);
    EXPECT_EQ(scripted.desktop.messages.size(), 2);
    EXPECT_EQ(OpenDocuments::OpenDocCount, 2);

    scripted.desktop.messageAnswers = {MsgBoxResult::No};
    QTest::mouseClick(window, Qt::LeftButton, {}, button);
    EXPECT_EQ(scripted.desktop.messages.size(), 3);
    EXPECT_EQ(OpenDocuments::OpenDocCount, 1);
    EXPECT_EQ(scripted.desktop.messages.last().prompt, "Save changes to noname ?");
}
