#include "dialogs/FindDialog.h"
#include "dialogs/ParagraphDialog.h"
#include "dialogs/ShowFind.h"
#include "dialogs/TabStopsDialog.h"

#include "document/DocumentWindow.h"
#include "format/FormatBar.h"
#include "support/ScriptedDesktop.h"

#include <QToolButton>
#include <gtest/gtest.h>

#include <cmath>

// The dialogs are laid out in twips: on any screen the seam describes, each window and control
// takes the pixels its twips make there, and each dialog sits centred with a third of the free
// height above it.
TEST(DialogGeometry, TwipsBecomeThisScreensPixelsCentredAThirdDown) {
    const ScreenMetrics screens[] = {
        {1024, 768, 15, 15, {}}, {1920, 1200, 12, 12, {}}, {1280, 1024, 15, 12, {}}};
    for (const ScreenMetrics& screen : screens) {
        SCOPED_TRACE(testing::Message() << screen.twipsPerPixelX << 'x' << screen.twipsPerPixelY);
        ScopedScriptedDesktop scripted;
        scripted.desktop.metrics = screen;
        DocumentWindow document;
        QToolButton buttons[3];
        FormatBar bar;
        bar.ImgAButtons = {&buttons[0], &buttons[1], &buttons[2]};
        RichTextBox* pane = document.Text1;
        Find::ShowFind(&document, QString(), [pane] { return pane; });
        QDialog* find = FindDialog::loaded();
        QDialog* paragraph = ParagraphDialog::showModal(&document, bar);
        QDialog* tabs = TabStopsDialog::showModal([&document] { return &document; });
        // A control of no name stands for the dialog's own client area.
        const struct {
            QDialog* dialog;
            const char* control;
            QRect twips;
        } rows[] = {
            {find, nullptr, {0, 0, 6990, 2490}},
            {find, "txtFind", {90, 180, 3585, 555}},
            {find, "cmdReplaceAll", {5160, 1500, 1575, 375}},
            {paragraph, nullptr, {0, 0, 5310, 2940}},
            {paragraph, "opnAlign(2)", {150, 1320, 1020, 255}},
            {paragraph, "cmdCancel", {4095, 2160, 1095, 555}},
            {tabs, nullptr, {0, 0, 4170, 3000}},
            // Label, field and list stacked on the left; the buttons in a column on the right,
            // a gap between "No" and "Add".
            {tabs, "lblLabel1", {120, 120, 2535, 255}},
            {tabs, "txtTabStop", {120, 405, 2535, 315}},
            {tabs, "lstTabs", {120, 810, 2535, 2055}},
            {tabs, "cmdCxl", {2835, 555, 1215, 375}},
            {tabs, "cmdSet", {2835, 1155, 1215, 375}},
            {tabs, "cmdClearAll", {2835, 2025, 1215, 375}},
        };
        const auto pixels = [](int length, double per) { return int(std::lround(length / per)); };
        for (const auto& row : rows) {
            ASSERT_NE(row.dialog, nullptr);
            SCOPED_TRACE(row.dialog->objectName().toStdString() + ' ' +
                         (row.control ? row.control : ""));
            const QRect expected(pixels(row.twips.x(), screen.twipsPerPixelX),
                                 pixels(row.twips.y(), screen.twipsPerPixelY),
                                 pixels(row.twips.width(), screen.twipsPerPixelX),
                                 pixels(row.twips.height(), screen.twipsPerPixelY));
            if (row.control) {
                const auto* widget =
                    row.dialog->findChild<QWidget*>(QString::fromLatin1(row.control));
                ASSERT_NE(widget, nullptr);
                EXPECT_EQ(widget->geometry(), expected);
                continue;
            }
            EXPECT_EQ(row.dialog->size(), expected.size());
            EXPECT_EQ(row.dialog->pos(),
                      QPoint(pixels(screen.widthPixels - expected.width(), 2),
                             pixels(screen.heightPixels - expected.height(), 3)));
        }
        for (QDialog* dialog : {find, paragraph, tabs})
            delete dialog;
    }
}
