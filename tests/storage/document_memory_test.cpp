#include "storage/DocumentFile.h"

#include "support/Files.h"
#include "text/Error.h"

#include <QTemporaryDir>
#include <QTextCharFormat>
#include <QTextDocument>
#include <gtest/gtest.h>

// Reading a document asks whoever reads how much memory is left, never a desktop: the converter
// has none, and the program asks its own.
TEST(DocumentFileMemory, AFileIsRefusedByTheMemoryItsReaderSaysIsLeft) {
    QTemporaryDir dir;
    const struct {
        const char* name;
        const char* file;
        DocumentFile::MemoryLeft left;
        bool read;
    } cases[] = {
        {"nothing left, rich text", "in.rtf", [] { return std::optional<qint64>(0); }, false},
        {"nothing left, plain text", "in.txt", [] { return std::optional<qint64>(0); }, false},
        {"a few bytes left", "in.htm", [] { return std::optional<qint64>(16); }, false},
        {"plenty left", "in.rtf", [] { return std::optional<qint64>(1 << 30); }, true},
        {"no bound known", "in.txt", [] { return std::optional<qint64>(); }, true},
        {"no one to ask", "in.rtf", nullptr, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QString::fromLatin1(c.file));
        ASSERT_TRUE(testfiles::write(path, "{\\rtf1 a few words}"));
        try {
            const DocumentFile::Content content = DocumentFile::read(path, {}, c.left);
            EXPECT_TRUE(c.read);
            EXPECT_TRUE(content.document->toPlainText().contains("a few words"));
        } catch (const Error& e) {
            EXPECT_FALSE(c.read);
            EXPECT_EQ(e.number, Error::OutOfMemory);
        }
    }
}
