#include "dialogs/ParagraphDialog.h"

#include "document/DocumentWindow.h"
#include "format/FormatBar.h"
#include "pane/RichTextBox.h"
#include "support/Accessibility.h"
#include "support/ScriptedDesktop.h"
#include "system/MsgBox.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBlock>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {
// First line from the left edge, right indent, following lines from the first (twips).
using Indents = std::tuple<int, int, int>;

class ParagraphForm : public ::testing::Test {
protected:
    ScopedScriptedDesktop scripted;
    QToolButton alignButtons[3];
    QButtonGroup alignGroup;
    FormatBar bar;
    DocumentWindow document;
    RichTextBox* pane = document.Text1;

    ParagraphForm() {
        for (QToolButton& button : alignButtons) {
            button.setCheckable(true);
            alignGroup.addButton(&button);
        }
        bar.ImgAButtons = {&alignButtons[0], &alignButtons[1], &alignButtons[2]};
        pane->setText(QStringLiteral("first\nsecond\nthird"));
    }

    ParagraphDialog* open(const char* left = nullptr, const char* right = nullptr,
                          const char* first = nullptr) {
        ParagraphDialog* form = ParagraphDialog::showModal(&document, bar);
        if (left) {
            form->txtLeft->setText(QString::fromLatin1(left));
            form->txtRight->setText(QString::fromLatin1(right));
            form->TxtFirst->setText(QString::fromLatin1(first));
        }
        return form;
    }
    void select(int start, int length) {
        pane->setSelStart(start);
        pane->setSelLength(length);
    }
    // Following lines at `left`, the first line `first` further in.
    void setIndents(int start, int length, int left, int first, int right) {
        select(start, length);
        pane->setSelIndent(left + first);
        pane->setSelHangingIndent(-first);
        pane->setSelRightIndent(right);
    }
    Indents paragraph(int number) {
        select(pane->document()->findBlockByNumber(number).position(), 0);
        return {*pane->SelIndent(), *pane->SelRightIndent(), *pane->SelHangingIndent()};
    }
    std::pair<int, int> selection() const { return {pane->SelStart(), pane->SelLength()}; }
    static QString fields(const ParagraphDialog* form) {
        return form->txtLeft->text() + u'|' + form->txtRight->text() + u'|' +
               form->TxtFirst->text();
    }
};
} // namespace

TEST_F(ParagraphForm, OpensOwnedModalShowingTheSelectionsIndentsInInches) {
    setIndents(0, 0, 1440, 720, 180);
    select(2, 0);
    ParagraphDialog* form = open();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->parentWidget(), &document);
    EXPECT_EQ(form->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(testaccess::role(form), QAccessible::Dialog);
    EXPECT_EQ(fields(form), QStringLiteral("1.5 Inch|.12 Inch|-.5 Inch"));

    // Picture buttons have no caption, so their names say what they do; the fields take their
    // labels' captions.
    testaccess::expectTabOrderAndNames(
        {form->txtLeft, form->txtRight, form->TxtFirst, form->opnAlign[0], form->opnAlign[1],
         form->opnAlign[2], form->cmdOK, form->cmdCancel},
        {"Left", "Right", "Indent", "Left", "Center", "Right", "OK", "Cancel"});
    EXPECT_EQ(form->lblFirst->buddy(), form->TxtFirst);
    EXPECT_TRUE(form->cmdOK->isDefault());
    EXPECT_EQ(open(), form);
}

TEST_F(ParagraphForm, OkWritesIndentsToEveryParagraphAndJustificationToTheSelectionInOneStep) {
    setIndents(6, 0, 1440, 720, 0);
    pane->document()->clearUndoRedoStacks();
    select(8, 2);
    ParagraphDialog* form = open();
    EXPECT_EQ(fields(form), QStringLiteral("1.5 Inch|0 Inch|-.5 Inch"));
    form->txtRight->setText(QStringLiteral(".12 Inch"));
    form->opnAlign[1]->click();
    form->confirm();

    EXPECT_EQ(ParagraphDialog::loaded(), nullptr);
    EXPECT_EQ(selection(), std::make_pair(8, 2));
    EXPECT_EQ(pane->SelAlignment(), Alignment::Centre);
    EXPECT_TRUE(alignButtons[1].isChecked());
    // First lines at 2 inches, the following at 1.5; .12 inch is 172.8 twips.
    for (int number = 0; number < 3; ++number)
        EXPECT_EQ(paragraph(number), Indents(2880, 173, -720)) << number;
    EXPECT_EQ(pane->SelAlignment(), Alignment::Left);

    pane->document()->undo();
    EXPECT_EQ(paragraph(0), Indents(0, 0, 0));
    EXPECT_EQ(paragraph(1), Indents(2160, 0, -720));
    select(8, 0);
    EXPECT_EQ(pane->SelAlignment(), Alignment::Left);
    EXPECT_FALSE(pane->document()->isUndoAvailable());
}

TEST_F(ParagraphForm, AnErrorIsReportedAndLeavesTheDialogOpenWithTheDocumentSelected) {
    const struct {
        const char* name;
        const char* left;
        const char* right;
        const char* first;
        Indents afterError;
    } rows[] = {
        {"22.76 inches", "22.76", "0", "0", {720, 0, 0}},
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
        ParagraphDialog* form = open(row.left, row.right, row.first);
        form->opnAlign[2]->click();
        form->confirm();

        EXPECT_EQ(scripted.desktop.messages,
                  ScriptedDesktop::Messages({{"Error occurred. \rReason Overflow",
                                              MsgBoxStyle::Exclamation, "Problem occurred !"}}));
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(form->txtLeft->text(), QString::fromLatin1(row.left));
        EXPECT_EQ(selection(), std::make_pair(0, 18));
        EXPECT_EQ(pane->SelAlignment(), Alignment::Left);
        for (int number = 0; number < 3; ++number)
            EXPECT_EQ(paragraph(number), row.afterError) << number;
        pane->document()->undo();
        EXPECT_EQ(paragraph(0), Indents(720, 0, 0));
        form->cancel();
    }
}

TEST_F(ParagraphForm, EscCancelAndEnter) {
    setIndents(0, 18, 720, 0, 0);
    ParagraphDialog* form = open();
    // Esc is not Cancel; Cancel leaves without a change; Enter is OK.
    QTest::keyClick(form->txtLeft, Qt::Key_Escape);
    EXPECT_TRUE(form->isVisible());
    form->txtLeft->setText(QStringLiteral("3"));
    form->cmdCancel->click();
    EXPECT_EQ(ParagraphDialog::loaded(), nullptr);
    EXPECT_EQ(paragraph(0), Indents(720, 0, 0));
    QTest::keyClick(open("3", "0", "0")->txtLeft, Qt::Key_Return);
    EXPECT_EQ(ParagraphDialog::loaded(), nullptr);
    EXPECT_EQ(paragraph(1), Indents(4320, 0, 0));
}
