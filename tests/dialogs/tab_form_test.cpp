#include "dialogs/frmTabForm.h"

#include "document/Ruler.h"
#include "document/Wordbox.h"
#include "platform/MsgBox.h"
#include "platform/RichTextBox.h"
#include "support/ScriptedDesktop.h"

#include <QAccessible>
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
    Wordbox document;
    Wordbox other;
    Wordbox* activeDocument = &document;
    RichTextBox* pane = document.Text1;

    TabForm() { pane->setText(QStringLiteral("first\nsecond")); }

    // Shown and painted once, which fills the list.
    frmTabForm* open() {
        frmTabForm* form = frmTabForm::showModal([this] { return activeDocument; });
        if (form)
            paint(form);
        return form;
    }
    // What the window system asks for once the dialog is on the screen.
    static void paint(frmTabForm* form) {
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form));
        form->repaint();
    }
    QList<int> tabStops() const {
        QList<int> stops;
        for (int i = 0; i < pane->SelTabCount().value_or(0); ++i)
            stops << pane->SelTabs(i);
        return stops;
    }
    static QStringList entries(const frmTabForm* form) {
        QStringList texts;
        for (int i = 0; i < form->lstTabs->count(); ++i)
            texts << form->lstTabs->item(i)->text();
        return texts;
    }
    // The chosen entry's text, or "-" when none is chosen.
    static QString chosen(const frmTabForm* form) {
        const QListWidgetItem* item = form->lstTabs->currentItem();
        return item && item->isSelected() ? item->text() : QStringLiteral("-");
    }
    // "Add" and "Delete" as + (enabled) or - (disabled).
    static QString states(const frmTabForm* form) {
        return QString(form->cmdSet->isEnabled() ? u'+' : u'-') +
               QString(form->cmdClear->isEnabled() ? u'+' : u'-');
    }
    static QList<qreal> squares(const Wordbox& window) {
        QList<qreal> lefts;
        for (const RulerDrawing::Square& square : window.PicRuler->drawing().squares)
            lefts << square.from.x();
        return lefts;
    }
    static QString accessibleName(QWidget* widget) {
        return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
    }
};
} // namespace

TEST_F(TabForm, OpensOwnedModalWithTheLayoutAndCaptionsOfTheDesign) {
    frmTabForm* form = open();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(frmTabForm::loaded(), form);
    EXPECT_EQ(form->parentWidget(), &document);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tab"));
    EXPECT_EQ(form->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(form)->role(), QAccessible::Dialog);
    // 4170 x 3000 twips, centred, a third of the free height above, on 1024 x 768.
    EXPECT_EQ(QRect(form->pos(), form->size()), QRect(373, 189, 278, 200));

    EXPECT_EQ(form->lblLabel1->text(), QStringLiteral("Position tab stops"));
    EXPECT_EQ(accessibleName(form->txtTabStop), QStringLiteral("Position tab stops"));
    EXPECT_EQ(accessibleName(form->lstTabs), QStringLiteral("Tab stops"));
    // Label, field and list stacked on the left; the buttons in a column on the right, with a
    // gap after "No".
    EXPECT_LT(form->lblLabel1->geometry().bottom(), form->txtTabStop->y());
    EXPECT_LT(form->txtTabStop->geometry().bottom(), form->lstTabs->y());
    const QList<QPushButton*> column{form->cmdOK, form->cmdCxl, form->cmdSet, form->cmdClear,
                                     form->cmdClearAll};
    const QStringList captions{"Yes", "No", "Add", "Delete", "Delete All"};
    for (int i = 0; i < column.size(); ++i) {
        EXPECT_EQ(column[i]->text(), captions[i]);
        EXPECT_EQ(accessibleName(column[i]), captions[i]);
        EXPECT_GT(column[i]->x(), form->lstTabs->geometry().right());
        if (i > 0) {
            EXPECT_GT(column[i]->y(), column[i - 1]->geometry().bottom());
        }
    }
    EXPECT_GT(form->cmdSet->y() - form->cmdCxl->geometry().bottom(),
              form->cmdCxl->y() - form->cmdOK->geometry().bottom());
    EXPECT_TRUE(form->cmdOK->isDefault());

    QList<QWidget*> order{form->txtTabStop};
    for (QWidget* w = form->txtTabStop->nextInFocusChain(); w != form->txtTabStop;
         w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus)
            order << w;
    }
    EXPECT_EQ(order, (QList<QWidget*>{form->txtTabStop, form->lstTabs, form->cmdOK, form->cmdCxl,
                                      form->cmdSet, form->cmdClear, form->cmdClearAll}));
    EXPECT_EQ(form->focusWidget(), form->txtTabStop);

    // A selection without stops: an empty list, nothing to add or delete.
    EXPECT_TRUE(entries(form).isEmpty());
    EXPECT_EQ(states(form), QStringLiteral("--"));
    EXPECT_EQ(open(), form);
}

