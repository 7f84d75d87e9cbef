// quillet-convert --to: many inputs in one run, as a user or a script runs it.
#include "support/Files.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QByteArray letterRtf = "{\\rtf1\\ansi Dear {\\b caf\\'e9},\\par two\\par}";
const QByteArray letterText = "Dear caf\xC3\xA9,\ntwo";

struct Outcome {
    int exitCode = -1;
    QStringList errors; // standard error's lines but the last, sorted: workers finish in any order
    QString last;
};

// Runs the converter in `folder`, `input` on its standard input.
Outcome convert(const QString& folder, const QStringList& arguments, const QByteArray& input) {
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(QStringLiteral(QUILLET_CONVERT), arguments);
    process.write(input);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(60'000)) << "quillet-convert did not finish";
    QStringList lines =
        QString::fromLocal8Bit(process.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
    Outcome outcome;
    outcome.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    if (!lines.isEmpty())
        outcome.last = lines.takeLast();
    lines.sort();
    outcome.errors = lines;
    return outcome;
}

} // namespace

TEST(ConvertBatchTest, CommandLinesAndWhatTheyGive) {
    const struct {
        const char* name;
        QStringList arguments;
        QByteArray input; // standard input
        int exitCode;
        QStringList errors; // sorted
        QString last;
        // Files afterwards, and their bytes ("?" for any, "-" for no such file).
        QList<std::pair<const char*, QByteArray>> files;
    } cases[] = {
        {"a bad input among good ones",
         {"--to", "txt", "a.rtf", "fake.rtf", "folder.rtf", "missing.rtf", "b.htm"},
         {},
         1,
         {"quillet-convert: cannot read folder.rtf: Not a regular file",
          "quillet-convert: cannot read missing.rtf: No such file or directory",
          "quillet-convert: fake.rtf is not a rich-text file"},
         "quillet-convert: 2 converted, 3 failed",
         {{"a.txt", letterText}, {"b.txt", "Hello"}, {"fake.txt", "-"}}},
        {"an existing output is replaced, beside its input by default",
         {"--to=txt", "sub/c.rtf"},
         {},
         0,
         {},
         "quillet-convert: 1 converted, 0 failed",
         {{"sub/c.txt", letterText}}},
        {"an input is never its own output",
         {"--to", "RTF", "a.rtf"},
         {},
         1,
         {"quillet-convert: cannot convert a.rtf: its output would replace it"},
         "quillet-convert: 0 converted, 1 failed",
         {{"a.rtf", letterRtf}}},
        {"two inputs, one output",
         {"--to", "txt", "a.rtf", "a.htm"},
         {},
         1,
         {"quillet-convert: cannot convert a.htm: a.txt is already the output of a.rtf"},
         "quillet-convert: 1 converted, 1 failed",
         {{"a.txt", letterText}}},
        {"an option without its value",
         {"--to"},
         {},
         1,
         {},
         "quillet-convert: --to needs a value (see --help)",
         {}},
        {"a list on standard input, into a new folder, on one worker",
         {"--to", "html", "--jobs", "1", "--out-dir", "out/new", "-", "--quiet"},
         "a.rtf\n\nb.htm\n",
         0,
         {},
         "",
         {{"out/new/a.html", "?"}, {"out/new/b.html", "?"}}},
        {"an unknown format",
         {"--to", "doc", "a.rtf"},
         {},
         1,
         {},
         "quillet-convert: unknown format: doc (use rtf, txt, htm, html, pdf)",
         {}},
        {"no jobs",
         {"--to", "txt", "-j", "0", "a.rtf"},
         {},
         1,
         {},
         "quillet-convert: --jobs needs a number of 1 or more, not 0",
         {}},
        {"an unknown option",
         {"--to", "txt", "--fast", "a.rtf"},
         {},
         1,
         {},
         "quillet-convert: unknown option: --fast (see --help)",
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        const auto path = [&](const char* name) {
            return folder.filePath(QString::fromUtf8(name));
        };
        ASSERT_TRUE(testfiles::write(path("a.rtf"), letterRtf));
        ASSERT_TRUE(testfiles::write(path("a.txt"), "old"));
        ASSERT_TRUE(testfiles::write(path("fake.rtf"), "plain words"));
        ASSERT_TRUE(testfiles::write(path("b.htm"), "<p>Hello</p>"));
        ASSERT_TRUE(testfiles::write(path("a.htm"), "<p>Hi</p>"));
        ASSERT_TRUE(testfiles::write(path("sub/c.rtf"), letterRtf));
        ASSERT_TRUE(testfiles::write(path("sub/c.txt"), "old"));
        ASSERT_TRUE(QDir().mkpath(path("folder.rtf")));

        const Outcome outcome = convert(folder.path(), c.arguments, c.input);
        EXPECT_EQ(outcome.exitCode, c.exitCode);
        EXPECT_EQ(outcome.errors, c.errors);
        EXPECT_EQ(outcome.last, c.last);
        for (const auto& [name, bytes] : c.files) {
            SCOPED_TRACE(name);
            if (bytes == "-")
                EXPECT_FALSE(QFileInfo::exists(path(name)));
            else if (bytes == "?")
                EXPECT_TRUE(QFileInfo(path(name)).size() > 0);
            else
                EXPECT_EQ(testfiles::read(path(name)), bytes);
        }
        // Nothing half-written is left behind.
        EXPECT_TRUE(QDir(folder.path()).entryList({"*.tmp*", ".*.tmp*"}, QDir::Files).isEmpty());
    }
}
