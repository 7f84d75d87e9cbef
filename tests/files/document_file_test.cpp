#include "files/PaneFile.h"
#include "storage/DocumentFile.h"

#include "pane/RichTextBox.h"
#include "support/Files.h"
#include "support/ScriptedDesktop.h"
#include "text/Error.h"

#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
class DocumentFileTest : public ::testing::Test {
protected:
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(testfiles::write(path, bytes));
        return path;
    }
    ScopedScriptedDesktop scripted;
    QTemporaryDir dir;
    RichTextBox pane;
};
} // namespace

// The decoding rules are the plain-text module's; here the pane keeps what it needs to write the
// same bytes back, and a NUL does not cut the text short on its way into the pane.
TEST_F(DocumentFileTest, PlainTextIsReadWithoutUndoAndWrittenBackAlike) {
    const QByteArray bytes("caf\xE9\r\na\0b\r\n", 11);
    const QString path = write("in.txt", bytes);
    DocumentFile::load(pane, path);
    EXPECT_EQ(pane.Text(), QStringLiteral("caf\u00E9\na") + QChar(0) + "b\n");
    EXPECT_FALSE(pane.canUndo());
    DocumentFile::save(pane, path);
    EXPECT_EQ(testfiles::read(path), bytes);
}

TEST_F(DocumentFileTest, FailuresKeepThePanesDocument) {
    // Sparse: two gigabytes on the file system's word, none on the disk.
    QFile huge(dir.filePath("huge.txt"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(2) << 30));
    huge.close();
    pane.setText("kept");
    const struct {
        QString path;
        int number;
    } cases[] = {{dir.filePath("missing.txt"), Error::FileNotFound},
                 {write("fake.rtf", "plain words"), Error::InvalidFileFormat},
                 {huge.fileName(), Error::OutOfMemory}};
    for (const auto& c : cases) {
        try {
            DocumentFile::load(pane, c.path);
            ADD_FAILURE() << "no error for " << c.path.toStdString();
        } catch (const Error& e) {
            EXPECT_EQ(e.number, c.number);
        }
    }
    EXPECT_EQ(pane.Text(), "kept");
}

// Reading each kind is the open command's test; here, which names make which kind.
TEST(DocumentFile, TheKindIsTheNamesRule) {
    EXPECT_EQ(DocumentFile::kindOf("/home/x.RTF.bak/notes"), DocumentFile::Kind::RichText);
    EXPECT_EQ(DocumentFile::kindOf("/home/notes.htm.txt"), DocumentFile::Kind::Html);
    EXPECT_EQ(DocumentFile::kindOf("/home/notes"), DocumentFile::Kind::PlainText);
}

// The converter reads RTF straight to text; what it writes must be what opening the file and
// saving it as text writes, for every RTF the tests hold (fuzz seeds, peers' files, pictures,
// tables, lists, fields).
TEST(DocumentFile, RtfReadStraightToTextIsWhatASaveAsTextWrites) {
    QDirIterator files(QStringLiteral(QUILLET_TEST_DATA), {QStringLiteral("*.rtf")}, QDir::Files,
                       QDirIterator::Subdirectories);
    int compared = 0;
    while (files.hasNext()) {
        const QString path = files.next();
        SCOPED_TRACE(path.toStdString());
        const QByteArray bytes = testfiles::read(path);
        std::optional<DocumentFile::Content> content;
        try {
            content = DocumentFile::fromBytes(bytes, DocumentFile::Kind::RichText, {});
        } catch (const Error&) {
            EXPECT_THROW(DocumentFile::plainTextOfRtf(bytes), Error);
            continue;
        }
        EXPECT_EQ(
            DocumentFile::plainTextOfRtf(bytes),
            DocumentFile::toBytes(*content->document, DocumentFile::Kind::PlainText, std::nullopt));
        ++compared;
    }
    EXPECT_GT(compared, 50);
    EXPECT_THROW(DocumentFile::plainTextOfRtf("plain words"), Error);
}
