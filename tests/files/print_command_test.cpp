#include "files/PrintCommand.h"

#include "document/DocumentWindow.h"
#include "pane/RichTextBox.h"
#include "support/ScriptedDesktop.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
// The printed words, as pdftotext reads them back.
QString pdfText(const QString& path) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput()).simplified();
}
} // namespace

TEST(PrintCommand, PrintsTheSelectionOrTheWholeDocumentToTheChosenPrinter) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    struct Row {
        const char* name;
        int selStart;
        int selLength;
        DialogFlags::Flags flags;
        QStringList printed;
        QStringList notPrinted;
    };
    const Row rows[] = {
        {"nothing selected: the whole document",
         3,
         0,
         DialogFlags::PrintSetup,
         {"First line", "Second line"},
         {}},
        {"a selection: only the selection",
         11,
         6,
         DialogFlags::PrintSetup | DialogFlags::PrintSelection,
         {"Second"},
         {"First", "line"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
        ScopedScriptedDesktop scripted;
        scripted.desktop.printerAnswers.push_back(pdf);

        DocumentWindow window;
        window.Text1->setText(QStringLiteral("First line\nSecond line"));
        window.Text1->setSelStart(row.selStart);
        window.Text1->setSelLength(row.selLength);
        PrintCommand::Print_run(&window);

        EXPECT_EQ(scripted.desktop.printerFlags, QList<DialogFlags::Flags>{row.flags});
        const QString printed = pdfText(pdf);
        for (const QString& words : row.printed)
            EXPECT_TRUE(printed.contains(words)) << printed.toStdString();
        for (const QString& words : row.notPrinted)
            EXPECT_FALSE(printed.contains(words)) << printed.toStdString();
        EXPECT_TRUE(scripted.desktop.messages.isEmpty());
    }
}

TEST(PrintCommand, CancelOrFailureEndsSilently) {
    QTemporaryDir dir;
    ScopedScriptedDesktop scripted;
    // A cancelled dialog (also what a machine without printers gives), then a printer whose
    // output cannot be written.
    scripted.desktop.printerAnswers.push_back(std::nullopt);
    scripted.desktop.printerAnswers.push_back(dir.filePath(QStringLiteral("missing/out.pdf")));
    DocumentWindow window;
    window.Text1->setText(QStringLiteral("text"));
    PrintCommand::Print_run(&window);
    PrintCommand::Print_run(&window);
    EXPECT_EQ(scripted.desktop.printerFlags,
              (QList<DialogFlags::Flags>{DialogFlags::PrintSetup, DialogFlags::PrintSetup}));
    EXPECT_TRUE(scripted.desktop.messages.isEmpty());
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}
