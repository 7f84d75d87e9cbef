#include "rtf_test_support.h"
#include "support/Files.h"

#include "platform/rtf/RtfWriter.h"

#include <QDir>
#include <QRegularExpression>
#include <QTextImageFormat>
#include <gtest/gtest.h>

using rtftest::readRtf;

namespace {

int imageCount(const QTextDocument& document) {
    int count = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isImageFormat()) {
                const QTextImageFormat format = it.fragment().charFormat().toImageFormat();
                const QImage image =
                    document.resource(QTextDocument::ImageResource, QUrl(format.name()))
                        .value<QImage>();
                if (!image.isNull() && image.width() > 16)
                    count += it.fragment().length();
            }
        }
    }
    return count;
}

const QString sharedCorpus = QStringLiteral(QUILLET_SHARED_CORPUS "/rtf-richedit");

} // namespace

// The words another reader shows for a file, from its HTML rendering.
QStringList expectedWords(const QString& html) {
    QString text = html;
    // Pictures come as drawings whose text is not document text.
    text.replace(
        QRegularExpression("<svg.*?</svg>", QRegularExpression::DotMatchesEverythingOption), " ");
    text.replace(QRegularExpression("<[^>]*>"), " ");
    text.replace("&nbsp;", " ").replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"");
    text.replace("&amp;", "&");
    return text.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
}

TEST(RtfSharedCorpus, EveryFileOpensWithItsFullText) {
    if (!QDir(sharedCorpus).exists())
        GTEST_SKIP() << "no shared corpus at " << qPrintable(sharedCorpus);
    // What the reference reader shows that we deliberately do not: hidden text, the bullet
    // characters a list draws itself.
    const QStringList omitted = {"hidden", "\u00B7", "\u00A7"};
    const QRegularExpression listNumber("^([0-9]+|[a-z])[.)]?$");
    const QHash<QString, int> pictures = {
        {"simplepict", 3}, {"simplepng", 1}, {"japanese-single-double-byte", 2}};
    const QStringList folders = QDir(sharedCorpus).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    EXPECT_GE(folders.size(), 10);
    for (const QString& name : folders) {
        const QString folder = sharedCorpus + "/" + name;
        auto document = readRtf(testfiles::read(folder + "/source.rtf"));
        QString text = document->toPlainText();
        text.replace(QChar::Nbsp, u' ');
        const QString html = QString::fromUtf8(testfiles::read(folder + "/expected.html"));
        // Not in order: the reference also shows the text drawn inside metafiles.
        for (const QString& word : expectedWords(html)) {
            if (!omitted.contains(word) && !listNumber.match(word).hasMatch()) {
                EXPECT_TRUE(text.contains(word)) << qPrintable(name) << ": " << qPrintable(word);
            }
        }
        EXPECT_EQ(imageCount(*document), pictures.value(name)) << qPrintable(name);
    }
}

namespace {

// The {\pict ...} groups in `rtf`, braces balanced.
QList<QByteArray> pictureGroups(const QByteArray& rtf) {
    QList<QByteArray> groups;
    for (qsizetype at = rtf.indexOf("{\\pict"); at >= 0; at = rtf.indexOf("{\\pict", at + 1)) {
        int depth = 0;
        for (qsizetype i = at; i < rtf.size(); ++i) {
            if (rtf[i] == '\\') {
                ++i;
            } else if (rtf[i] == '{') {
                ++depth;
            } else if (rtf[i] == '}' && --depth == 0) {
                groups << rtf.mid(at, i + 1 - at);
                break;
            }
        }
    }
    return groups;
}

} // namespace

TEST(RtfSharedCorpus, PicturesAreSavedAsTheFileHadThem) {
    if (!QDir(sharedCorpus).exists())
        GTEST_SKIP() << "no shared corpus at " << qPrintable(sharedCorpus);
    int pictures = 0;
    for (const QString& name : QDir(sharedCorpus).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QByteArray source = testfiles::read(sharedCorpus + "/" + name + "/source.rtf");
        auto document = readRtf(source);
        const QByteArray saved = rtf::write(*document);
        for (const QByteArray& group : pictureGroups(saved)) {
            EXPECT_TRUE(source.contains(group))
                << qPrintable(name) << ": " << group.left(80).constData();
            ++pictures;
        }
        EXPECT_EQ(rtf::write(*readRtf(saved)), saved) << qPrintable(name);
    }
    // The metafiles in wmf/ and wmf-and-emf/ among them.
    EXPECT_GE(pictures, 40);
}
