#include "support/PaneTestSupport.h"

#include "pane/RichTextBox.h"
#include "pictures/EmbeddedFile.h"
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

#include <QImage>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTextCursor>
#include <gtest/gtest.h>
#include <memory>

using panetest::paste;

namespace {
std::unique_ptr<QMimeData> copyOf(RichTextBox& pane) {
    pane.selectAll();
    return panetest::copySelection(pane);
}

QString pngFile(const QTemporaryDir& dir, const char* name, Qt::GlobalColor colour) {
    QImage image(12, 8, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = dir.filePath(QString::fromLatin1(name));
    image.save(path, "PNG");
    return path;
}
} // namespace

TEST(PaneClipboard, CopyOffersRtfThatPastesWithItsFormatting) {
    RichTextBox from;
    from.setText("plain bold");
    panetest::select(from, 6, 4);
    from.setSelBold(true);
    const auto copied = copyOf(from);
    EXPECT_TRUE(copied->hasFormat("text/rtf"));
    EXPECT_TRUE(copied->hasFormat("application/rtf"));
    EXPECT_TRUE(copied->data("text/rtf").startsWith("{\\rtf1"));
    EXPECT_EQ(copied->text(), "plain bold");

    RichTextBox to;
    to.setText("<>");
    to.setSelStart(1);
    paste(to, *copied);
    EXPECT_EQ(to.Text(), "<plain bold>");
    panetest::select(to, 7, 4);
    EXPECT_EQ(to.SelBold(), true);
    to.document()->undo();
    EXPECT_EQ(to.Text(), "<>");
}

// Pictures are named per document; a pasted one must neither take the place of a picture the
// target already has nor lose the group it was read from.
TEST(PaneClipboard, PicturesMoveBetweenDocumentsUnderNamesOfTheirOwn) {
    QTemporaryDir dir;
    RichTextBox from;
    QTextCursor at(from.document());
    ASSERT_TRUE(EmbeddedFile::insert(at, pngFile(dir, "red.png", Qt::red)));
    RichTextBox to;
    QTextCursor there(to.document());
    ASSERT_TRUE(EmbeddedFile::insert(there, pngFile(dir, "blue.png", Qt::blue)));
    const QByteArray before = rtf::write(*to.document());

    to.moveCursor(QTextCursor::End);
    paste(to, *copyOf(from));
    const QByteArray after = rtf::write(*to.document());
    const QByteArray fromRtf = rtf::write(*from.document());
    const auto pictureOf = [](const QByteArray& rtf, qsizetype from = 0) {
        const qsizetype start = rtf.indexOf("{\\pict", from);
        return rtf.mid(start, rtf.indexOf('}', start) - start + 1);
    };
    EXPECT_EQ(pictureOf(after), pictureOf(before));
    EXPECT_EQ(pictureOf(after, after.indexOf("{\\pict") + 1), pictureOf(fromRtf));
}

// Links and footnotes refer to their fields by number within their document: pasted elsewhere,
// they keep their own instructions and notes, beside the ones the document had.
TEST(PaneClipboard, PastedFieldsAndFootnotesKeepTheirOwnInstructions) {
    const QByteArray head = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}";
    RichTextBox from;
    rtf::read(head + "{\\field{\\*\\fldinst PAGE}{\\fldrslt 1}} see {\\field{\\*\\fldinst "
                     "HYPERLINK \"https://a.example/\"}{\\fldrslt A}}*{\\footnote * From note.}}",
              *from.document());
    RichTextBox to;
    rtf::read(head + "{\\field{\\*\\fldinst HYPERLINK \"https://b.example/\"}{\\fldrslt B}} "
                     "{\\header Kept}}",
              *to.document());
    to.setSelStart(int(to.Text().size()));
    paste(to, *copyOf(from));
    EXPECT_EQ(to.Text(), "B 1 see A*");
    const QByteArray saved = rtf::write(*to.document());
    for (const char* kept :
         {"HYPERLINK \"https://b.example/\"}{\\fldrslt", "PAGE}{\\fldrslt",
          "HYPERLINK \"https://a.example/\"}{\\fldrslt", "* From note.}", "{\\header Kept}"})
        EXPECT_EQ(saved.count(kept), 1) << kept << "\n" << saved.constData();
}
