// quillet-convert as its users run it: a separate program, its files, exit status and messages.
#include "files/PaneFile.h"
#include "pane/RichTextBox.h"
#include "support/Files.h"
#include "support/ScriptedDesktop.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

class ConvertTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return folder.filePath(name); }

    void write(const QString& name, const QByteArray& bytes) const {
        ASSERT_TRUE(testfiles::write(path(name), bytes));
    }
    QByteArray contents(const QString& name) const { return testfiles::read(path(name)); }

    // Runs the converter, through `wrapper` (a program and its first arguments) when given.
    Outcome run(const QStringList& arguments, const QStringList& wrapper = {}) const {
        const QStringList command =
            wrapper + QStringList{QStringLiteral(QUILLET_CONVERT)} + arguments;
        QProcess process;
        process.start(command.first(), command.mid(1));
        EXPECT_TRUE(process.waitForFinished(60'000)) << "quillet-convert did not finish";
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromLocal8Bit(process.readAllStandardOutput()),
                QString::fromLocal8Bit(process.readAllStandardError())};
    }

    // Converts `input` to `output` (names in the folder) and expects success.
    void convert(const QString& input, const QString& output) const {
        const Outcome result = run({path(input), path(output)});
        EXPECT_EQ(result.exitCode, 0) << qPrintable(result.err);
        EXPECT_TRUE(result.err.isEmpty()) << qPrintable(result.err);
    }

    QTemporaryDir folder;
};

const QByteArray letterRtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Dear {\\b caf\\'e9},\\par "
                             "two\\~words\\line next{\\pict\\pngblip\\picw1\\pich1 00}\\par}";
// A picture has no text: plain text keeps the words around it and nothing in its place.
const QByteArray letterText = "Dear caf\xC3\xA9,\ntwo\xC2\xA0words\nnext";

} // namespace

TEST_F(ConvertTest, WritesWhatTheProgramsSaveWrites) {
    write("letter.rtf", letterRtf);
    ScopedScriptedDesktop scripted;
    RichTextBox pane;
    DocumentFile::load(pane, path("letter.rtf"));
    for (const QString output : {"out.txt", "out.rtf", "out.htm"}) {
        SCOPED_TRACE(output.toStdString());
        convert("letter.rtf", output);
        DocumentFile::save(pane, path("saved-" + output));
        EXPECT_EQ(contents(output), contents("saved-" + output));
    }
}

TEST_F(ConvertTest, ReadsAndWritesEachKindByItsName) {
    // The Open command's rule: ".rtf" anywhere in the path, the folder's name too, in any case.
    // Plain text leaves pictures and objects out; written RTF reads back as the text.
    const QByteArray logoRtf = "{\\rtf1 Logo:{\\pict\\wmetafile8\\picw10\\pich10 0100}\\par "
                               "{\\pict\\pngblip 00}{\\object{\\result{\\pict\\emfblip 00}}} end}";
    const struct {
        const char* input;
        QByteArray bytes;
        const char* output;
        const char* readBack; // the output converted to text, when not the output itself
        QByteArray text;
    } cases[] = {
        {"logo.rtf", logoRtf, "logo.txt", nullptr, "Logo:\n end"},
        {"Drafts.RTF.old/letter", letterRtf, "letter.txt", nullptr, letterText},
        {"page.htm", "<p>Hello <b>there</b></p>\n<p>again</p>", "page.txt", nullptr,
         "Hello there\nagain"},
        {"notes.txt", "one\r\ntwo \xE2\x82\xAC\r\n", "notes.rtf", "notes-again.txt",
         "one\ntwo \xE2\x82\xAC\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        write(c.input, c.bytes);
        convert(c.input, c.output);
        if (c.readBack)
            convert(c.output, c.readBack);
        EXPECT_EQ(contents(c.readBack ? c.readBack : c.output), c.text);
    }
}

TEST_F(ConvertTest, FailuresSayWhyOnOneLineAndWriteNothing) {
    write("letter.rtf", letterRtf);
    write("fake.rtf", "plain words, not rich text");
    write("a-file", "a file where a folder should be");
    const struct {
        const char* name;
        const char* input;
        const char* output;
        const char* message;
    } cases[] = {
        {"missing input", "absent.rtf", "out.txt", "cannot read"},
        {"not rich text", "fake.rtf", "out.txt", "is not a rich-text file"},
        {"unknown output type", "letter.rtf", "out.doc", "unknown output type"},
        {"missing output folder", "letter.rtf", "no-such-folder/out.txt", "cannot write"},
        {"output folder is a file", "letter.rtf", "a-file/out.txt", "cannot write"},
    };
    for (const auto& c : cases) {
        const Outcome result = run({path(c.input), path(c.output)});
        EXPECT_EQ(result.exitCode, 1) << c.name;
        EXPECT_EQ(result.err.count(u'\n'), 1) << c.name << ": " << qPrintable(result.err);
        EXPECT_TRUE(result.err.startsWith("quillet-convert: ") && result.err.contains(c.message))
            << c.name << ": " << qPrintable(result.err);
        EXPECT_FALSE(QFileInfo::exists(path(c.output))) << c.name;
    }
    // Nothing half-written is left behind either.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 3);
}

// By whatever name OUTPUT reaches INPUT, the input stays as it was.
TEST_F(ConvertTest, NeverWritesOverItsOwnInput) {
    write("letter.txt", "words");
    ASSERT_TRUE(QFile::link(path("letter.txt"), path("link.txt")));
    ASSERT_EQ(::link(QFile::encodeName(path("letter.txt")).constData(),
                     QFile::encodeName(path("hard.txt")).constData()),
              0);
    for (const QString output : {"letter.txt", "./letter.txt", "link.txt", "hard.txt"}) {
        SCOPED_TRACE(output.toStdString());
        const Outcome result = run({path("letter.txt"), folder.path() + u'/' + output});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err, "quillet-convert: cannot convert " + path("letter.txt") +
                                  ": its output would replace it\n");
        EXPECT_EQ(contents("letter.txt"), "words");
    }
}

