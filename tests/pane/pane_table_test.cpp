#include "files/PaneFile.h"
#include "model/Twips.h"
#include "pane/RichTextBox.h"
#include "storage/DocumentFile.h"
#include "support/Files.h"
#include "support/PaneTestSupport.h"
#include "support/ScriptedDesktop.h"

#include <QTemporaryDir>
#include <QTextTable>
#include <gtest/gtest.h>

namespace {

class PaneTable : public ::testing::Test {
protected:
    void SetUp() override { DocumentFile::load(pane, QUILLET_TEST_DATA "/pane/tables.rtf"); }
    // Selects `word` where Text() has it.
    void select(const QString& word) {
        const int at = int(pane.Text().indexOf(word));
        ASSERT_GE(at, 0) << qPrintable(word);
        panetest::select(pane, at, int(word.size()));
    }

    ScopedScriptedDesktop scripted;
    QTemporaryDir dir;
    RichTextBox pane;
};

} // namespace

TEST_F(PaneTable, TextCountsOneCharacterForEachCellStartAndStaysInStepWithSelStart) {
    // A cell's start is a tab, or a line break for a row's first cell; the table's start and end
    // are line breaks. A cell ending with a nested table has an empty paragraph after it.
    EXPECT_EQ(pane.Text(), "Before\nName\tAge\nAnn\t31\nBob\nin\n\nAfter");
    for (const char* word : {"Before", "Name", "Age", "Ann", "31", "Bob", "in", "After"}) {
        select(word);
        EXPECT_EQ(pane.SelText(), word);
    }
    select("31");
    EXPECT_TRUE(pane.textCursor().currentTable());

    // Edits in cells keep the text in step, as a save as plain text writes it.
    select("Age");
    pane.setSelText("Years");
    select("in");
    pane.setSelText("inner");
    const QString text = pane.Text();
    EXPECT_EQ(text, "Before\nName\tYears\nAnn\t31\nBob\ninner\n\nAfter");
    EXPECT_EQ(DocumentFile::plainText(*pane.document()), text);
    select("Years");
    EXPECT_EQ(pane.SelText(), "Years");

    // Deleting a selection of cells empties them and keeps the table.
    panetest::select(pane, int(text.indexOf("Name")),
                     int(text.indexOf("31") + 1 - text.indexOf("Name")));
    pane.setSelText(QString());
    EXPECT_EQ(pane.Text(), "Before\n\t\n\t\nBob\ninner\n\nAfter");
    EXPECT_EQ(DocumentFile::plainText(*pane.document()), pane.Text());
    pane.undo();
    EXPECT_EQ(pane.Text(), text);

    // Saved and opened again, the same text and the same tables.
    const QString saved = dir.filePath("saved.rtf");
    DocumentFile::save(pane, saved);
    RichTextBox reopened;
    DocumentFile::load(reopened, saved);
    EXPECT_EQ(reopened.Text(), text);
}

TEST_F(PaneTable, ParagraphAndTabCommandsApplyToTheCellsChosen) {
    select("Age");
    pane.setSelTabStops({720});
    pane.setSelAlignment(Alignment::Centre);
    pane.setSelIndent(360);
    EXPECT_EQ(pane.SelTabCount(), 1);
    EXPECT_EQ(pane.SelTabs(0), 720);
    EXPECT_EQ(pane.SelAlignment(), Alignment::Centre);
    EXPECT_EQ(pane.SelIndent(), 360);
    select("Name");
    EXPECT_EQ(pane.SelTabCount(), 0);
    EXPECT_EQ(pane.SelAlignment(), Alignment::Left);

    // Four cells chosen: their stops read as mixed, as for paragraphs whose stops differ, and
    // set, they go to those cells' paragraphs alone.
    const QString text = pane.Text();
    panetest::select(pane, int(text.indexOf("Name")),
                     int(text.indexOf("31") + 1 - text.indexOf("Name")));
    ASSERT_TRUE(pane.textCursor().hasComplexSelection());
    EXPECT_EQ(pane.SelTabCount(), std::nullopt);
    EXPECT_EQ(pane.SelAlignment(), std::nullopt);
    pane.setSelTabStops({1440});
    pane.setSelAlignment(Alignment::Right);
    for (const char* word : {"Name", "Age", "Ann", "31"}) {
        select(word);
        EXPECT_EQ(pane.SelTabs(0), 1440) << word;
        EXPECT_EQ(pane.SelAlignment(), Alignment::Right) << word;
    }
    for (const char* word : {"Before", "Bob", "After"}) {
        select(word);
        EXPECT_EQ(pane.SelTabCount(), 0) << word;
        EXPECT_EQ(pane.SelAlignment(), Alignment::Left) << word;
    }
    // Text of one cell with text outside the table is several places too.
    panetest::select(pane, 0, int(text.indexOf("Age")));
    EXPECT_EQ(pane.SelTabCount(), std::nullopt);
}

TEST_F(PaneTable, TheRulersColumnIsTheCaretsCell) {
    panetest::show(pane, 600, 300);
    const auto caretAt = [&](const char* word) {
        pane.setSelStart(int(pane.Text().indexOf(QLatin1String(word))));
        return pane.cursorRect().left();
    };
    const int margin = caretAt("Before");
    EXPECT_EQ(pane.SelColumnLeft(), 0);
    // A cell's text starts where its stops count from: the ruler's squares stand over them.
    for (const char* word : {"Name", "Age", "in"}) {
        const int x = caretAt(word);
        EXPECT_NEAR(pane.SelColumnLeft(), (x - margin) * 15, 15) << word;
    }
    caretAt("Age");
    EXPECT_GT(pane.SelColumnLeft(), 1000);
}
