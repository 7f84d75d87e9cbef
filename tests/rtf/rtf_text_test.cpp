// Reading RTF as text alone must give exactly the text of the document read from it.
#include "support/Files.h"
#include "support/rtf_test_support.h"

#include <QDirIterator>
#include <gtest/gtest.h>

// The fuzz seeds among the files hold every construct whose text the two readings could tell
// apart, in several orders, and inputs cut short or running on past their last group.
TEST(RtfReadText, MatchesTheDocumentForEveryTestFile) {
    int files = 0;
    QDirIterator it(QStringLiteral(QUILLET_TEST_DATA "/rtf"), {"*.rtf"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QByteArray data = testfiles::read(path);
        QTextDocument document;
        const rtf::ReadResult result = rtf::read(data, document);
        rtf::ReadStatus status = rtf::ReadStatus::NotRtf;
        EXPECT_EQ(rtf::readText(data, &status), rtftest::plainText(document)) << qPrintable(path);
        EXPECT_EQ(status, result.status) << qPrintable(path);
        ++files;
    }
    EXPECT_GE(files, 50);
}
