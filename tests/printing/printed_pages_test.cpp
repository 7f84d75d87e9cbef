#include "storage/DocumentDefaults.h"
#include "support/rtf_test_support.h"

#include "layout/PaneLayout.h"
#include "printing/PrintedPages.h"
#include "rtf/RtfReader.h"
#include "support/PaneTestSupport.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace {

// What pdftotext reads from `pdf` with `options` before the file's name.
QString pdftotext(QStringList options, const QString& pdf) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), options << pdf << "-");
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The words printed on page `page` of a PDF.
QString pageText(const QString& pdf, int page) {
    const QString number = QString::number(page);
    return pdftotext({"-f", number, "-l", number}, pdf).simplified();
}

// The box of each word printed on the first page of a PDF, in points from the paper's top left
// corner.
QMap<QString, QRectF> wordBoxes(const QString& pdf) {
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" "
                       "yMax=\"([0-9.]+)\">([^<]*)<"));
    QMap<QString, QRectF> boxes;
    for (const QRegularExpressionMatch& match :
         word.globalMatch(pdftotext({"-bbox", "-f", "1", "-l", "1"}, pdf))) {
        boxes.insert(match.captured(5),
                     QRectF(QPointF(match.captured(1).toDouble(), match.captured(2).toDouble()),
                            QPointF(match.captured(3).toDouble(), match.captured(4).toDouble())));
    }
    return boxes;
}

// Prints `document` to `pdf` as the Print command does; returns how many pages hold text.
int printedPages(const QTextDocument& document, const QString& pdf) {
    QPrinter printer(QPrinter::HighResolution);
    panetest::printToPdf(printer, pdf);
    PrintedPages::print(document, printer);
    int pages = 0;
    while (!pageText(pdf, pages + 1).isEmpty())
        ++pages;
    return pages;
}

class PrintedPagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    }
    QTemporaryDir dir;
};

} // namespace

// What the document window does not show is printed: the header and footer on every page, the
// footer's page number counting the pages, and the footnotes after the text.
TEST_F(PrintedPagesTest, HeadersFootersAndFootnotesArePrinted) {
    QByteArray body;
    for (int i = 1; i <= 90; ++i)
        body += "Paragraph " + QByteArray::number(i) + " of the minutes.\\par ";
    auto document = rtftest::readRtf(
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\headerr Harbour minutes (odd)\\par}"
        "{\\headerl Harbour minutes (even)\\par}{\\footer Sheet {\\field{\\*\\fldinst PAGE}"
        "{\\fldrslt 9}} of {\\field{\\*\\fldinst NUMPAGES}{\\fldrslt 9}}\\par}\\pard " +
        body +
        "Approved{\\super\\chftn}{\\footnote\\pard{\\super\\chftn} By five votes.} at "
        "last.{\\chftn}{\\*\\footnote \\chftn  Unanimous.}}");
    const QString pdf = dir.filePath("minutes.pdf");
    const int pages = printedPages(*document, pdf);
    ASSERT_GE(pages, 2);
    for (int page = 1; page <= pages; ++page) {
        SCOPED_TRACE(page);
        const QString text = pageText(pdf, page);
        EXPECT_TRUE(text.contains(page % 2 ? "Harbour minutes (odd)" : "Harbour minutes (even)"))
            << qPrintable(text);
        EXPECT_TRUE(text.contains(QString("Sheet %1 of %2").arg(page).arg(pages)))
            << qPrintable(text);
    }
    const QString last = pageText(pdf, pages);
    EXPECT_TRUE(last.contains("Approved1 at last.2")) << qPrintable(last);
    // The notes after a rule below the text, in order; their raised numbers are read on a line
    // of their own.
    const qsizetype notes = last.indexOf("________________ 1 2");
    EXPECT_GT(notes, last.indexOf("at last.")) << qPrintable(last.right(200));
    EXPECT_GT(last.indexOf("By five votes. Unanimous."), notes) << qPrintable(last.right(200));
    // The document itself is as it was.
    EXPECT_FALSE(document->toPlainText().contains("By five votes"));
}

