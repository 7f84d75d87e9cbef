#include "files/DocumentFile.h"

#include "platform/Error.h"
#include "platform/RichTextBox.h"
#include "support/Files.h"
#include "support/ScriptedDesktop.h"

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

TEST_F(DocumentFileTest, PlainTextIsDecodedWithoutUndoAndWrittenBackAlike) {
    struct Case {
        const char* name;
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {"CR LF", "one\r\ntwo\r\n", "one\ntwo\n"},
        {"NUL does not truncate", QByteArray("a\0b", 3), QStringLiteral("a") + QChar(0) + "b"},
        {"Windows-1252", "caf\xE9\r\n", QStringLiteral("caf\u00E9\n")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = write("in.txt", c.bytes);
        DocumentFile::load(pane, path);
        EXPECT_EQ(pane.Text(), c.text);
        EXPECT_FALSE(pane.canUndo());
        DocumentFile::save(pane, path);
        EXPECT_EQ(testfiles::read(path), c.bytes);
    }
}

TEST_F(DocumentFileTest, FailuresKeepThePanesDocument) {
    pane.setText("kept");
    const struct {
        QString path;
        int number;
    } cases[] = {{dir.filePath("missing.txt"), Error::FileNotFound},
                 {write("fake.rtf", "plain words"), Error::InvalidFileFormat}};
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

TEST_F(DocumentFileTest, HtmlIsReadAsItsTextAndTheKindIsTheNamesRule) {
    DocumentFile::load(pane, write("page.HTML", "<p>Hello <b>there</b></p>"));
    EXPECT_EQ(pane.Text(), "Hello there");
    EXPECT_EQ(DocumentFile::kindOf("/home/x.RTF.bak/notes"), DocumentFile::Kind::RichText);
    EXPECT_EQ(DocumentFile::kindOf("/home/notes.htm.txt"), DocumentFile::Kind::Html);
    EXPECT_EQ(DocumentFile::kindOf("/home/notes"), DocumentFile::Kind::PlainText);
}

TEST_F(DocumentFileTest, AFileTooBigToHoldIsOutOfMemory) {
    // Sparse: two gigabytes on the file system's word, none on the disk.
    const QString path = dir.filePath("huge.txt");
    QFile huge(path);
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(2) << 30));
    huge.close();
    pane.setText("kept");
    try {
        DocumentFile::load(pane, path);
        FAIL() << "a two-gigabyte file was read";
    } catch (const Error& error) {
        EXPECT_EQ(error.number, Error::OutOfMemory);
        EXPECT_EQ(error.description, "Out of memory");
    }
    EXPECT_EQ(pane.Text(), "kept");
}
