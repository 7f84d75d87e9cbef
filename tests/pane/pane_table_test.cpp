#include "files/PaneFile.h"
#include "model/Twips.h"
#include "pane/RichTextBox.h"
#include "storage/DocumentFile.h"
#include "support/Files.h"
#include "support/PaneTestSupport.h"
#include "support/ScriptedDesktop.h"

#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextTable>
#include <gtest/gtest.h>

#include <vector>

namespace {

// Two rows of two cells, the second row's first cell merged down into a third row, and a table
// nested in the last cell.
const QByteArray tables =
    "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard Before\\par"
    "\\trowd\\cellx2000\\cellx4000\\pard\\intbl Name\\cell Age\\cell\\row"
    "\\trowd\\clvmgf\\cellx2000\\cellx4000\\pard\\intbl Ann\\cell 31\\cell\\row"
    "\\trowd\\clvmrg\\cellx2000\\cellx4000\\pard\\intbl\\cell Bob\\par"
    "\\pard\\intbl\\itap2 in\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000\\nestrow}"
    "{\\nonesttables\\par}\\pard\\intbl\\itap1\\cell\\row"
    "\\pard After\\par}";

class PaneTable : public ::testing::Test {
protected:
    void SetUp() override {
        const QString file = dir.filePath("tables.rtf");
        ASSERT_TRUE(testfiles::write(file, tables));
        DocumentFile::load(pane, file);
    }
    // Selects `word` where Text() has it.
    void select(const QString& word) {
        const int at = int(pane.Text().indexOf(word));
        ASSERT_GE(at, 0) << qPrintable(word);
        panetest::select(pane, at, int(word.size()));
    }
    const QTextTable* outer() const {
        return qobject_cast<const QTextTable*>(
            pane.document()->rootFrame()->childFrames().value(0));
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

    select("Bob");
    pane.setSelBullet(true);
    EXPECT_EQ(pane.SelBullet(), true);
    pane.setSelHangingIndent(360);
    EXPECT_EQ(pane.SelHangingIndent(), 360);
    EXPECT_EQ(outer()->cellAt(1, 0).rowSpan(), 2);
}

namespace {

// The longest run of dark pixels along any row of the image, and along any column.
std::pair<int, int> longestDarkRuns(const QImage& image) {
    int across = 0;
    int down = 0;
    std::vector<int> column(size_t(image.width()), 0); // the run down to this row
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0, run = 0; x < image.width(); ++x) {
            const bool dark = qGray(image.pixel(x, y)) < 128;
            run = dark ? run + 1 : 0;
            int& runDown = column[size_t(x)];
            runDown = dark ? runDown + 1 : 0;
            across = std::max(across, run);
            down = std::max(down, runDown);
        }
    }
    return {across, down};
}

} // namespace

// Printing goes through Qt's layout on a copy of the document: the cells' borders are lines in
// the PDF, two inches across and a row high at least.
TEST_F(PaneTable, PrintedTablesShowTheirGrid) {
    const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
    if (pdftoppm.isEmpty())
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    const auto printed = [&](const char* border) {
        const QString name = QString::fromLatin1(border).remove('\\');
        const QString file = dir.filePath(name + ".rtf");
        const QByteArray cell = QByteArray("\\clbrdrt") + border + "\\clbrdrl" + border +
                                "\\clbrdrb" + border + "\\clbrdrr" + border;
        testfiles::write(file, "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\trowd" + cell +
                                   "\\cellx2880" + cell +
                                   "\\cellx5760\\pard\\intbl one\\cell "
                                   "two\\cell\\row\\pard\\par}");
        RichTextBox shown;
        DocumentFile::load(shown, file);
        QPrinter printer(QPrinter::HighResolution);
        panetest::printToPdf(printer, dir.filePath(name + ".pdf"));
        shown.SelPrint(printer);
        // 72 dots to the inch: two inches are 144 dots.
        QProcess::execute(pdftoppm, {"-r", "72", "-png", "-singlefile", dir.filePath(name + ".pdf"),
                                     dir.filePath(name)});
        const QImage image(dir.filePath(name + ".png"));
        EXPECT_FALSE(image.isNull()) << qPrintable(name);
        return longestDarkRuns(image);
    };
    const auto [across, down] = printed("\\brdrs\\brdrw30");
    EXPECT_GE(across, 2 * 144 - 4);
    EXPECT_GE(down, 12);
    const auto [acrossNone, downNone] = printed("\\brdrnone");
    EXPECT_LT(acrossNone, 72);
    EXPECT_LT(downNone, 12);
}
