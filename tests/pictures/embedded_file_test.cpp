#include "support/Files.h"
#include "support/rtf_test_support.h"

#include "pictures/EmbeddedFile.h"
#include "pictures/RtfPicture.h"
#include "rtf/RtfWriter.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QtEndian>
#include <gtest/gtest.h>

#include <sys/stat.h>

using rtftest::pictures;
using rtftest::readRtf;

namespace {

const QString objectChar = QString(QChar::ObjectReplacementCharacter);

QImage rgb(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

// A document holding "ab" with nothing to undo, and a cursor between the two letters.
struct Document {
    QTextDocument document;
    QTextCursor cursor;
    Document() {
        document.setPlainText("ab");
        document.clearUndoRedoStacks();
        document.setModified(false);
        cursor = QTextCursor(&document);
        cursor.setPosition(1);
    }
};

template <typename Number> QByteArray little(Number value) {
    QByteArray bytes(sizeof value, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

// The embedded-object stream of a packaged file, field by field as readers of OLE 1.0 objects
// and Windows' packager take it.
QByteArray packageStream(const QByteArray& label, const QByteArray& path,
                         const QByteArray& contents) {
    const QByteArray native = little<quint16>(2) + label + '\0' + path + '\0' + little<quint16>(0) +
                              little<quint16>(3) + // the file, not a link
                              little<quint32>(path.size() + 1) + path + '\0' +
                              little<quint32>(contents.size()) + contents;
    return little<quint32>(0x501) + little<quint32>(2) +                        // embedded
           little<quint32>(8) + QByteArray("Package", 8) + little<quint32>(0) + // no topic
           little<quint32>(0) + little<quint32>(native.size()) + native +       // no item
           little<quint32>(0x501) + little<quint32>(0); // no presentation: the result shows it
}

// Saved and opened again, the document shows the same picture at the same size and saves as the
// same bytes.
void expectReopensAsSaved(const QTextDocument& document) {
    const QByteArray saved = rtf::write(document);
    auto reopened = readRtf(saved);
    const auto before = pictures(document);
    const auto after = pictures(*reopened);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(rgb(after[0].image), rgb(before[0].image));
    EXPECT_EQ(after[0].size(), before[0].size());
    EXPECT_EQ(rtf::write(*reopened), saved);
}

class EmbeddedFileTest : public ::testing::Test {
protected:
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir_.filePath(name);
        EXPECT_TRUE(testfiles::write(path, bytes));
        return path;
    }
    QTemporaryDir dir_;
};

} // namespace

// Each is shown as the picture it is, and saved as one that other editors read and that opens
// again as the same pixels at the same size.
TEST_F(EmbeddedFileTest, PictureFilesBecomePicturesSavedAsTheirOwnBytes) {
    QImage sample(7, 5, QImage::Format_RGB32);
    sample.fill(qRgb(20, 90, 200));
    sample.setPixel(6, 0, qRgb(250, 0, 0));
    const QByteArray jpeg = rtftest::encoded(sample, "JPEG");
    // Qt reads GIF but does not write it: a red pixel and a blue one.
    const QByteArray gif =
        QByteArray::fromHex("47494638396102000100800000ff00000000ff2c00000000020001000002024"
                            "40a003b");
    const QByteArray png = rtftest::encoded(sample, "PNG");
    const struct {
        const char* name;
        QByteArray bytes;
        QImage shows;
        const char* savedAs; // \pict kind; its data is the file's own bytes for PNG and JPEG
        bool ownBytes;
    } cases[] = {
        {"shot.png", png, sample, "png", true},
        {"photo.jpg", jpeg, QImage::fromData(jpeg), "jpeg", true},
        {"scan.bmp", rtftest::encoded(sample, "BMP"), sample, "png", false},
        {"dot.gif", gif, QImage::fromData(gif), "png", false},
        // What it is, not what it is called, makes it a picture.
        {"picture.dat", png, sample, "png", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Document d;
        ASSERT_TRUE(EmbeddedFile::insert(d.cursor, write(c.name, c.bytes)));
        EXPECT_EQ(d.document.toPlainText(), "a" + objectChar + "b");
        const auto shown = pictures(d.document);
        ASSERT_EQ(shown.size(), 1);
        EXPECT_EQ(rgb(shown[0].image), rgb(c.shows));
        EXPECT_EQ(shown[0].size(), QSizeF(c.shows.size()));

        const QByteArray saved = rtf::write(d.document);
        const QByteArray pict = "{\\pict\\" + QByteArray(c.savedAs) + "blip\\picw" +
                                QByteArray::number(c.shows.width()) + "\\pich" +
                                QByteArray::number(c.shows.height());
        EXPECT_TRUE(saved.contains(pict)) << saved.constData();
        EXPECT_EQ(QByteArray(saved).replace("\r\n", "").contains(c.bytes.toHex()), c.ownBytes);
        expectReopensAsSaved(d.document);
        d.document.undo(); // one step, the picture alone
        EXPECT_EQ(d.document.toPlainText(), "ab");
        EXPECT_FALSE(d.document.isUndoAvailable());
    }
}

// Any other file is carried whole in an OLE package shown as its icon; saved and opened again,
// the object is written back byte for byte.
TEST_F(EmbeddedFileTest, OtherFilesBecomePackagesShownAsTheirIcon) {
    const struct {
        const char* name;
        QByteArray bytes;
        QByteArray ansiName; // as the package names it
    } cases[] = {
        {"notes.txt", QByteArray("{\\par}\r\n\0\xff", 10), "notes.txt"},
        {"empty.log", "", "empty.log"},
        {"B\u00FCcher \u263A.csv", "a;b\n",
         "B\xFC"
         "cher ?.csv"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString name = QString::fromUtf8(c.name);
        const QString path = write(name, c.bytes);
        Document d;
        d.cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor); // replaces "b"
        ASSERT_TRUE(EmbeddedFile::insert(d.cursor, path));
        EXPECT_EQ(d.document.toPlainText(), "a" + objectChar);
        const QImage icon = EmbeddedFile::icon(name);
        const auto shown = pictures(d.document);
        ASSERT_EQ(shown.size(), 1);
        EXPECT_EQ(rgb(shown[0].image), rgb(icon));
        EXPECT_EQ(shown[0].size(), QSizeF(icon.size()));

        const QByteArray saved = rtf::write(d.document);
        EXPECT_TRUE(saved.contains("{\\object\\objemb{\\*\\objclass Package}\\objw" +
                                   QByteArray::number(icon.width() * 15)))
            << saved.left(300).constData();
        EXPECT_TRUE(saved.contains("}{\\result{\\pict\\pngblip"));
        const QByteArray saveAs = QDir(dir_.path()).absolutePath().toLatin1() + "/" + c.ansiName;
        EXPECT_TRUE(QByteArray(saved)
                        .replace("\r\n", "")
                        .contains("{\\*\\objdata" +
                                  packageStream(c.ansiName, saveAs, c.bytes).toHex() + "}"));

        EXPECT_EQ(rtf::readText(saved), "a" + objectChar);
        expectReopensAsSaved(d.document);

        d.document.undo();
        EXPECT_EQ(d.document.toPlainText(), "ab");
    }
}

TEST_F(EmbeddedFileTest, RefusesWhatItCannotReadAndLeavesTheDocumentAsItWas) {
    const QString fifo = dir_.filePath("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QFile large(dir_.filePath("large.bin"));
    ASSERT_TRUE(large.open(QIODevice::WriteOnly));
    ASSERT_TRUE(large.resize(EmbeddedFile::maxSize + 1)); // sparse: costs no disk
    large.close();
    const QStringList refused = {
        dir_.filePath("missing.txt"), dir_.path(), fifo, large.fileName(), QString(), "/dev/zero"};
    for (const QString& path : refused) {
        SCOPED_TRACE(path.toStdString());
        Document d;
        d.cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        EXPECT_FALSE(EmbeddedFile::insert(d.cursor, path));
        EXPECT_EQ(d.document.toPlainText(), "ab");
        EXPECT_EQ(d.cursor.selectedText(), "b");
        EXPECT_FALSE(d.document.isUndoAvailable());
        EXPECT_FALSE(d.document.isModified());
        EXPECT_EQ(rtf::unusedPictureName(d.document), rtf::pictureName(1)); // no resource added
    }
}
