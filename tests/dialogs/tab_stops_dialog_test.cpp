#include "dialogs/TabStopsDialog.h"

#include "document/DocumentWindow.h"
#include "document/Ruler.h"
#include "pane/RichTextBox.h"
#include "support/Accessibility.h"
#include "support/ScriptedDesktop.h"
#include "system/MsgBox.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {
class TabForm : public ::testing::Test {
protected:
    ScopedScriptedDesktop scripted;
    DocumentWindow document;
    DocumentWindow other;
    DocumentWindow* activeDocument = &document;
    RichTextBox* pane = document.Text1;

    TabForm() { pane->setText(QStringLiteral("first\nsecond")); }

    // Loaded and painted, which fills the list.
    TabStopsDialog* open() {
        TabStopsDialog* form = TabStopsDialog::showModal([this] { return activeDocument; });
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form));
        form->repaint();
        return form;
    }
    static QList<int> tabStops(const RichTextBox* pane) {
        QList<int> stops;
        for (int i = 0; i < pane->SelTabCount().value_or(0); ++i)
            stops << pane->SelTabs(i);
        return stops;
    }
    static QList<qreal> squares(const DocumentWindow& window) {
        QList<qreal> lefts;
        for (const RulerDrawing::Square& square : window.PicRuler->drawing().squares)
            lefts << square.from.x();
        return lefts;
    }
    // The entries, the chosen one in brackets, then "Add" and "Delete" as + or -.
    static QString shown(const TabStopsDialog* form) {
        QStringList texts;
        for (int i = 0; i < form->lstTabs->count(); ++i) {
            const QListWidgetItem* item = form->lstTabs->item(i);
            texts << (item->isSelected() ? u'[' + item->text() + u']' : item->text());
        }
        return texts.join(u' ') + u' ' + (form->cmdSet->isEnabled() ? u'+' : u'-') +
               (form->cmdClear->isEnabled() ? u'+' : u'-');
    }
};
} // namespace

TEST_F(TabForm, OpensOwnedModalWithAnEmptyListForNoStops) {
    TabStopsDialog* form = open();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->parentWidget(), &document);
    EXPECT_EQ(form->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(testaccess::role(form), QAccessible::Dialog);

    const QList<QWidget*> order{form->txtTabStop, form->lstTabs,  form->cmdOK,      form->cmdCxl,
                                form->cmdSet,     form->cmdClear, form->cmdClearAll};
    testaccess::expectTabOrderAndNames(
        order, {"Position tab stops", "Tab stops", "Yes", "No", "Add", "Delete", "Delete All"});
    EXPECT_TRUE(form->cmdOK->isDefault());
    EXPECT_EQ(form->focusWidget(), form->txtTabStop);
    EXPECT_EQ(shown(form), QStringLiteral(" --"));
    EXPECT_EQ(open(), form);
}

TEST_F(TabForm, AddDeleteAndYesWriteTheListInItsOrder) {
    pane->setSelTabStops({720, 1440});
    TabStopsDialog* form = open();
    QTest::keyClicks(form->txtTabStop, QStringLiteral("3"));
    EXPECT_EQ(shown(form), QStringLiteral(".5 1 +-"));
    form->cmdSet->click();
    EXPECT_EQ(shown(form), QStringLiteral(".5 1 3 -+"));
    // Nothing is chosen after Add, so Delete has nothing to remove.
    form->cmdClear->click();
    EXPECT_EQ(shown(form), QStringLiteral(".5 1 3 -+"));
    QTest::keyClick(form->txtTabStop, Qt::Key_Return);
    EXPECT_EQ(TabStopsDialog::loaded(), nullptr);
    EXPECT_EQ(tabStops(pane), (QList<int>{720, 1440, 4320}));
    EXPECT_EQ(squares(document), (QList<qreal>{720, 1440, 4320}));

    // Deleting the chosen entry chooses none and moves to Add; the list keeps its order by text
    // while the pane keeps the stops by position, as a file is written; .12 is 172.8 twips.
    form = open();
    form->lstTabs->setCurrentRow(1);
    form->cmdClear->click();
    EXPECT_EQ(shown(form), QStringLiteral(".5 3 +-"));
    EXPECT_EQ(form->focusWidget(), form->cmdSet);
    for (const char* typed : {"2", "10", ".12"}) {
        form->txtTabStop->setText(QString::fromLatin1(typed));
        form->setTabStop();
    }
    EXPECT_EQ(shown(form), QStringLiteral(".12 .5 10 2 3 -+"));
    form->cmdOK->click();
    EXPECT_EQ(tabStops(pane), (QList<int>{173, 720, 2880, 4320, 14400}));
    EXPECT_TRUE(scripted.desktop.messages.isEmpty());
}

TEST_F(TabForm, AddRefusesWhatIsNotAPlainNumberOfInches) {
    const ScriptedDesktop::Message refusal{
        "Type the position in inches as a plain number from 0 to 22.75, such as 1.5 or .25.",
        MsgBoxStyle::Exclamation, "Tab"};
    TabStopsDialog* form = open();
    for (const char* typed : {"1.5 Inch", "abc", "-1", " 2", "1,5", "22.76", "1e2"}) {
        SCOPED_TRACE(typed);
        scripted.desktop.messages.clear();
        form->txtTabStop->setText(QString::fromLatin1(typed));
        form->cmdSet->click();
        EXPECT_EQ(shown(form), QStringLiteral(" +-"));
        EXPECT_EQ(scripted.desktop.messages, ScriptedDesktop::Messages({refusal}));
    }
    for (const char* typed : {"22.75", "3.", "07"}) {
        form->txtTabStop->setText(QString::fromLatin1(typed));
        form->cmdSet->click();
    }
    form->cmdOK->click();
    EXPECT_EQ(tabStops(pane), (QList<int>{4320, 10080, 32760}));
}

TEST_F(TabForm, EveryWayOutRedrawsTheRulerOfTheDocumentActiveThenAndOnlyYesWrites) {
    const std::pair<const char*, std::function<void(TabStopsDialog*)>> rows[] = {
        {"No", [](TabStopsDialog* form) { form->cmdCxl->click(); }},
        {"close box", [](TabStopsDialog* form) { form->close(); }},
        {"Yes", [](TabStopsDialog* form) { form->cmdOK->click(); }},
    };
    for (const auto& [name, leave] : rows) {
        SCOPED_TRACE(name);
        for (DocumentWindow* window : {&document, &other})
            window->Text1->setSelTabStops({});
        activeDocument = &document;
        TabStopsDialog* form = open();
        form->txtTabStop->setText(QStringLiteral("2"));
        form->setTabStop();
        // Stops that change behind the rulers' backs, and another document active by the close.
        for (DocumentWindow* window : {&document, &other}) {
            const QSignalBlocker quiet(window->Text1);
            window->Text1->setSelTabStops({1440});
        }
        activeDocument = &other;
        leave(form);

        EXPECT_EQ(TabStopsDialog::loaded(), nullptr);
        const bool yes = QLatin1String(name) == "Yes";
        EXPECT_EQ(tabStops(other.Text1), yes ? QList<int>{2880} : QList<int>{1440});
        EXPECT_EQ(squares(other), yes ? QList<qreal>{2880} : QList<qreal>{1440});
        EXPECT_TRUE(squares(document).isEmpty());
        EXPECT_EQ(tabStops(pane), QList<int>{1440});
    }
}