TEST_F(ConvertTest, AFileTooBigForMemoryIsAOneLineFailure) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer needs more address space than the limit leaves";
#endif
    write("big.txt", QByteArray(80 << 20, 'a'));
    const Outcome result = run({path("big.txt"), path("big.rtf")},
                               {QStringLiteral("sh"), QStringLiteral("-c"),
                                QStringLiteral("ulimit -v 600000; exec \"$0\" \"$@\"")});
    EXPECT_EQ(result.exitCode, 1) << qPrintable(result.err);
    EXPECT_EQ(result.err.count(u'\n'), 1) << qPrintable(result.err);
    EXPECT_TRUE(result.err.contains("does not fit in memory")) << qPrintable(result.err);
    EXPECT_FALSE(QFileInfo::exists(path("big.rtf")));
}

TEST_F(ConvertTest, HelpAndWrongArguments) {
    const Outcome help = run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: quillet-convert INPUT OUTPUT"));
    EXPECT_TRUE(help.err.isEmpty());

    const Outcome wrong = run({path("only-one.rtf")});
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_EQ(wrong.err.count(u'\n'), 1);
}

// The system's reason follows the description only when it adds to it. Root may write anywhere,
// so the conversion runs as the user nobody, who may not write in the root folder.
TEST_F(ConvertTest, AFailureGivesItsReasonOnce) {
    write("letter.txt", "words");
    const auto readable = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                          QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                          QFileDevice::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(folder.path(), readable));
    const QString output = QStringLiteral("/quillet-convert-test.txt");
    const QStringList asNobody = {QStringLiteral("setpriv"), QStringLiteral("--reuid=65534"),
                                  QStringLiteral("--regid=65534"),
                                  QStringLiteral("--clear-groups")};
    const Outcome result =
        run({path("letter.txt"), output}, ::geteuid() == 0 ? asNobody : QStringList());
    EXPECT_EQ(result.err, "quillet-convert: cannot write " + output + ": Permission denied\n");
    EXPECT_FALSE(QFileInfo::exists(output));
}

// INPUT is opened as the Open command opens it, which refuses what is no regular file
// (tests/files): a FIFO, which would block, fails at once instead of running into run()'s limit.
TEST_F(ConvertTest, InputThatIsNoRegularFileFailsAtOnce) {
    ASSERT_TRUE(testfiles::makeSpecial(path("pipe.rtf"), "fifo"));
    const Outcome result = run({path("pipe.rtf"), path("out.rtf")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err,
              "quillet-convert: cannot read " + path("pipe.rtf") + ": Not a regular file\n");
    EXPECT_FALSE(QFileInfo::exists(path("out.rtf")));
}