// On paper indents, tab stops and list numbers stand as far from the text's left edge as they do
// on the screen, at any printer resolution.
TEST_F(PrintedPagesTest, IndentsTabsAndNumbersKeepTheirDistancesOnPaper) {
    // A document as the pane holds one, with its default stops every half inch.
    QTextDocument document;
    DocumentDefaults::setUp(document);
    rtf::read("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}"
              "{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}\\listid7}}"
              "{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}}"
              "\\pard Edge\\par"
              "\\pard\\li1440 Inch\\par"
              "\\pard\\li720\\fi360\\tx4320\\tx7200 Alpha\\tab Bravo\\tab Charlie\\par"
              "\\pard\\li720\\fi360 Delta\\tab Echo\\par"
              "{\\listtext 1.\\tab}\\pard\\fi-360\\li720\\ls1 Numbered\\par}",
              document);
    for (const QPrinter::PrinterMode mode :
         {QPrinter::HighResolution, QPrinter::ScreenResolution}) {
        SCOPED_TRACE(mode == QPrinter::HighResolution ? "high resolution" : "screen resolution");
        const QString pdf =
            dir.filePath(mode == QPrinter::HighResolution ? "high.pdf" : "screen.pdf");
        QPrinter printer(mode);
        panetest::printToPdf(printer, pdf);
        PrintedPages::print(document, printer);

        const QMap<QString, QRectF> boxes = wordBoxes(pdf);
        ASSERT_TRUE(boxes.contains("Edge")) << boxes.keys().join(' ').toStdString();
        const double edge = boxes.value("Edge").left();
        const struct {
            const char* word;
            double points;
        } expected[] = {
            {"Inch", 72},  {"Alpha", 54}, {"Bravo", 216},   {"Charlie", 360},
            {"Delta", 54}, {"Echo", 108}, {"Numbered", 36},
        };
        for (const auto& [word, points] : expected) {
            ASSERT_TRUE(boxes.contains(word)) << word;
            EXPECT_NEAR(boxes.value(word).left() - edge, points, 1.0) << word;
        }
        // The number stands in the hanging indent, not in the paper's margin.
        ASSERT_TRUE(boxes.contains("1."));
        EXPECT_GE(boxes.value("1.").left() - edge, -0.5);
        EXPECT_LT(boxes.value("1.").left() - edge, 36);
    }
}

// Each section prints with its own headers from the page it starts on; a section without any of
// its own goes on with the one before's. Its first paragraph starts a page (\pagebb).
TEST_F(PrintedPagesTest, LaterSectionsPrintTheirOwnHeaders) {
    auto document = rtftest::readRtf(
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\header Opening part\\par}\\pard First words.\\sect"
        "\\sectd{\\header Closing part\\par}\\pard\\pagebb Second words.\\sect"
        "\\sectd\\pard\\pagebb Third words.\\par}");
    const QString pdf = dir.filePath("sections.pdf");
    QPrinter printer(QPrinter::HighResolution);
    panetest::printToPdf(printer, pdf);
    PrintedPages::print(*document, printer);

    const QString pages[] = {pageText(pdf, 1), pageText(pdf, 2), pageText(pdf, 3)};
    EXPECT_TRUE(pages[0].contains("Opening part") && pages[0].contains("First words"))
        << pages[0].toStdString();
    EXPECT_TRUE(pages[1].contains("Closing part") && pages[1].contains("Second words"))
        << pages[1].toStdString();
    EXPECT_FALSE(pages[1].contains("Opening part")) << pages[1].toStdString();
    EXPECT_TRUE(pages[2].contains("Closing part") && pages[2].contains("Third words"))
        << pages[2].toStdString();
}

