// quillet-convert IN OUT.pdf prints as the Print command does, with no display.
#include "document/DocumentWindow.h"
#include "files/PaneFile.h"
#include "files/PrintCommand.h"
#include "pane/RichTextBox.h"
#include "support/ScriptedDesktop.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray output(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(60'000)) << qPrintable(program);
    EXPECT_EQ(process.exitCode(), 0) << qPrintable(process.readAllStandardError());
    return process.readAllStandardOutput();
}

// Each page of a PDF as grey pixels at a low resolution: what the reader sees, without the
// file's dates.
QList<QByteArray> pages(const QString& pdf, const QString& folder) {
    const QString prefix = QDir(folder).filePath(QFileInfo(pdf).completeBaseName());
    output(QStringLiteral("pdftoppm"), {"-r", "40", "-gray", pdf, prefix});
    QList<QByteArray> images;
    for (const QFileInfo& page : QDir(folder).entryInfoList(
             {QFileInfo(prefix).fileName() + "-*.pgm"}, QDir::Files, QDir::Name)) {
        QFile file(page.filePath());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        images << file.readAll();
    }
    return images;
}

QStringList words(const QByteArray& text) {
    return QString::fromUtf8(text).split(QRegularExpression(QStringLiteral("\\s+")),
                                         Qt::SkipEmptyParts);
}

} // namespace

TEST(ConvertPdfTest, PrintsThePagesThePrintCommandPrintsWithTheTextConversionsWords) {
    for (const char* tool : {"pdftoppm", "pdftotext"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            GTEST_SKIP() << tool << " (poppler-utils) is not installed";
    // Headers, footers, footnotes and pictures; tables; lists with their numbers; several pages.
    for (const char* name :
         {"office-report.rtf", "pandoc-tables.rtf", "report-lists.rtf", "headers-footers.rtf"}) {
        SCOPED_TRACE(name);
        QTemporaryDir folder;
        const QString input = QStringLiteral(QUILLET_TEST_DATA "/rtf/") + name;
        const QString converted = folder.filePath("converted.pdf");
        const QString text = folder.filePath("converted.txt");
        output(QStringLiteral(QUILLET_CONVERT), {input, converted});
        output(QStringLiteral(QUILLET_CONVERT), {input, text});

        const QString printed = folder.filePath("printed.pdf");
        {
            ScopedScriptedDesktop scripted;
            scripted.desktop.printerAnswers.push_back(printed);
            DocumentWindow window;
            DocumentFile::load(*window.Text1, input);
            PrintCommand::Print_run(&window);
        }
        const QList<QByteArray> convertedPages = pages(converted, folder.path());
        ASSERT_FALSE(convertedPages.isEmpty());
        EXPECT_TRUE(convertedPages == pages(printed, folder.path()));

        // The text conversion's words, in its order, among the printed ones (which add the
        // headers, footers and footnotes), read in the order they were drawn. Spaces aside: a
        // raised footnote mark is a word of its own on paper.
        QFile file(text);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString found =
            words(output(QStringLiteral("pdftotext"),
                         {QStringLiteral("-raw"), converted, QStringLiteral("-")}))
                .join("");
        qsizetype at = 0;
        for (const QString& word : words(file.readAll())) {
            at = found.indexOf(word, at);
            ASSERT_GE(at, 0) << "missing or out of order: " << word.toStdString();
            at += word.size();
        }
    }
}
