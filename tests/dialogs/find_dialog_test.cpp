#include "dialogs/FindDialog.h"
#include "dialogs/ShowFind.h"

#include "pane/RichTextBox.h"
#include "support/Accessibility.h"
#include "support/ScriptedDesktop.h"
#include "system/MsgBox.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <new>

namespace {
class FindForm : public ::testing::Test {
protected:
    ScopedScriptedDesktop scripted;
    QWidget owner;
    RichTextBox* pane = new RichTextBox(&owner);

    FindForm() { (new QVBoxLayout(&owner))->addWidget(pane); }
    ~FindForm() override { delete FindDialog::loaded(); }
    void show(const QString& find) {
        Find::ShowFind(&owner, find, [this] { return pane; });
    }

    FindDialog* open(const QString& text, const QString& find) {
        pane->setText(text);
        show(find);
        return FindDialog::loaded();
    }
    std::pair<int, int> selection() const { return {pane->SelStart(), pane->SelLength()}; }
};
} // namespace

TEST_F(FindForm, FindWalksDownTheDocumentIgnoringCase) {
    FindDialog* form = open(QStringLiteral("The cat and the hat"), QStringLiteral("the"));
    form->findNext();
    EXPECT_EQ(selection(), std::make_pair(0, 3));
    EXPECT_EQ(form->cmdFindNext->text(), QStringLiteral("Find next"));
    // A screen reader hears the caption the button shows now.
    EXPECT_EQ(testaccess::name(form->cmdFindNext), QStringLiteral("Find next"));
    EXPECT_EQ(form->cboSearch->currentIndex(), 2);

    form->findNext();
    EXPECT_EQ(selection(), std::make_pair(12, 3));
    form->findNext();
    EXPECT_EQ(selection(), std::make_pair(12, 3));
    EXPECT_EQ(
        scripted.desktop.messages,
        ScriptedDesktop::Messages({{"Cannot find it.", MsgBoxStyle::Information, "Information"}}));
}

TEST_F(FindForm, ReplaceAfterFindOnDownTakesTheNextOccurrence) {
    FindDialog* form = open(QStringLiteral("ab ab ab"), QStringLiteral("ab"));
    form->txtReplace->setText(QStringLiteral("X"));
    form->findNext();
    form->replace();
    EXPECT_EQ(pane->Text(), QStringLiteral("ab X ab"));
    EXPECT_EQ(selection(), std::make_pair(4, 0));
    EXPECT_EQ(form->cmdReplace->text(), QStringLiteral("Replace next"));
    form->replace();
    EXPECT_EQ(pane->Text(), QStringLiteral("ab X X"));
    form->replace();
    EXPECT_EQ(scripted.desktop.messages,
              ScriptedDesktop::Messages(
                  {{"Cannot find the word to change.", MsgBoxStyle::Information, "Information"}}));
    EXPECT_EQ(pane->Text(), QStringLiteral("ab X X"));
}

// Which occurrences go and where the caret ends are the engine's own tests.
TEST_F(FindForm, ReplaceAllAsksFirstAndOnlyYesReplaces) {
    const ScriptedDesktop::Message question{
        "Do you want to replace the word throughout \r\nentire document? ", MsgBoxStyle::YesNo,
        "Question "};
    FindDialog* form = open(QStringLiteral("x x"), QStringLiteral("x"));
    form->txtReplace->setText(QStringLiteral("xx"));
    form->cboSearch->setCurrentIndex(1);
    for (const MsgBoxResult answer : {MsgBoxResult::No, MsgBoxResult::Yes}) {
        scripted.desktop.messages.clear();
        scripted.desktop.messageAnswers.push_back(answer);
        form->replaceAll();
        EXPECT_EQ(scripted.desktop.messages, ScriptedDesktop::Messages({question}));
    }
    EXPECT_EQ(pane->Text(), QStringLiteral("xx xx"));
    EXPECT_EQ(form->cboSearch->currentIndex(), 1);
}

TEST_F(FindForm, LoadsModelessOverItsOwnerAndFindTextEnablesTheCommandsAndSurvivesReopening) {
    FindDialog* form = open(QStringLiteral("The cat"), QString());
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->parentWidget(), &owner);
    // Assistive technology announces it as a dialog, and it leaves the document usable.
    EXPECT_EQ(testaccess::role(form), QAccessible::Dialog);
    EXPECT_FALSE(form->isModal());
    EXPECT_EQ(form->cboSearch->currentIndex(), 0);
    const auto enabled = [form] {
        return QList<bool>{form->cmdFindNext->isEnabled(), form->cmdReplace->isEnabled(),
                           form->cmdReplaceAll->isEnabled()};
    };
    EXPECT_EQ(enabled(), QList<bool>(3, false));
    show(QStringLiteral("cat"));
    form->findNext();
    form->txtFind->clear();
    EXPECT_EQ(enabled(), QList<bool>(3, false));
    QTest::keyClicks(form->txtFind, QStringLiteral("a"));
    EXPECT_EQ(enabled(), QList<bool>(3, true));

    // Opened again while loaded: the same dialog, its range and captions kept.
    show(QStringLiteral("The"));
    EXPECT_EQ(FindDialog::loaded(), form);
    EXPECT_EQ(form->txtFind->text(), QStringLiteral("The"));
    EXPECT_EQ(form->cboSearch->currentIndex(), 2);
    EXPECT_EQ(form->cmdFindNext->text(), QStringLiteral("Find next"));

    // Cancel unloads it: the next one starts afresh.
    form->cancel();
    EXPECT_EQ(FindDialog::loaded(), nullptr);
    show(QStringLiteral("cat"));
    FindDialog* fresh = FindDialog::loaded();
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->cboSearch->currentIndex(), 0);
    EXPECT_EQ(fresh->cmdFindNext->text(), QStringLiteral("Find"));
}

// Replacements that would not fit in the memory left are refused before any is made.
TEST_F(FindForm, ReplaceAllThatWouldNotFitIsOutOfMemoryAndChangesNothing) {
    const std::function<std::optional<qint64>()> shortages[] = {
        [] { return qint64(1000); },
        []() -> std::optional<qint64> { throw std::bad_alloc(); },
    };
    FindDialog* form = open(QString(), QString());
    form->txtFind->setText(QStringLiteral("x"));
    form->txtReplace->setText(QString(100, u'y'));
    for (const auto& shortage : shortages) {
        pane->setText(QString(1000, u'x'));
        pane->document()->clearUndoRedoStacks();
        scripted.desktop.memoryAnswer = shortage;
        scripted.desktop.messages.clear();
        scripted.desktop.messageAnswers.push_back(MsgBoxResult::Yes);
        form->replaceAll();
        EXPECT_EQ(pane->Text(), QString(1000, u'x'));
        EXPECT_FALSE(pane->document()->isUndoAvailable());
        ASSERT_EQ(scripted.desktop.messages.size(), 2);
        EXPECT_EQ(scripted.desktop.messages[1],
                  (ScriptedDesktop::Message{"Error occurred. \rReason Out of memory",
                                            MsgBoxStyle::Exclamation, "Problem occurred !"}));
    }
}