// Paper carries the page numbers the document holds and no others: none where it has no footer,
// and the page's own number where a footer's field was saved without a result.
TEST_F(PrintedPagesTest, PageNumbersOnlyWhereTheDocumentHoldsThem) {
    QByteArray body;
    for (int i = 1; i <= 120; ++i)
        body += "Line " + QByteArray::number(i * 1000) + "\\par ";
    const struct {
        const char* name;
        QByteArray footer;
        const char* expected; // %1 the page, %2 the pages; empty: no number at all
    } cases[] = {
        {"no footer", "", ""},
        {"empty result at the end", "{\\footer Page {\\field{\\*\\fldinst PAGE}{\\fldrslt }}\\par}",
         "Page %1"},
        {"empty results between words",
         "{\\footer Page {\\field{\\*\\fldinst PAGE}{\\fldrslt }} of "
         "{\\field{\\*\\fldinst NUMPAGES}{\\fldrslt }} pages\\par}",
         "Page %1 of %2 pages"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto document = rtftest::readRtf("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}" + c.footer +
                                         "\\pard " + body + "}");
        const QString pdf = dir.filePath(QString::fromLatin1(c.name) + ".pdf");
        const int pages = printedPages(*document, pdf);
        ASSERT_GE(pages, 2);
        for (int page = 1; page <= pages; ++page) {
            SCOPED_TRACE(page);
            // Every word of the body is a "Line" or a number of four digits or more.
            QStringList extra = pageText(pdf, page).split(' ');
            extra.removeIf([](const QString& word) {
                return word == "Line" || (word.size() >= 4 && word.toInt() >= 1000);
            });
            EXPECT_EQ(extra.join(' '), *c.expected
                                           ? QString::fromLatin1(c.expected).arg(page).arg(pages)
                                           : QString());
        }
    }
}
// Tables stand on paper where the window shows them, cell for cell; a paragraph that asks for a
// new page starts one; fixed line heights keep their spacing; rows of a long table are never cut
// in two by a page's end; tables nested level in level all print.
TEST_F(PrintedPagesTest, TablesPageBreaksAndLineHeightsOnPaperAsOnScreen) {
    QByteArray rows;
    for (int row = 1; row <= 80; ++row)
        rows += "\\trowd\\trgaph108\\cellx2880\\cellx5760\\pard\\intbl Row" +
                QByteArray::number(row) + "\\cell Second" + QByteArray::number(row) +
                "\\par line\\cell\\row";
    const QByteArray rtf =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard Edge\\par"
        "\\trowd\\trgaph108\\trleft360\\cellx2880\\cellx5760\\pard\\intbl Left\\cell "
        "\\pard\\intbl\\tx720 Tab\\tab Stop\\cell\\row"
        "\\pard Fixed one\\line Fixed two\\par"
        "\\pard Next page\\par" +
        rows + "\\pard After\\par}";
    QTextDocument document;
    DocumentDefaults::setUp(document);
    rtf::read(rtf, document);
    // As the reader gives a new page and exact line heights.
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        if (block.text() == "Next page")
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        else if (block.text().startsWith("Fixed"))
            format.setLineHeight(24 * 96 / 72.0, QTextBlockFormat::FixedHeight);
        else
            continue;
        QTextCursor(block).setBlockFormat(format);
    }
    const QString pdf = dir.filePath("tables.pdf");
    QPrinter printer(QPrinter::HighResolution);
    panetest::printToPdf(printer, pdf);
    PrintedPages::print(document, printer);

    // Where the pane's layout puts the same words, in points from the margin.
    QTextDocument shown;
    DocumentDefaults::setUp(shown);
    rtf::read(rtf, shown);
    shown.setDocumentLayout(new PaneLayout(&shown));
    shown.setPageSize(QSizeF(700, -1));
    const auto onScreen = [&](const QString& text, int offset) {
        for (QTextBlock block = shown.begin(); block.isValid(); block = block.next()) {
            if (!block.text().startsWith(text))
                continue;
            (void)shown.documentLayout()->blockBoundingRect(block);
            const QTextLayout* layout = block.layout();
            return (layout->position().x() +
                    layout->lineForTextPosition(offset).cursorToX(offset)) *
                   72 / 96;
        }
        ADD_FAILURE() << qPrintable(text);
        return 0.0;
    };
    const QMap<QString, QRectF> first = wordBoxes(pdf);
    for (const char* word : {"Edge", "Left", "Tab", "Stop", "Fixed"})
        ASSERT_TRUE(first.contains(word)) << word;
    const double edge = first.value("Edge").left();
    EXPECT_NEAR(first.value("Left").left() - edge, onScreen("Left", 0) - onScreen("Edge", 0), 1);
    EXPECT_NEAR(first.value("Tab").left() - edge, onScreen("Tab", 0) - onScreen("Edge", 0), 1);
    EXPECT_NEAR(first.value("Stop").left() - edge, onScreen("Tab", 4) - onScreen("Edge", 0), 1);
    // Lines exactly 24 points apart.
    const QStringList fixed = pdftotext({"-bbox", "-f", "1", "-l", "1"}, pdf)
                                  .split(u'\n')
                                  .filter(QStringLiteral(">Fixed<"));
    ASSERT_EQ(fixed.size(), 2);
    static const QRegularExpression top(QStringLiteral("yMin=\"([0-9.]+)\""));
    EXPECT_NEAR(top.match(fixed[1]).captured(1).toDouble() -
                    top.match(fixed[0]).captured(1).toDouble(),
                24, 0.5);
    // The paragraph asking for a new page starts the second; each row's two lines stay together.
    EXPECT_FALSE(pageText(pdf, 1).contains("Next page"));
    EXPECT_TRUE(pageText(pdf, 2).startsWith("Next page"));
    for (int page = 2; !pageText(pdf, page).isEmpty(); ++page) {
        const QString text = pageText(pdf, page);
        static const QRegularExpression second(QStringLiteral("Second(\\d+) (\\S+)"));
        for (const QRegularExpressionMatch& match : second.globalMatch(text))
            EXPECT_EQ(match.captured(2), "line") << "row " << qPrintable(match.captured(1));
    }
}