TEST_F(TabForm, TheFirstPaintListsTheSelectionsStopsInInchesSortedAsText) {
    const struct {
        const char* name;
        QList<int> stops;
        QStringList shown;
    } rows[] = {
        {"halves", {720, 1440, 2160}, {".5", "1", "1.5"}},
        {"10 sorts before 2", {2880, 14400}, {"10", "2"}},
        {"hundredths, halves to even", {180, 540}, {".12", ".38"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        pane->setSelTabStops(row.stops);
        frmTabForm* form = frmTabForm::showModal([this] { return activeDocument; });
        EXPECT_TRUE(entries(form).isEmpty());
        paint(form);
        EXPECT_EQ(entries(form), row.shown);
        // Later paints leave the list as it is.
        pane->setSelTabStops({});
        paint(form);
        EXPECT_EQ(entries(form), row.shown);
        form->cmdCxl_Click();
    }

    // Paragraphs with different stops have no one list.
    pane->setSelStart(0);
    pane->setSelLength(8);
    pane->setSelTabStops({720});
    pane->setSelStart(8);
    pane->setSelTabStops({1440});
    pane->setSelStart(0);
    pane->setSelLength(8);
    EXPECT_TRUE(entries(open()).isEmpty());
}

TEST_F(TabForm, TypingChoosesTheEntryOfEqualValue) {
    pane->setSelTabStops({720, 1440, 2160});
    frmTabForm* form = open();

    // Pasted at once: 1.0 is 1, whose text then stands in the field, the caret after it.
    form->txtTabStop->setText(QStringLiteral("1.0"));
    EXPECT_EQ(chosen(form), QStringLiteral("1"));
    EXPECT_EQ(form->txtTabStop->text(), QStringLiteral("1"));
    EXPECT_EQ(form->txtTabStop->cursorPosition(), 1);
    EXPECT_FALSE(form->txtTabStop->hasSelectedText());
    EXPECT_EQ(states(form), QStringLiteral("-+"));

    // Clearing the field disables both; a value of no entry enables Add alone and leaves the
    // chosen entry.
    form->txtTabStop->clear();
    EXPECT_EQ(states(form), QStringLiteral("--"));
    QTest::keyClicks(form->txtTabStop, QStringLiteral("2"));
    EXPECT_EQ(states(form), QStringLiteral("+-"));
    EXPECT_EQ(chosen(form), QStringLiteral("1"));

    // Typed a key at a time, 1.5 passes through 1 and ends at its own entry.
    form->txtTabStop->clear();
    QTest::keyClicks(form->txtTabStop, QStringLiteral("1.5"));
    EXPECT_EQ(chosen(form), QStringLiteral("1.5"));
    EXPECT_EQ(form->txtTabStop->text(), QStringLiteral("1.5"));
    EXPECT_EQ(states(form), QStringLiteral("-+"));

    // Choosing an entry brings its text into the field.
    form->lstTabs->setCurrentRow(0);
    EXPECT_EQ(form->txtTabStop->text(), QStringLiteral(".5"));
    EXPECT_EQ(states(form), QStringLiteral("-+"));
}

TEST_F(TabForm, AddKeepsTheListSortedAndYesWritesItInListOrder) {
    pane->setSelTabStops({720, 1440});
    frmTabForm* form = open();
    QTest::keyClicks(form->txtTabStop, QStringLiteral("3"));
    EXPECT_EQ(states(form), QStringLiteral("+-"));
    form->cmdSet->click();
    EXPECT_EQ(entries(form), (QStringList{".5", "1", "3"}));
    EXPECT_EQ(states(form), QStringLiteral("-+"));

    // Nothing is chosen after Add, so Delete has nothing to remove.
    form->cmdClear->click();
    EXPECT_EQ(entries(form), (QStringList{".5", "1", "3"}));

    form->cmdOK->click();
    EXPECT_EQ(frmTabForm::loaded(), nullptr);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(tabStops(), (QList<int>{720, 1440, 4320}));
    EXPECT_EQ(squares(document), (QList<qreal>{720, 1440, 4320}));

    // 10 sorts before 2 and goes to the pane first; .12 is 172.8 twips.
    form = open();
    form->cmdClearAll_Click();
    for (const char* typed : {"2", "10", ".12"}) {
        form->txtTabStop->setText(QString::fromLatin1(typed));
        form->cmdSet_Click();
    }
    EXPECT_EQ(entries(form), (QStringList{".12", "10", "2"}));
    QTest::keyClick(form->txtTabStop, Qt::Key_Return);
    EXPECT_EQ(frmTabForm::loaded(), nullptr);
    EXPECT_EQ(tabStops(), (QList<int>{173, 14400, 2880}));
    EXPECT_TRUE(scripted.desktop.messages.isEmpty());
}

TEST_F(TabForm, AddRefusesWhatIsNotAPlainNumberOfInches) {
    frmTabForm* form = open();
    for (const char* typed : {"1.5 Inch", "abc", "-1", " 2", "1,5", "22.76", "1e2"}) {
        SCOPED_TRACE(typed);
        scripted.desktop.messages.clear();
        form->txtTabStop->setText(QString::fromLatin1(typed));
        EXPECT_EQ(states(form), QStringLiteral("+-"));
        form->cmdSet->click();
        EXPECT_TRUE(entries(form).isEmpty());
        ASSERT_EQ(scripted.desktop.messages.size(), 1);
        EXPECT_EQ(scripted.desktop.messages[0].style, MsgBoxStyle::Exclamation);
        EXPECT_EQ(scripted.desktop.messages[0].title, QStringLiteral("Tab"));
        EXPECT_TRUE(scripted.desktop.messages[0].prompt.contains(QStringLiteral("22.75")));
        EXPECT_EQ(form->txtTabStop->selectedText(), form->txtTabStop->text());
    }
    for (const char* typed : {"22.75", "3.", "07"}) {
        form->txtTabStop->setText(QString::fromLatin1(typed));
        form->cmdSet->click();
    }
    EXPECT_EQ(entries(form), (QStringList{"07", "22.75", "3."}));
    form->cmdOK->click();
    EXPECT_EQ(tabStops(), (QList<int>{10080, 32760, 4320}));
}

TEST_F(TabForm, DeleteAndDeleteAll) {
    pane->setSelTabStops({720, 1440, 2160});
    frmTabForm* form = open();
    form->lstTabs->setCurrentRow(1);
    form->cmdClear->click();
    EXPECT_EQ(entries(form), (QStringList{".5", "1.5"}));
    EXPECT_EQ(chosen(form), QStringLiteral("-"));
    EXPECT_EQ(form->txtTabStop->text(), QStringLiteral("1"));
    EXPECT_EQ(states(form), QStringLiteral("+-"));
    EXPECT_EQ(form->focusWidget(), form->cmdSet);

    form->cmdClearAll->click();
    EXPECT_TRUE(entries(form).isEmpty());
    EXPECT_TRUE(form->txtTabStop->text().isEmpty());
    EXPECT_EQ(states(form), QStringLiteral("--"));
    EXPECT_EQ(form->focusWidget(), form->txtTabStop);
    form->cmdOK->click();
    EXPECT_TRUE(tabStops().isEmpty());
    EXPECT_TRUE(squares(document).isEmpty());
}

TEST_F(TabForm, EveryWayOutRedrawsTheRulerOfTheDocumentActiveThenAndOnlyYesWrites) {
    const struct {
        const char* name;
        std::function<void(frmTabForm*)> leave;
        bool writes;
    } rows[] = {
        {"No", [](frmTabForm* form) { form->cmdCxl->click(); }, false},
        {"Esc", [](frmTabForm* form) { QTest::keyClick(form->lstTabs, Qt::Key_Escape); }, false},
        {"close box", [](frmTabForm* form) { form->close(); }, false},
        {"Yes", [](frmTabForm* form) { form->cmdOK->click(); }, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        for (Wordbox* window : {&document, &other}) {
            window->Text1->setSelTabStops({720});
            window->DrawRuler(window, 0, 7.0f);
        }
        activeDocument = &document;
        frmTabForm* form = open();
        form->txtTabStop->setText(QStringLiteral("2"));
        form->cmdSet_Click();
        // Stops that change behind the rulers' backs, and another document active by the close.
        for (Wordbox* window : {&document, &other}) {
            const QSignalBlocker quiet(window->Text1);
            window->Text1->setSelTabStops({1440});
        }
        activeDocument = &other;
        row.leave(form);

        EXPECT_EQ(frmTabForm::loaded(), nullptr);
        // Yes writes the list to the document active at that moment, too.
        const QList<int> written = row.writes ? QList<int>{720, 2880} : QList<int>{1440};
        EXPECT_EQ(other.Text1->SelTabCount(), written.size());
        EXPECT_EQ(squares(other), QList<qreal>(written.begin(), written.end()));
        EXPECT_EQ(squares(document), (QList<qreal>{720}));
        EXPECT_EQ(tabStops(), (QList<int>{1440}));
    }
}
