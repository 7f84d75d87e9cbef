// A file printed as it is read, a part at a time, comes out as the whole document prints.
#include "printing/PrintedPages.h"
#include "rtf/RtfReader.h"
#include "storage/DocumentDefaults.h"
#include "support/rtf_test_support.h"

#include <QBuffer>
#include <QDir>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <functional>

namespace {

// A PDF of what `print` draws, without the moment it was made.
QByteArray pdfOf(const std::function<void(QPdfWriter&)>& print) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(1200);
        print(writer);
    }
    static const QRegularExpression made(QStringLiteral("/CreationDate \\([^)]*\\)"));
    return QString::fromLatin1(buffer.data()).remove(made).toLatin1();
}

QByteArray printedWhole(const QByteArray& rtf) {
    QTextDocument document;
    DocumentDefaults::setUp(document);
    rtf::read(rtf, document);
    return pdfOf([&](QPdfWriter& writer) { PrintedPages::print(document, writer); });
}

QByteArray printedInParts(const QByteArray& rtf, int paragraphs) {
    return pdfOf(
        [&](QPdfWriter& writer) { EXPECT_TRUE(PrintedPages::printRtf(rtf, writer, paragraphs)); });
}

// Paragraph spacing running across parts, sections with headers of their own, footnotes,
// numbered and bulleted paragraphs, tables, page breaks, hidden text, a link, and a list from the
// list table at the end, after which nothing more can be handed over.
QByteArray mixedDocument() {
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}{\\f1 Arial;}}"
                     "{\\colortbl;\\red200\\green0\\blue0;}"
                     "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc0\\levelstartat1"
                     "{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}\\fi-360\\li720}\\listid1}}"
                     "{\\*\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}}"
                     "{\\header\\pard\\qc Header of the first section\\par}"
                     "{\\footer\\pard\\qr Page {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}\\par}\n";
    for (int i = 0; i < 40; ++i) {
        rtf += "\\pard\\sb" + QByteArray::number(60 * (i % 4)) + "\\sa" +
               QByteArray::number(120 * (i % 3)) + " Paragraph " + QByteArray::number(i) +
               " with {\\b bold} and {\\cf1\\f1 coloured} words\\par\n";
        if (i % 7 == 3)
            rtf += "\\pard{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}\\li720\\fi-360 "
                   "A bullet\\par\\pard{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec}\\li720"
                   "\\fi-360 A number\\par\\pard{\\pntext 2.\\tab}{\\*\\pn\\pnlvlbody\\pndec}"
                   "\\li720\\fi-360 Another number\\par\n";
        if (i % 9 == 4)
            rtf += "\\trowd\\cellx2000\\cellx4000\\pard\\intbl One\\cell Two\\cell\\row"
                   "\\trowd\\cellx2000\\cellx4000\\pard\\intbl Three\\cell Four\\cell\\row\n";
        if (i % 11 == 5)
            rtf += "\\pard Noted{\\super\\chftn{\\footnote\\pard\\plain{\\super\\chftn} The "
                   "note.\\par}} here {\\v hidden words} and {\\field{\\*\\fldinst HYPERLINK "
                   "\"https://example.org\"}{\\fldrslt a link}}\\par\\page\n";
        if (i == 20)
            rtf += "\\sect\\sectd{\\header\\pard Header of the second section\\par}\n";
    }
    rtf += "\\pard\\ls1\\fi-360\\li720 Listed\\par\\pard Between\\par\\pard\\ls1\\fi-360\\li720 "
           "Listed again\\par\\pard Last\\par}";
    return rtf;
}

} // namespace

TEST(PrintedParts, AFileReadAPartAtATimePrintsAsTheWholeDocument) {
    QList<QPair<QString, QByteArray>> files{{QStringLiteral("mixed"), mixedDocument()}};
    const QDir folder(QStringLiteral(QUILLET_TEST_DATA "/rtf"));
    for (const QString& name : folder.entryList({QStringLiteral("*.rtf")}, QDir::Files)) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        files.append({name, file.readAll()});
    }
    for (const auto& [name, rtf] : files) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray whole = printedWhole(rtf);
        // Parts of one paragraph cut wherever the file lets them; 1000 leaves them whole.
        for (const int paragraphs : {1, 3, 1000})
            EXPECT_TRUE(printedInParts(rtf, paragraphs) == whole) << "parts of " << paragraphs;
    }
}

TEST(PrintedParts, PartsHoldWhatTheirSizeAsksUntilAListThatMayGoOn) {
    const QByteArray rtf = mixedDocument();
    QString text;
    int parts = 0;
    int largest = 0;
    QTextDocument document;
    rtf::readInParts(rtf, document, 5, [&](const rtf::Part& part) {
        ++parts;
        if (!part.last)
            largest = std::max(largest, part.document.blockCount());
        text += (text.isEmpty() ? "" : "\n") + rtftest::plainText(part.document);
        return true;
    });
    EXPECT_GT(parts, 10);
    // A part ends at the first paragraph where it may: only a table (whose cells count as
    // paragraphs) or a list kept together makes one longer than asked.
    EXPECT_LE(largest, 16);
    const QString whole = rtftest::plainText(*rtftest::readRtf(rtf));
    EXPECT_EQ(text, whole);

    // Refused, the document is kept whole and handed over at the end.
    parts = 0;
    rtf::readInParts(rtf, document, 5, [&](const rtf::Part&) { return ++parts > 1; });
    EXPECT_EQ(parts, 2);
    EXPECT_EQ(rtftest::plainText(document), whole);
}

TEST(PrintedParts, PartsOfAnyFileHoldItsTextInOrder) {
    const QDir seeds(QStringLiteral(QUILLET_TEST_DATA "/rtf/fuzz-seeds"));
    const QStringList names = seeds.entryList(QDir::Files);
    ASSERT_FALSE(names.isEmpty());
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        QFile file(seeds.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray rtf = file.readAll();
        QStringList parts;
        QTextDocument document;
        if (!rtf::readInParts(rtf, document, 1, [&](const rtf::Part& part) {
                 parts << rtftest::plainText(part.document);
                 return true;
             }).ok())
            continue;
        EXPECT_EQ(parts.join(u'\n'), rtftest::plainText(*rtftest::readRtf(rtf)));
    }
}
