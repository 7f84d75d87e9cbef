#include "support/Files.h"
#include "support/rtf_test_support.h"

#include "pictures/RtfPicture.h"
#include "rtf/RtfWriter.h"

#include <QDir>
#include <QRegularExpression>
#include <gtest/gtest.h>

using rtftest::readRtf;

namespace {

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

// The groups in `rtf` that start with `opening`, such as "{\\pict", braces balanced.
QList<QByteArray> groups(const QByteArray& rtf, const char* opening) {
    QList<QByteArray> groups;
    for (qsizetype at = rtf.indexOf(opening); at >= 0; at = rtf.indexOf(opening, at + 1)) {
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

// Each file shows every word another reader shows and draws its pictures, and is saved with its
// pictures, embedded objects, headers, footers, footnotes and fields as the file had them.
TEST(RtfEditorCorpus, EveryFileOpensWithItsTextAndPicturesAndSavesThemAsTheyWere) {
    const QString corpus = QStringLiteral(QUILLET_TEST_DATA "/rtf/rtf-richedit");
    // What the reference reader shows that we deliberately do not: hidden text, the bullet
    // characters a list draws itself.
    const QStringList omitted = {"hidden", "\u00B7", "\u00A7"};
    const QRegularExpression listNumber("^([0-9]+|[a-z])[.)]?$");
    // Pictures drawn rather than stood in for by a box: bitmaps and Windows metafiles, and the
    // metafile other readers are given beside an enhanced metafile.
    const QHash<QString, int> drawn = {{"simplepict", 3},
                                       {"simplepng", 1},
                                       {"japanese-single-double-byte", 2},
                                       {"wmf", 40},
                                       {"wmf-and-emf", 2}};
    const QStringList folders = QDir(corpus).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    EXPECT_GE(folders.size(), 10);
    // The objects that show as one picture; the others are in shape fallbacks never read.
    const QHash<QString, int> objects = {
        {"wmf", 23}, {"wmf-and-emf", 2}, {"japanese-single-double-byte", 1}};
    int savedPictures = 0;
    for (const QString& name : folders) {
        const QString folder = corpus + "/" + name;
        const QByteArray source = testfiles::read(folder + "/source.rtf");
        auto document = readRtf(source);
        const QString text = document->toPlainText().replace(QChar::Nbsp, u' ');
        // Not in order: the reference also shows the text drawn inside metafiles.
        for (const QString& word :
             expectedWords(QString::fromUtf8(testfiles::read(folder + "/expected.html")))) {
            if (!omitted.contains(word) && !listNumber.match(word).hasMatch()) {
                EXPECT_TRUE(text.contains(word)) << qPrintable(name) << ": " << qPrintable(word);
            }
        }
        const auto shown = rtftest::pictures(*document);
        EXPECT_EQ(std::count_if(shown.begin(), shown.end(),
                                [](const auto& p) { return !rtf::isPlaceholder(p.image); }),
                  drawn.value(name))
            << qPrintable(name);

        const QByteArray saved = rtf::write(*document);
        for (const QByteArray& group : groups(saved, "{\\pict")) {
            EXPECT_TRUE(source.contains(group))
                << qPrintable(name) << ": " << group.left(80).constData();
            ++savedPictures;
        }
        const QList<QByteArray> savedObjects = groups(saved, "{\\object");
        EXPECT_EQ(savedObjects.size(), objects.value(name)) << qPrintable(name);
        for (const QByteArray& group : savedObjects) {
            EXPECT_TRUE(group.contains("{\\*\\objdata") && source.contains(group))
                << qPrintable(name) << ": " << group.left(80).constData();
        }
        // Groups the document does not show, written back where readers look for them.
        for (const char* kept : {"{\\header", "{\\footer", "{\\footnote", "{\\field"})
            EXPECT_EQ(saved.count(kept), source.count(kept)) << qPrintable(name) << ": " << kept;
        EXPECT_EQ(rtf::write(*readRtf(saved)), saved) << qPrintable(name);
    }
    // The metafiles in wmf/ and wmf-and-emf/ among them.
    EXPECT_GE(savedPictures, 40);
}
