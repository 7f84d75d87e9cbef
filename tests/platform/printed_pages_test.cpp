#include "rtf_test_support.h"

#include "platform/PrintedPages.h"

#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The words printed on page `page` of a PDF, as pdftotext reads them back.
QString pageText(const QString& pdf, int page) {
    QProcess process;
    const QString number = QString::number(page);
    process.start(QStringLiteral("pdftotext"), {"-f", number, "-l", number, pdf, "-"});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput()).simplified();
}

} // namespace

// What the document window does not show is printed: the header and footer on every page, the
// footer's page number counting the pages, and the footnotes after the text.
TEST(PrintedPages, HeadersFootersAndFootnotesArePrinted) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
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
    QTemporaryDir dir;
    const QString pdf = dir.filePath("minutes.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
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
