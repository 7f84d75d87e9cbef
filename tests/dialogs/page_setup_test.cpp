#include "dialogs/frmPageSetup.h"

#include "document/Wordbox.h"
#include "format/FormatBar.h"
#include "platform/MsgBox.h"
#include "platform/RichTextBox.h"
#include "support/ScriptedDesktop.h"

#include <QAccessible>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {
struct Indents {
    int indent;
    int right;
    int hanging;
    bool operator==(const Indents&) const = default;
};
void PrintTo(const Indents& i, std::ostream* out) {
    *out << "{" << i.indent << ", " << i.right << ", " << i.hanging << "}";
}

class ParagraphForm : public ::testing::Test {
protected:
    ScopedScriptedDesktop scripted;
    QToolButton alignButtons[3];
    QButtonGroup alignGroup;
    FormatBar bar;
    Wordbox document;
    RichTextBox* pane = document.Text1;

    ParagraphForm() {
        for (QToolButton& button : alignButtons) {
            button.setCheckable(true);
            alignGroup.addButton(&button);
        }
        bar.ImgAButtons = {&alignButtons[0], &alignButtons[1], &alignButtons[2]};
        pane->setText(QStringLiteral("first\nsecond\nthird"));
    }

    frmPageSetup* open() { return frmPageSetup::showModal(&document, bar); }
    void select(int start, int length) {
        pane->setSelStart(start);
        pane->setSelLength(length);
    }
    // Sets the selection's paragraphs: following lines at `left`, the first line `first` further.
    void setIndents(int start, int length, int left, int first, int right) {
        select(start, length);
        pane->setSelIndent(left + first);
        pane->setSelHangingIndent(-first);
        pane->setSelRightIndent(right);
    }
    Indents paragraph(int number) {
        const int start = pane->document()->findBlockByNumber(number).position();
        select(start, 0);
        return {*pane->SelIndent(), *pane->SelRightIndent(), *pane->SelHangingIndent()};
    }
    std::pair<int, int> selection() const { return {pane->SelStart(), pane->SelLength()}; }
    static QString fields(const frmPageSetup* form) {
        return form->txtLeft->text() + u'|' + form->txtRight->text() + u'|' +
               form->TxtFirst->text();
    }
    static QString accessibleName(QWidget* widget) {
        return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
    }
};

const QString overflowReport =
    QStringLiteral("Error occurred. ") + QChar(13) + QStringLiteral("Reason Overflow");
} // namespace

TEST_F(ParagraphForm, OpensOwnedModalAndCentredShowingTheSelectionsIndentsInInches) {
    setIndents(0, 0, 1440, 720, 180);
    select(2, 0);
    frmPageSetup* form = open();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(frmPageSetup::loaded(), form);
    EXPECT_EQ(form->parentWidget(), &document);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Paragraph"));
    EXPECT_EQ(form->windowModality(), Qt::ApplicationModal);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(form)->role(), QAccessible::Dialog);
    // 5310 x 2940 twips at 15 twips a pixel, a third of the free height above, on 1024 x 768.
    EXPECT_EQ(QRect(form->pos(), form->size()), QRect(335, 191, 354, 196));

    EXPECT_EQ(fields(form), QStringLiteral("1.5 Inch|.12 Inch|-.5 Inch"));
    EXPECT_TRUE(form->opnAlign[0]->isChecked());

    EXPECT_EQ(form->fraMargin->title(), QStringLiteral("Margin"));
    EXPECT_EQ(form->fraAlign->title(), QStringLiteral("Justification"));
    const std::pair<QWidget*, const char*> named[] = {
        {form->txtLeft, "Left"},     {form->txtRight, "Right"},     {form->TxtFirst, "Indent"},
        {form->opnAlign[0], "Left"}, {form->opnAlign[1], "Center"}, {form->opnAlign[2], "Right"},
        {form->cmdOK, "OK"},         {form->cmdCancel, "Cancel"},
    };
    for (const auto& [control, name] : named)
        EXPECT_EQ(accessibleName(control), QString::fromLatin1(name)) << name;
    for (const auto& [label, field] :
         {std::pair{form->lblLeft, form->txtLeft}, std::pair{form->lblRight, form->txtRight},
          std::pair{form->lblFirst, form->TxtFirst}}) {
        EXPECT_EQ(label->text(), accessibleName(field));
        EXPECT_EQ(label->buddy(), field);
    }
    // Picture buttons only: no caption to read, a picture to see.
    EXPECT_TRUE(form->cmdOK->text().isEmpty());
    EXPECT_FALSE(form->cmdOK->icon().isNull());
    EXPECT_TRUE(form->cmdOK->isDefault());
    EXPECT_FALSE(form->cmdCancel->isDefault());

    const QList<QWidget*> expectedOrder{form->txtLeft,     form->txtRight,    form->TxtFirst,
                                        form->opnAlign[0], form->opnAlign[1], form->opnAlign[2],
                                        form->cmdOK,       form->cmdCancel};
    QList<QWidget*> order{form->txtLeft};
    for (QWidget* w = form->txtLeft->nextInFocusChain(); w != form->txtLeft;
         w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus)
            order << w;
    }
    EXPECT_EQ(order, expectedOrder);
    EXPECT_EQ(form->focusWidget(), form->txtLeft);

    // Opened again while loaded: the same dialog.
    EXPECT_EQ(open(), form);
}

