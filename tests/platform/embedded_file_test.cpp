#include "rtf_test_support.h"
#include "support/Files.h"

#include "platform/EmbeddedFile.h"
#include "platform/rtf/RtfPicture.h"
#include "platform/rtf/RtfWriter.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QtEndian>
#include <gtest/gtest.h>

#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using rtftest::pictures;
using rtftest::readRtf;

namespace {

const QString objectChar = QString(QChar::ObjectReplacementCharacter);

QImage sampleImage() {
    QImage image(7, 5, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(30 * x, 50 * y, 255 - 20 * x));
    return image;
}

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

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

// The bytes of the {\*\objdata ...} group in saved RTF.
QByteArray objectData(const QByteArray& rtf) {
    const qsizetype start = rtf.indexOf("{\\*\\objdata");
    if (start < 0)
        return {};
    const qsizetype end = rtf.indexOf('}', start);
    return QByteArray::fromHex(rtf.mid(start + 11, end - start - 11));
}

// Little-endian fields read in order; `ok` turns false at the first one that runs past the end.
struct Fields {
    QByteArrayView data;
    qsizetype at = 0;
    bool ok = true;

    QByteArray take(qsizetype size) {
        if (size < 0 || at + size > data.size()) {
            ok = false;
            return {};
        }
        at += size;
        return data.sliced(at - size, size).toByteArray();
    }
    quint32 u32() { return qFromLittleEndian<quint32>(take(4).leftJustified(4, '\0').data()); }
    quint16 u16() { return qFromLittleEndian<quint16>(take(2).leftJustified(2, '\0').data()); }
    QByteArray zeroEnded() {
        const qsizetype end = data.indexOf('\0', at);
        if (end < 0) {
            ok = false;
            return {};
        }
        return take(end + 1 - at).chopped(1);
    }
    QByteArray counted() { return take(u32()).chopped(1); }
};

// What an embedded-object stream holding a packaged file says, read the way Windows' packager
// and other readers of such objects read it.
struct Package {
    quint32 version = 0;
    quint32 format = 0;
    QByteArray className;
    QByteArray topic;
    QByteArray item;
    quint16 header = 0;
    QByteArray label;
    QByteArray path;
    quint16 reserved = 0;
    quint16 type = 0;
    QByteArray temporaryPath;
    QByteArray contents;
    quint32 presentationVersion = 0;
    quint32 presentationFormat = 0;
    bool endsThere = false;
};

std::optional<Package> decodePackage(QByteArrayView stream) {
    Package p;
    Fields object{stream};
    p.version = object.u32();
    p.format = object.u32();
    p.className = object.counted();
    p.topic = object.take(object.u32());
    p.item = object.take(object.u32());
    Fields native{object.take(object.u32())};
    p.presentationVersion = object.u32();
    p.presentationFormat = object.u32();
    p.endsThere = object.at == stream.size();
    p.header = native.u16();
    p.label = native.zeroEnded();
    p.path = native.zeroEnded();
    p.reserved = native.u16();
    p.type = native.u16();
    p.temporaryPath = native.counted();
    p.contents = native.take(native.u32());
    if (!object.ok || !native.ok || native.at != native.data.size())
        return std::nullopt;
    return p;
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
    const QImage sample = sampleImage();
    const QByteArray jpeg = encoded(sample, "JPEG");
    // Qt reads GIF but does not write it: a two-pixel one, red and blue.
    const QByteArray gif = QByteArray::fromHex("474946383961020001008000" // header, screen
                                               "00ff00000000ff"           // two colours
                                               "2c000000000200010000"     // image
                                               "02440a00"
                                               "3b");
    const struct {
        const char* name;
        QByteArray bytes;
        QImage shows;
        QSizeF size;
        const char* savedAs; // \pict kind; its data is the file's own bytes for PNG and JPEG
        bool ownBytes;
    } cases[] = {
        {"shot.png", encoded(sample, "PNG"), sample, {7, 5}, "\\pngblip\\picw7\\pich5", true},
        {"photo.jpg", jpeg, QImage::fromData(jpeg), {7, 5}, "\\jpegblip\\picw7\\pich5", true},
        {"scan.bmp", encoded(sample, "BMP"), sample, {7, 5}, "\\pngblip\\picw7\\pich5", false},
        {"scan.ppm", encoded(sample, "PPM"), sample, {7, 5}, "\\pngblip\\picw7\\pich5", false},
        {"dot.gif", gif, QImage::fromData(gif), {2, 1}, "\\pngblip\\picw2\\pich1", false},
        // What it is, not what it is called, makes it a picture.
        {"picture.dat", encoded(sample, "PNG"), sample, {7, 5}, "\\pngblip\\picw7\\pich5", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.shows.isNull());
        Document d;
        ASSERT_TRUE(EmbeddedFile::insert(d.cursor, write(c.name, c.bytes)));
        EXPECT_EQ(d.document.toPlainText(), "a" + objectChar + "b");
        const auto shown = pictures(d.document);
        ASSERT_EQ(shown.size(), 1);
        EXPECT_EQ(rgb(shown[0].image), rgb(c.shows));
        EXPECT_EQ(shown[0].size(), c.size);

        const QByteArray saved = rtf::write(d.document);
        EXPECT_TRUE(saved.contains("{\\pict" + QByteArray(c.savedAs))) << saved.constData();
        EXPECT_EQ(QByteArray(saved).replace("\r\n", "").contains(c.bytes.toHex()), c.ownBytes);
        auto reopened = readRtf(saved);
        const auto again = pictures(*reopened);
        ASSERT_EQ(again.size(), 1);
        EXPECT_EQ(rgb(again[0].image), rgb(shown[0].image));
        EXPECT_EQ(again[0].size(), shown[0].size());
        EXPECT_EQ(rtf::write(*reopened), saved);

        // One step to undo, the picture only.
        d.document.undo();
        EXPECT_EQ(d.document.toPlainText(), "ab");
        EXPECT_FALSE(d.document.isUndoAvailable());
    }
}

// Any other file is carried whole in an OLE package shown as its icon; saved and opened again,
// the object is written back byte for byte.
TEST_F(EmbeddedFileTest, OtherFilesBecomePackagesShownAsTheirIcon) {
    QByteArray binary;
    for (int i = 0; i < 300; ++i)
        binary.append(char(i * 7));
    const struct {
        const char* name;
        QByteArray bytes;
        QByteArray ansiName; // as the package names it
    } cases[] = {
        {"notes.txt", "hello {world} \\par\r\n", "notes.txt"},
        {"empty.log", "", "empty.log"},
        {"data.bin", binary, "data.bin"},
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
        const QByteArray objw = QByteArray::number(icon.width() * 15);
        const QByteArray objh = QByteArray::number(icon.height() * 15);
        EXPECT_TRUE(saved.contains("{\\object\\objemb{\\*\\objclass Package}\\objw" + objw +
                                   "\\objh" + objh + "{\\*\\objdata"))
            << saved.left(300).constData();
        EXPECT_TRUE(
            saved.contains("}{\\result{\\pict\\pngblip\\picw" + QByteArray::number(icon.width())));
        const auto package = decodePackage(objectData(saved));
        ASSERT_TRUE(package.has_value());
        EXPECT_EQ(package->version, 0x501u);
        EXPECT_EQ(package->format, 2u); // embedded
        EXPECT_EQ(package->className, "Package");
        EXPECT_TRUE(package->topic.isEmpty());
        EXPECT_TRUE(package->item.isEmpty());
        EXPECT_EQ(package->header, 2);
        EXPECT_EQ(package->label, c.ansiName);
        EXPECT_TRUE(package->path.endsWith("/" + c.ansiName)) << package->path.constData();
        EXPECT_EQ(package->reserved, 0);
        EXPECT_EQ(package->type, 3); // the file itself, not a link to it
        EXPECT_EQ(package->temporaryPath, package->path);
        EXPECT_EQ(package->contents, c.bytes);
        EXPECT_EQ(package->presentationVersion, 0x501u);
        EXPECT_EQ(package->presentationFormat, 0u); // none: the result picture shows it
        EXPECT_TRUE(package->endsThere);

        EXPECT_EQ(rtf::readText(saved), "a" + objectChar);
        auto reopened = readRtf(saved);
        const auto again = pictures(*reopened);
        ASSERT_EQ(again.size(), 1);
        EXPECT_EQ(rgb(again[0].image), rgb(icon));
        EXPECT_EQ(again[0].size(), shown[0].size());
        EXPECT_EQ(rtf::write(*reopened), saved);

        d.document.undo();
        EXPECT_EQ(d.document.toPlainText(), "ab");
    }
    EXPECT_EQ(EmbeddedFile::icon("a.txt"), EmbeddedFile::icon("a.txt"));
    EXPECT_NE(EmbeddedFile::icon("a.txt"), EmbeddedFile::icon("b.txt"));
    EXPECT_LE(EmbeddedFile::icon(QString(500, u'x')).width(), 200);
}

TEST_F(EmbeddedFileTest, RefusesWhatItCannotReadAndLeavesTheDocumentAsItWas) {
    const QString fifo = dir_.filePath("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QFile large(dir_.filePath("large.bin"));
    ASSERT_TRUE(large.open(QIODevice::WriteOnly));
    ASSERT_TRUE(large.resize(EmbeddedFile::maxSize + 1)); // sparse: costs no disk
    large.close();
    QStringList refused = {
        dir_.filePath("missing.txt"), dir_.path(), fifo, large.fileName(), QString(), "/dev/zero"};
    // Permissions do not stop root.
    if (::geteuid() != 0) {
        const QString locked = write("locked.txt", "secret");
        ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::WriteOwner));
        refused << locked;
    }
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