TEST_F(PrintedPagesTest, TablesNestedEightDeepPrintEveryLevel) {
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}";
    // Each level a row of two cells, the first holding the next level, a little narrower.
    std::function<QByteArray(int)> level = [&](int depth) {
        const QByteArray itap = "\\itap" + QByteArray::number(depth);
        const QByteArray cell = depth == 1 ? "\\cell " : "\\nestcell ";
        QByteArray out = "\\pard\\intbl" + itap + " Level" + QByteArray::number(depth) + "\\par ";
        if (depth < 8)
            out += level(depth + 1);
        out += "\\pard\\intbl" + itap + " Below" + QByteArray::number(depth) + cell +
               "\\pard\\intbl" + itap + " x" + cell;
        const int width = 7500 - 400 * depth;
        const QByteArray row = "\\trowd\\trgaph36\\cellx" + QByteArray::number(width - 400) +
                               "\\cellx" + QByteArray::number(width);
        return depth == 1 ? out + row + "\\row "
                          : out + "{\\*\\nesttableprops" + row + "\\nestrow}{\\nonesttables\\par}";
    };
    rtf += level(1) + "\\pard After\\par}";
    QTextDocument document;
    DocumentDefaults::setUp(document);
    rtf::read(rtf, document);
    const QString pdf = dir.filePath("nested.pdf");
    QPrinter printer(QPrinter::HighResolution);
    panetest::printToPdf(printer, pdf);
    PrintedPages::print(document, printer);
    const QString text = pageText(pdf, 1);
    for (int depth = 1; depth <= 8; ++depth) {
        EXPECT_TRUE(text.contains(QStringLiteral("Level%1").arg(depth))) << depth;
        EXPECT_TRUE(text.contains(QStringLiteral("Below%1").arg(depth))) << depth;
    }
    EXPECT_TRUE(text.contains("After"));
}
