#include "support/rtf_test_support.h"

#include "rtf/RtfWriter.h"

#include <gtest/gtest.h>

using rtftest::pictures;
using rtftest::plainText;
using rtftest::readRtf;

namespace {

// An object as word processors write one: class, size, its data, and a result to show.
QByteArray object(const QByteArray& data, const QByteArray& result) {
    return "{\\object\\objemb{\\*\\objclass Paint.Picture}\\objw90\\objh60{\\*\\objdata " + data +
           "}{\\result " + result + "}}";
}

} // namespace

// An object whose result is one picture is saved whole, in the picture's place; any other is read
// as its result, since writing the group back beside that would repeat it or change what follows.
TEST(RtfObject, AnObjectShowingOnePictureIsSavedWhole) {
    const QByteArray picture =
        rtftest::pngPict({3, 2}, qRgb(10, 200, 30), "\\picw3\\pich2\\picwgoal90\\pichgoal60");
    const QByteArray plain = object("0105000002000000", picture);
    const QByteArray inner = object("0202", "{\\dn4 " + picture + "}");
    const QString pictureChar = QString(QChar::ObjectReplacementCharacter);
    const struct {
        const char* name;
        QByteArray body;
        QByteArray kept; // the group saved as it was; none when the object is not kept
        QString text;
    } cases[] = {
        {"picture result", "a" + plain + "b", plain, "a" + pictureChar + "b"},
        {"picture for newer readers, metafile for older ones",
         object("01", "{\\*\\shppict" + picture + "}{\\nonshppict{\\pict\\wmetafile8 0100}}"),
         object("01", "{\\*\\shppict" + picture + "}{\\nonshppict{\\pict\\wmetafile8 0100}}"),
         pictureChar},
        {"in a header, which is kept whole", "{\\header " + plain + "}body", plain, "body"},
        {"in a shape's text", "{\\shp{\\*\\shpinst{\\shptxt " + plain + "}}}", plain, pictureChar},
        {"innermost of two", object("0101", "x" + inner), inner, "x" + pictureChar},
        {"text in the result", object("01", "see " + picture), "", "see " + pictureChar},
        {"two pictures", object("01", picture + picture), "", pictureChar + pictureChar},
        {"code page set inside", object("01", "\\ansicpg1251" + picture), "", pictureChar},
        {"cell mark inside", "a" + object("01", picture + "\\cell") + "b", "",
         "a" + pictureChar + "\n\tb\n"},
        {"font table inside", object("01", "{\\fonttbl{\\f0 Arial;}}" + picture), "", pictureChar},
        {"text before it in its group", "{x" + plain.mid(1), "", "x" + pictureChar},
        {"a group another word opens", "{\\objectx y" + plain.mid(1), "", "y" + pictureChar},
        {"result without a picture", object("01", "shown"), "", "shown"},
        {"hidden", "a{\\v " + plain + "}b", "", "ab"},
    };
    // The fuzz seed objects-showing-pictures.rtf holds these inputs, for the checks of reading
    // them as text alone and of saving what was saved.
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard " + c.body + "}";
        auto document = readRtf(rtf);
        EXPECT_EQ(plainText(*document), c.text);
        const QByteArray saved = rtf::write(*document);
        if (c.kept.isEmpty())
            EXPECT_FALSE(saved.contains("\\object")) << saved.constData();
        else
            EXPECT_TRUE(saved.contains(c.kept)) << saved.constData();
        EXPECT_EQ(saved.count("\\objdata"), c.kept.count("\\objdata"));
        auto reopened = readRtf(saved);
        EXPECT_EQ(pictures(*reopened).size(), pictures(*document).size());
    }
}
