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
    QStringList pressedAlignment() {
        QStringList pressed;
        for (QAbstractButton* button : frame().ImgAButtons) {
            if (button->isChecked())
                pressed << button->toolTip();
        }
        return pressed;
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

TEST_F(FormattingTest, AlignmentButtonsSetTheirCodesAndFollowTheCaret) {
    pane()->setText("left\ncentre");
    select(7, 0);
    release(align(1));
    EXPECT_EQ(pane()->SelAlignment(), Alignment::Centre);
    EXPECT_EQ(pressedAlignment(), QStringList{"Center"});
    release(align(2));
    EXPECT_EQ(pane()->SelAlignment(), Alignment::Right);
    EXPECT_EQ(pressedAlignment(), QStringList{"Align Right"});
    release(align(1));

    select(1, 0);
    EXPECT_EQ(pressedAlignment(), QStringList{"Align Left"});
    select(7, 0);
    EXPECT_EQ(pressedAlignment(), QStringList{"Center"});
    // Across a left and a centred paragraph the buttons stay as they were.
    select(0, 9);
    EXPECT_EQ(pressedAlignment(), QStringList{"Center"});
    ::Formatting::AlignText(frame(), active(), Alignment::Justified);
    EXPECT_EQ(pressedAlignment(), QStringList{"Center"});
}

TEST_F(FormattingTest, SizeBoxFollowsSingleSizesUpToSeventy) {
    QComboBox* sizes = frame().cboSizeCombo;
    pane()->setText("aaa bbb ccc ddd");
    select(0, 3);
    pane()->setSelFontSize(10.5);
    select(4, 3);
    pane()->setSelFontSize(72);
    select(8, 3);
    pane()->setSelFontSize(70);

    select(1, 0);
    EXPECT_EQ(sizes->currentText(), " 10"); // 4.5 rounds to the even 4
    select(5, 0);
    EXPECT_EQ(sizes->currentIndex(), -1);
    EXPECT_EQ(sizes->currentText(), "");
    select(9, 0);
    EXPECT_EQ(sizes->currentText(), " 70");
    select(0, 6); // two sizes: the box stays
    EXPECT_EQ(sizes->currentText(), " 70");
    EXPECT_EQ(pane()->SelFontSize(), std::nullopt);
}

// The comparison is with what the toolbar last showed, not with what the box shows now.
TEST_F(FormattingTest, SizeBoxKeepsTheUsersChoiceWhileTheRememberedSizeRepeats) {
    QComboBox* sizes = frame().cboSizeCombo;
    pane()->setText("one two");
    select(1, 0);
    select(2, 0);
    sizes->setCurrentIndex(14);
    emit sizes->activated(14);
    EXPECT_EQ(pane()->SelFontSize(), 20);
    select(5, 0);
    EXPECT_EQ(sizes->currentText(), " 20");
}

TEST_F(FormattingTest, FontBoxFollowsListedFontsAndForgetsUnlistedOnes) {
    QComboBox* fonts = frame().cboFontCombo;
    pane()->setText("aaa bbb ccc");
    select(0, 3);
    pane()->setSelFontName("Courier New");
    select(4, 3);
    pane()->setSelFontName("Unlisted Sans");
    select(1, 0);
    EXPECT_EQ(fonts->currentText(), "Courier New");
    select(5, 0);
    EXPECT_EQ(fonts->currentIndex(), -1);
    // The user picks another entry; the same font as before is searched again, not skipped.
    fonts->setCurrentIndex(fonts->findText("Times New Roman"));
    select(1, 0);
    EXPECT_EQ(fonts->currentText(), "Courier New");
}

TEST_F(FormattingTest, BulletsOffAlsoTakeTheHangingIndentAway) {
    pane()->setText("item");
    select(0, 0);
    frame().ImgButtons[9]->click();
    EXPECT_EQ(pane()->SelBullet(), true);
    pane()->setSelHangingIndent(720);
    frame().bulletsAction->trigger();
    EXPECT_EQ(pane()->SelBullet(), false);
    EXPECT_EQ(pane()->SelHangingIndent(), 0);
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

    // Without a number in the size box the dialog does not open.
    frame().cboSizeCombo->setEditText(QString());
    frame().SSCommand1[0]->click();
    EXPECT_EQ(scripted.desktop.fontRequests.size(), 2);
}

TEST_F(FormattingTest, ColourDialogsOpenAtTheirLastColourAndCancelChangesNothing) {
    pane()->setText("text");
    select(0, 4);
    pane()->setSelColor(blue);
    // A fresh document's dialog already reports a cancel, so nothing black is applied.
    frame().SSCommand1[1]->click();
    EXPECT_EQ(pane()->SelColor(), blue);
    frame().SSCommand1[2]->click();
    EXPECT_EQ(pane()->BackColor(), Colors::white);

    scripted.desktop.colorAnswers.push_back(red);
    frame().SSCommand1[1]->click();
    EXPECT_EQ(pane()->SelColor(), red);
    EXPECT_TRUE(documentHasFocus());

    scripted.desktop.colorAnswers.push_back(blue);
    frame().SSCommand1[2]->click();
    EXPECT_EQ(pane()->BackColor(), blue);
    EXPECT_EQ(pane()->SelColor(), red);
    // The background dialog opened at the background; the next text colour opens where it left.
    frame().SSCommand1[1]->click();
    EXPECT_EQ(scripted.desktop.colorRequests,
              (QList<quint32>{0, Colors::white, Colors::white, Colors::white, blue}));
}
