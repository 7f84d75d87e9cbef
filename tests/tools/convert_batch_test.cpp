// quillet-convert --to: many inputs in one run, as a user or a script runs it.
#include "support/Files.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>

namespace {

const QByteArray letterRtf = "{\\rtf1\\ansi Dear {\\b caf\\'e9},\\par two\\par}";
const QByteArray letterText = "Dear caf\xC3\xA9,\ntwo";

struct Outcome {
    int exitCode = -1;
    QStringList errors; // standard error's lines but the last, sorted: workers finish in any order
    QString last;
};

Outcome outcomeOf(QProcess& process) {
    QStringList lines =
        QString::fromUtf8(process.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
    Outcome outcome;
    outcome.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    if (!lines.isEmpty())
        outcome.last = lines.takeLast();
    lines.sort();
    outcome.errors = lines;
    return outcome;
}

// Runs the converter in `folder`, `input` on its standard input, through `wrapper` (a program
// and its first arguments) when given.
Outcome convert(const QString& folder, const QStringList& arguments, const QByteArray& input,
                const QStringList& wrapper = {}) {
    const QStringList command = wrapper + QStringList{QStringLiteral(QUILLET_CONVERT)} + arguments;
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(command.first(), command.mid(1));
    process.write(input);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(60'000)) << "quillet-convert did not finish";
    return outcomeOf(process);
}

// The hidden files a write in progress leaves, anywhere under `folder`.
QStringList leftBehind(const QString& folder) {
    QStringList found;
    for (const QString& sub : QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        found += leftBehind(folder + u'/' + sub);
    for (const QString& name : QDir(folder).entryList({".*.tmp"}, QDir::Files | QDir::Hidden))
        found << folder + u'/' + name;
    return found;
}

// An RTF document of `paragraphs` paragraphs of text.
QByteArray longLetter(int paragraphs) {
    QByteArray rtf = "{\\rtf1\\ansi ";
    for (int i = 0; i < paragraphs; ++i)
        rtf += "Paragraph " + QByteArray::number(i) + " of a long letter\\par ";
    return rtf + '}';
}

} // namespace

TEST(ConvertBatchTest, CommandLinesAndWhatTheyGive) {
    // "@" in an argument or a file's name stands for the folder the case runs in.
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
        {"beside its input, a file the batch did not make is kept",
         {"--to", "txt", "notes.rtf", "sub/c.rtf"},
         {},
         1,
         {"quillet-convert: cannot convert notes.rtf: notes.txt was already there and is kept "
          "(--overwrite replaces it)",
          "quillet-convert: cannot convert sub/c.rtf: sub/c.txt was already there and is kept "
          "(--overwrite replaces it)"},
         "quillet-convert: 0 converted, 2 failed",
         {{"notes.txt", "mine"}, {"sub/c.txt", "old"}}},
        {"--overwrite replaces it",
         {"--to=txt", "--overwrite", "notes.rtf"},
         {},
         0,
         {},
         "quillet-convert: 1 converted, 0 failed",
         {{"notes.txt", letterText}}},
        {"in the out dir, an output that exists is replaced",
         {"--to", "txt", "--out-dir", "out", "sub/c.rtf"},
         {},
         0,
         {},
         "quillet-convert: 1 converted, 0 failed",
         {{"out/c.txt", letterText}}},
        {"an input is never its own output",
         {"--to", "RTF", "a.rtf"},
         {},
         1,
         {"quillet-convert: cannot convert a.rtf: its output would replace it"},
         "quillet-convert: 0 converted, 1 failed",
         {{"a.rtf", letterRtf}}},
        {"an input given twice, by two names",
         {"--to", "txt", "a.rtf", "./a.rtf"},
         {},
         1,
         {"quillet-convert: cannot convert ./a.rtf: a duplicate of a.rtf"},
         "quillet-convert: 1 converted, 1 failed",
         {{"a.txt", letterText}}},
        {"two inputs, one output",
         {"--to", "txt", "a.rtf", "a.htm"},
         {},
         1,
         {"quillet-convert: cannot convert a.htm: a.txt is already the output of a.rtf"},
         "quillet-convert: 1 converted, 1 failed",
         {{"a.txt", letterText}}},
        {"an output that would replace an input given after it",
         {"--to", "txt", "--out-dir", "sub", "other/c.rtf", "sub/c.txt"},
         {},
         1,
         {"quillet-convert: cannot convert other/c.rtf: sub/c.txt is already an input",
          "quillet-convert: cannot convert sub/c.txt: its output would replace it"},
         "quillet-convert: 0 converted, 2 failed",
         {{"sub/c.txt", "old"}}},
        {"a list with CRLF line ends, its names shown as text",
         {"--to", "txt", "-"},
         "a.rtf\r\nb.htm\r\n\r\nbad\x1b[2J\r\xff.rtf\r\n",
         1,
         {"quillet-convert: cannot read bad\\x1b[2J\\r\\xff.rtf: No such file or directory"},
         "quillet-convert: 2 converted, 1 failed",
         {{"a.txt", letterText}, {"b.txt", "Hello"}}},
        {"a name listed twice, a line longer than a name",
         {"--to", "txt", "--quiet", "-"},
         "a.rtf\n" + QByteArray(5000, 'x') + "\n./a.rtf\n",
         1,
         {"quillet-convert: line 2 of the list is longer than a file's name can be"},
         "quillet-convert: cannot convert ./a.rtf: a duplicate of the name on line 1 of the list",
         {{"a.txt", letterText}}},
        {"a list on standard input, into a new folder, on one worker",
         {"--to", "html", "--jobs", "1", "--out-dir", "out/new", "-", "--quiet"},
         "a.rtf\n\nb.htm\n",
         0,
         {},
         "",
         {{"out/new/a.html", "?"}, {"out/new/b.html", "?"}}},
        {"the tree kept: relative names by their folders, whole paths by all of theirs",
         {"--to", "txt", "--out-dir", "out", "--keep-tree", "sub/c.rtf", "other/c.rtf", "@/a.rtf",
          "../a.rtf", "--", "-b.rtf"},
         {},
         1,
         {"quillet-convert: cannot convert ../a.rtf: with --keep-tree its output would be "
          "outside out (name it from a folder above it, or by its whole path)"},
         "quillet-convert: 4 converted, 1 failed",
         {{"out/sub/c.txt", letterText},
          {"out/other/c.txt", letterText},
          {"out@/a.txt", letterText},
          {"out/-b.txt", letterText}}},
        {"a folder that cannot be made says why",
         {"--to", "txt", "--out-dir", "a.rtf/out", "b.htm"},
         {},
         1,
         {},
         "quillet-convert: cannot make the folder a.rtf/out: Not a directory",
         {}},
        {"--keep-tree alone",
         {"--to", "txt", "--keep-tree", "a.rtf"},
         {},
         1,
         {},
         "quillet-convert: --keep-tree needs --out-dir (see --help)",
         {}},
        {"an option without its value",
         {"--to"},
         {},
         1,
         {},
         "quillet-convert: --to needs a value (see --help)",
         {}},
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
        QTemporaryDir top;
        const QString root = top.filePath(QStringLiteral("run"));
        const auto path = [&](const QString& name) {
            return root + u'/' + QString(name).replace(u'@', root);
        };
        for (const auto& [name, bytes] :
             std::initializer_list<std::pair<const char*, QByteArray>>{{"a.rtf", letterRtf},
                                                                       {"-b.rtf", letterRtf},
                                                                       {"notes.rtf", letterRtf},
                                                                       {"notes.txt", "mine"},
                                                                       {"fake.rtf", "plain words"},
                                                                       {"b.htm", "<p>Hello</p>"},
                                                                       {"a.htm", "<p>Hi</p>"},
                                                                       {"sub/c.rtf", letterRtf},
                                                                       {"sub/c.txt", "old"},
                                                                       {"other/c.rtf", letterRtf},
                                                                       {"out/c.txt", "old"},
                                                                       {"../a.rtf", letterRtf}})
            ASSERT_TRUE(testfiles::write(path(name), bytes));
        ASSERT_TRUE(QDir().mkpath(path("folder.rtf")));
        QStringList arguments = c.arguments;
        arguments.replaceInStrings(QStringLiteral("@"), root);

        const Outcome outcome = convert(root, arguments, c.input);
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
        EXPECT_EQ(leftBehind(top.path()), QStringList());
    }
}

// A worker that dies while it writes (here at the file size limit, as at a kill or a crash)
// fails its file alone and leaves no part of its output behind.
TEST(ConvertBatchTest, AWorkerKilledWhileWritingLeavesNothing) {
    QTemporaryDir folder;
    ASSERT_TRUE(testfiles::write(folder.filePath("long.rtf"), longLetter(20'000)));
    ASSERT_TRUE(testfiles::write(folder.filePath("short.rtf"), letterRtf));
    const Outcome outcome =
        convert(folder.path(), {"--to", "txt", "--jobs", "1", "long.rtf", "short.rtf"}, {},
                {QStringLiteral("sh"), QStringLiteral("-c"),
                 QStringLiteral("ulimit -f 64; exec \"$0\" \"$@\"")});
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.errors,
              QStringList{"quillet-convert: cannot convert long.rtf: the conversion stopped "
                          "(signal 25, File size limit exceeded)"});
    EXPECT_FALSE(QFileInfo::exists(folder.filePath("long.txt")));
    EXPECT_EQ(testfiles::read(folder.filePath("short.txt")), letterText);
    EXPECT_EQ(leftBehind(folder.path()), QStringList());
}

// Ctrl+C (SIGINT to the batch alone here; a terminal sends it to the workers too, which leave
// it to the batch) ends the workers, says what was done, and ends the batch by the signal.
TEST(ConvertBatchTest, InterruptedItEndsItsWorkersAndLeavesNoPartialOutput) {
    QTemporaryDir folder;
    ASSERT_TRUE(testfiles::write(folder.filePath("long.rtf"), longLetter(20'000)));
    QProcess process;
    process.setWorkingDirectory(folder.path());
    process.start(QStringLiteral(QUILLET_CONVERT), {"--to", "pdf", "-"});
    // The first line of standard error, a failure, tells that the batch runs and reads the list.
    process.write("missing.rtf\n");
    process.setReadChannel(QProcess::StandardError);
    ASSERT_TRUE(process.waitForReadyRead(60'000));
    process.write("long.rtf\n");
    ASSERT_TRUE(process.waitForBytesWritten(60'000));
    ::kill(pid_t(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(60'000));
    EXPECT_EQ(process.exitStatus(), QProcess::CrashExit);
    const Outcome outcome = outcomeOf(process);
    EXPECT_TRUE(outcome.last.startsWith("quillet-convert: interrupted: "))
        << outcome.last.toStdString();
    EXPECT_EQ(outcome.errors, QStringList{"quillet-convert: cannot read missing.rtf: No such file "
                                          "or directory"});
    EXPECT_EQ(leftBehind(folder.path()), QStringList());
}
