#include "support/ProgramFixture.h"

#include "format/Formatting.h"
#include "system/Colors.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

namespace {
constexpr quint32 red = 0x0000FF;
constexpr quint32 blue = 0xFF0000;

class FormattingTest : public ProgramFixture {
protected:
    FormattingTest() {
        frame().show();
        Startup::Main();
        frame().activateWindow();
        QApplication::processEvents();
    }
    QAbstractButton* bold() { return frame().ImgFButtons[0]; }
    QAbstractButton* align(int index) { return frame().ImgAButtons[index]; }
    static void release(QAbstractButton* button, Qt::MouseButton which = Qt::LeftButton) {
        QTest::mouseClick(button, which);
    }
};
} // namespace

TEST_F(FormattingTest, BoldButtonMakesAPartlyBoldSelectionBoldThenPlain) {
    pane()->setText("bold plain");
    select(0, 4);
    pane()->setSelBold(true);
    select(0, 10);
    release(bold());
    EXPECT_EQ(pane()->SelBold(), true);
    EXPECT_TRUE(bold()->isChecked());
    EXPECT_TRUE(documentHasFocus());
    release(bold());
    EXPECT_EQ(pane()->SelBold(), false);
    EXPECT_FALSE(bold()->isChecked());
    // Any mouse button acts; only a release over the button counts.
    release(frame().ImgFButtons[1], Qt::RightButton);
    EXPECT_EQ(pane()->SelItalic(), true);
}

// The program sets the buttons' state itself, so a change of state must never format the text.
TEST_F(FormattingTest, StateButtonsIgnoreKeyboardClicksAndProgramChanges) {
    pane()->setText("text");
    select(0, 4);
    bold()->click();
    bold()->setChecked(true);
    align(1)->click();
    align(2)->setChecked(true);
    EXPECT_EQ(pane()->SelBold(), false);
    EXPECT_EQ(pane()->SelAlignment(), Alignment::Left);
}

TEST_F(FormattingTest, SizeAndFontBoxesApplyAtOnceAndHandTheFocusBack) {
    QLineEdit* typed = frame().cboSizeCombo->lineEdit();
    pane()->setText("text");
    select(0, 4);
    const auto type = [&](const char* key) {
        typed->setFocus();
        typed->selectAll();
        QTest::keyClicks(typed, key);
    };
    type("8");
    EXPECT_EQ(pane()->SelFontSize(), 8);
    EXPECT_TRUE(documentHasFocus());
    type("0");
    EXPECT_EQ(pane()->SelFontSize(), 8);
    type("x");
    EXPECT_EQ(pane()->SelFontSize(), 8);

    QComboBox* sizes = frame().cboSizeCombo;
    sizes->setCurrentIndex(8);
    emit sizes->activated(8);
    EXPECT_EQ(pane()->SelFontSize(), 14);

    QComboBox* fonts = frame().cboFontCombo;
    fonts->setFocus();
    const int entry = fonts->findText("Times New Roman");
    fonts->setCurrentIndex(entry);
    emit fonts->activated(entry);
    EXPECT_EQ(pane()->SelFontName(), "Times New Roman");
    EXPECT_TRUE(documentHasFocus());
}

// Cancelled, the dialog changes nothing; confirmed, it only adds effects, and a font the box does
// not list reaches neither the box nor the text.
TEST_F(FormattingTest, FontDialogStartsFromTheBoxesAndOnlyAddsEffects) {
    pane()->setText("bold text");
    select(0, 4);
    pane()->setSelBold(true);
    select(0, 4);
    pane()->setSelColor(blue);
    frame().SSCommand1[0]->click(); // cancelled: nothing scripted
    EXPECT_EQ(pane()->SelColor(), blue);
    EXPECT_EQ(pane()->SelFontSize(), 12);

    scripted.desktop.fontAnswers.push_back([](const FontChoice& shown) {
        FontChoice chosen = shown;
        chosen.bold = false; // cleared in the dialog
        chosen.underline = true;
        chosen.name = "Printer Only Gothic";
        chosen.size = 20;
        chosen.color = red;
        return chosen;
    });
    frame().SSCommand1[0]->click();
    ASSERT_EQ(scripted.desktop.fontRequests.size(), 2);
    const auto& request = scripted.desktop.fontRequests[1];
    EXPECT_EQ(request.flags, 3 + 65536 + 256);
    EXPECT_EQ(request.shown.name, "Arial");
    EXPECT_EQ(request.shown.size, 12);
    EXPECT_TRUE(request.shown.bold);
    EXPECT_EQ(pane()->SelBold(), true);
    EXPECT_EQ(pane()->SelUnderline(), true);
    EXPECT_EQ(pane()->SelColor(), red);
    EXPECT_EQ(pane()->SelFontSize(), 20);
    EXPECT_EQ(pane()->SelFontName(), "Arial");
    EXPECT_EQ(frame().cboFontCombo->currentText(), "Arial");
    EXPECT_EQ(frame().cboSizeCombo->currentText(), " 20");
}
