#include "support/ProgramFixture.h"

#include "dialogs/FindDialog.h"
#include "format/Formatting.h"
#include "system/Colors.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
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
        QApplication::processEvents(); // the activation and the first layout of the toolbar
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

// The keys every word processor has go through the toolbar's routines: the buttons follow, and
// each is a step that undoes and redoes. Enter in the find box finds the next occurrence.
TEST_F(FormattingTest, FormattingKeysFollowTheButtonsAndUndoAndEnterFinds) {
    pane()->setText("one two one");
    const auto key = [this](Qt::Key letter) {
        QTest::keyClick(pane(), letter, Qt::ControlModifier);
    };
    const struct {
        const char* what;
        Qt::Key letter;
        std::function<std::optional<bool>(RichTextBox*)> state;
        QAbstractButton* button;
    } cases[] = {
        {"bold", Qt::Key_B, &RichTextBox::SelBold, frame().ImgFButtons[0]},
        {"italic", Qt::Key_I, &RichTextBox::SelItalic, frame().ImgFButtons[1]},
        {"underline", Qt::Key_U, &RichTextBox::SelUnderline, frame().ImgFButtons[2]},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        select(0, 3);
        key(c.letter);
        EXPECT_EQ(c.state(pane()), true);
        EXPECT_TRUE(c.button->isChecked());
        pane()->undo();
        select(0, 3);
        EXPECT_EQ(c.state(pane()), false);
        key(Qt::Key_Y);
        select(0, 3);
        EXPECT_EQ(c.state(pane()), true);
        key(c.letter);
        EXPECT_EQ(c.state(pane()), false);
        EXPECT_FALSE(c.button->isChecked());
    }

    select(0, 0);
    frame().showFind();
    FindDialog* find = FindDialog::loaded();
    ASSERT_NE(find, nullptr);
    find->txtFind->setText("one");
    QTest::keyClick(find->txtFind, Qt::Key_Return);
    EXPECT_EQ(pane()->SelStart(), 0);
    EXPECT_EQ(pane()->SelLength(), 3);
    QTest::keyClick(find->txtFind, Qt::Key_Return);
    EXPECT_EQ(pane()->SelStart(), 8);
    find->close();
}

// Whatever the toolbar applies, Edit > Undo takes back in one step and Ctrl+Y brings back.
TEST_F(FormattingTest, ToolbarFormattingIsUndoneAndRedoneInOneStep) {
    using State = std::function<QString(RichTextBox*)>;
    const auto shown = [](auto value) {
        if (!value)
            return QStringLiteral("mixed");
        using Value = std::decay_t<decltype(*value)>;
        if constexpr (std::is_same_v<Value, QString>)
            return *value;
        else if constexpr (std::is_enum_v<Value>)
            return QString::number(int(*value));
        else
            return QString::number(double(*value));
    };
    const auto choose = [](QComboBox* box, const QString& entry) {
        const int index = box->findText(entry);
        ASSERT_GE(index, 0) << entry.toStdString();
        box->setCurrentIndex(index);
        emit box->activated(index);
    };
    const struct {
        const char* what;
        std::function<void()> apply;
        State state;
    } cases[] = {
        {"bold", [&] { release(frame().ImgFButtons[0]); },
         [&](RichTextBox* p) { return shown(p->SelBold()); }},
        {"italic", [&] { release(frame().ImgFButtons[1]); },
         [&](RichTextBox* p) { return shown(p->SelItalic()); }},
        {"underline", [&] { release(frame().ImgFButtons[2]); },
         [&](RichTextBox* p) { return shown(p->SelUnderline()); }},
        {"centred", [&] { release(align(1)); },
         [&](RichTextBox* p) { return shown(p->SelAlignment()); }},
        {"right", [&] { release(align(2)); },
         [&](RichTextBox* p) { return shown(p->SelAlignment()); }},
        {"font", [&] { choose(frame().cboFontCombo, "Times New Roman"); },
         [&](RichTextBox* p) { return shown(p->SelFontName()); }},
        {"size", [&] { choose(frame().cboSizeCombo, frame().cboSizeCombo->itemText(8)); },
         [&](RichTextBox* p) { return shown(p->SelFontSize()); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        pane()->setText("one two");
        pane()->document()->clearUndoRedoStacks();
        select(0, 3);
        const QString before = c.state(pane());
        c.apply();
        select(0, 3);
        const QString after = c.state(pane());
        ASSERT_NE(after, before);
        frame().undoAction->trigger();
        // The menu's Undo reaches the pane as its key does, queued.
        QCoreApplication::processEvents();
        select(0, 3);
        EXPECT_EQ(c.state(pane()), before);
        EXPECT_EQ(pane()->Text(), "one two");
        QTest::keyClick(pane(), Qt::Key_Y, Qt::ControlModifier);
        select(0, 3);
        EXPECT_EQ(c.state(pane()), after);
    }
}