TEST_F(ParagraphForm, JustificationIsReadFromTheSelectionAndPreviewed) {
    const struct {
        const char* name;
        int code;
        bool mixed;
        int option;
    } rows[] = {
        {"left", 0, false, 0},
        {"centre", 2, false, 1},
        {"right", 1, false, 2},
        {"justified", 3, false, 0},
        {"centre and left mixed", 2, true, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        select(0, 18);
        pane->setSelAlignment(0);
        select(0, 0);
        pane->setSelAlignment(row.code);
        if (row.mixed)
            select(0, 8);
        frmPageSetup* form = open();
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(form->opnAlign[size_t(i)]->isChecked(), i == row.option) << i;
        EXPECT_EQ(form->picAlign->pixmap().toImage(),
                  form->picAlignArr[size_t(row.option)]->pixmap().toImage());
        form->cmdCancel_Click();
        EXPECT_EQ(frmPageSetup::loaded(), nullptr);
    }

    // Choosing an option shows its own picture, and the three pictures differ.
    frmPageSetup* form = open();
    QList<QImage> shown;
    for (int i : {2, 1, 0}) {
        form->opnAlign[size_t(i)]->click();
        EXPECT_EQ(form->picAlign->pixmap().toImage(),
                  form->picAlignArr[size_t(i)]->pixmap().toImage());
        shown << form->picAlign->pixmap().toImage();
    }
    EXPECT_NE(shown[0], shown[1]);
    EXPECT_NE(shown[1], shown[2]);
    EXPECT_NE(shown[0], shown[2]);
}

TEST_F(ParagraphForm, OkWritesIndentsToEveryParagraphAndJustificationToTheSelectionInOneStep) {
    // Paragraph two: following lines at 1 inch, the first line half an inch further in.
    setIndents(6, 0, 1440, 720, 0);
    pane->document()->clearUndoRedoStacks();
    select(8, 2);
    frmPageSetup* form = open();
    EXPECT_EQ(fields(form), QStringLiteral("1.5 Inch|0 Inch|-.5 Inch"));
    form->txtRight->setText(QStringLiteral(".12 Inch"));
    form->opnAlign[1]->click();
    form->cmdOK_Click();

    EXPECT_EQ(frmPageSetup::loaded(), nullptr);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(scripted.desktop.messages.isEmpty());
    EXPECT_EQ(selection(), std::make_pair(8, 2));
    EXPECT_EQ(pane->SelAlignment(), 2);
    EXPECT_TRUE(alignButtons[1].isChecked());
    // The first line 2 inches in, the following 1.5; .12 inch is 172.8 twips.
    for (int number = 0; number < 3; ++number)
        EXPECT_EQ(paragraph(number), (Indents{2880, 173, -720})) << number;
    select(0, 0);
    EXPECT_EQ(pane->SelAlignment(), 0);

    // One undo takes back the indents and the justification together.
    pane->document()->undo();
    EXPECT_EQ(paragraph(0), (Indents{0, 0, 0}));
    EXPECT_EQ(paragraph(1), (Indents{2160, 0, -720}));
    select(8, 0);
    EXPECT_EQ(pane->SelAlignment(), 0);
    EXPECT_FALSE(pane->document()->isUndoAvailable());
}

TEST_F(ParagraphForm, EntriesCountByTheirLeadingNumberWithoutSign) {
    const struct {
        const char* left;
        const char* right;
        const char* first;
        Indents written;
    } rows[] = {
        {"abc", "", "Inch", {0, 0, 0}},
        {"-1", "-.5 Inch", "-.25", {1800, 720, -360}},
        {"22.75", "22.75", "0", {32760, 32760, 0}},
        {"1 Inch 2", "3x", ".5.5", {2160, 4320, -720}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.left);
        frmPageSetup* form = open();
        form->txtLeft->setText(QString::fromLatin1(row.left));
        form->txtRight->setText(QString::fromLatin1(row.right));
        form->TxtFirst->setText(QString::fromLatin1(row.first));
        form->cmdOK_Click();
        EXPECT_EQ(frmPageSetup::loaded(), nullptr);
        EXPECT_EQ(paragraph(2), row.written);
    }
    EXPECT_TRUE(scripted.desktop.messages.isEmpty());
}

TEST_F(ParagraphForm, AnErrorIsReportedAndLeavesTheDialogOpenWithTheDocumentSelected) {
    const struct {
        const char* name;
        const char* left;
        const char* right;
        const char* first;
        Indents afterError;
    } rows[] = {
        {"22.76 inches on the left", "22.76", "0", "0", {720, 0, 0}},
        {"Left 20 and Indent 3 past 32767 twips", "20", "0", "3", {720, 0, 0}},
        // The first line is written before the right indent fails; undo takes it back.
        {"22.76 inches on the right", "1", "22.76", "0", {1440, 0, -720}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        setIndents(0, 18, 720, 0, 0);
        pane->document()->clearUndoRedoStacks();
        select(7, 3);
        scripted.desktop.messages.clear();
        frmPageSetup* form = open();
        form->txtLeft->setText(QString::fromLatin1(row.left));
        form->txtRight->setText(QString::fromLatin1(row.right));
        form->TxtFirst->setText(QString::fromLatin1(row.first));
        form->opnAlign[2]->click();
        form->cmdOK_Click();

        ASSERT_EQ(scripted.desktop.messages.size(), 1);
        EXPECT_EQ(scripted.desktop.messages[0].prompt, overflowReport);
        EXPECT_EQ(scripted.desktop.messages[0].style, MsgBoxStyle::Exclamation);
        EXPECT_EQ(scripted.desktop.messages[0].title, QStringLiteral("Problem occurred !"));
        EXPECT_EQ(frmPageSetup::loaded(), form);
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(form->txtLeft->text(), QString::fromLatin1(row.left));
        EXPECT_EQ(selection(), std::make_pair(0, 18));
        EXPECT_EQ(pane->SelAlignment(), 0);
        for (int number = 0; number < 3; ++number)
            EXPECT_EQ(paragraph(number), row.afterError) << number;
        pane->document()->undo();
        EXPECT_EQ(paragraph(0), (Indents{720, 0, 0}));

        form->cmdCancel_Click();
    }
}

TEST_F(ParagraphForm, MixedIndentsShowTheFirstParagraphsAndConfirmingSpreadsThem) {
    setIndents(0, 0, 360, 0, 1440);
    setIndents(6, 0, 2880, -360, 0);
    select(2, 8);
    frmPageSetup* form = open();
    EXPECT_EQ(fields(form), QStringLiteral(".25 Inch|1 Inch|0 Inch"));
    form->cmdOK_Click();
    for (int number = 0; number < 3; ++number)
        EXPECT_EQ(paragraph(number), (Indents{360, 1440, 0})) << number;
}

TEST_F(ParagraphForm, KeysFocusAndCancel) {
    setIndents(0, 18, 720, 0, 0);
    frmPageSetup* form = open();

    // A field that gets the focus, by the mouse as well, has its text selected for typing over.
    QFocusEvent focusIn(QEvent::FocusIn, Qt::MouseFocusReason);
    for (QLineEdit* field : {form->txtLeft, form->txtRight, form->TxtFirst}) {
        field->deselect();
        QApplication::sendEvent(field, &focusIn);
        EXPECT_EQ(field->selectedText(), field->text()) << field->objectName().toStdString();
    }

    // Esc does not close it; Cancel and the close box leave without a change.
    QTest::keyClick(form->txtLeft, Qt::Key_Escape);
    EXPECT_TRUE(form->isVisible());
    form->txtLeft->setText(QStringLiteral("3"));
    form->cmdCancel->click();
    EXPECT_EQ(frmPageSetup::loaded(), nullptr);
    form = open();
    form->txtLeft->setText(QStringLiteral("3"));
    form->close();
    EXPECT_EQ(frmPageSetup::loaded(), nullptr);
    EXPECT_EQ(paragraph(0), (Indents{720, 0, 0}));

    // Enter confirms from a field.
    form = open();
    form->txtLeft->setText(QStringLiteral("3"));
    QTest::keyClick(form->txtLeft, Qt::Key_Return);
    EXPECT_EQ(frmPageSetup::loaded(), nullptr);
    EXPECT_EQ(paragraph(1), (Indents{4320, 0, 0}));
}
