#include "storage/DocumentDefaults.h"
#include "support/rtf_test_support.h"

#include "printing/PrintedPages.h"
#include "rtf/RtfReader.h"
#include "support/PaneTestSupport.h"

#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
    QPrinter printer(QPrinter::HighResolution);
    panetest::printToPdf(printer, pdf);
    PrintedPages::print(*document, printer);

    int pages = 0;
    while (!pageText(pdf, pages + 1).isEmpty())
        ++pages;
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
        QPrinter printer(QPrinter::HighResolution);
        panetest::printToPdf(printer, pdf);
        PrintedPages::print(*document, printer);
        int pages = 0;
        while (!pageText(pdf, pages + 1).isEmpty())
            ++pages;
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
