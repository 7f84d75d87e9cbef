// Lists read from files and bulleted in the pane draw their numbers and bullets inside the page.
#include "support/rtf_test_support.h"

#include "layout/PaneLayout.h"
#include "model/Twips.h"
#include "pane/PaneParagraphs.h"
#include "pane/RichTextBox.h"
#include "rtf/RtfWriter.h"
#include "storage/DocumentDefaults.h"
#include "support/ScriptedDesktop.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QTextLayout>
#include <QTextList>
#include <gtest/gtest.h>

using rtftest::readRtf;

namespace {

// Where the first paragraph's number or bullet is drawn, as the pane and the printer draw the
// document: the dark pixels left of its first line's text, in the paragraph; and that line.
struct Marker {
    QRect drawn; // empty when nothing is drawn there
    int top = 0;
    int bottom = 0;
    int textLeft = 0;
    bool besideFirstLine() const {
        return !drawn.isEmpty() && drawn.top() >= top && drawn.bottom() <= bottom;
    }
};

Marker markerOf(QTextDocument& document) {
    document.setTextWidth(600);
    const QSize size = document.size().toSize();
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    document.drawContents(&painter);
    painter.end();
    const QTextBlock block = document.begin();
    const QTextLine line = block.layout()->lineAt(0);
    const QRectF rect = document.documentLayout()->blockBoundingRect(block);
    Marker marker;
    marker.top = int(rect.top() + line.y());
    marker.bottom = int(rect.top() + line.y() + line.height());
    marker.textLeft = int(rect.left() + line.naturalTextRect().left());
    for (int y = 0; y < std::min(size.height(), int(rect.bottom())); ++y) {
        for (int x = 0; x < marker.textLeft - 1; ++x) {
            if (qGray(image.pixel(x, y)) < 128)
                marker.drawn |= QRect(x, y, 1, 1);
        }
    }
    return marker;
}

const char* const numberedList =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}"
    "{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}\\listid7}}"
    "{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}}";

} // namespace

TEST(RtfListLayout, NumbersAndBulletsAreDrawnInsideThePage) {
    const struct {
        const char* name;
        QByteArray rtf;
    } cases[] = {
        {"number in a hanging indent as deep as the text",
         numberedList + QByteArray("{\\listtext 1.\\tab}\\pard\\fi-792\\li792\\ls1 To validate"
                                   "\\par{\\listtext 2.\\tab}To verify\\par}")},
        {"bullet in a hanging indent",
         "{\\rtf1{\\pntext\\'B7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'B7}}\\fi-360\\li360 Apples}"},
        {"number without any indent", numberedList + QByteArray("\\pard\\ls1 Flush left}")},
        {"number in a hanging indent too narrow for it",
         numberedList + QByteArray("\\pard\\fi-100\\li100\\ls1 Narrow}")},
        {"number left of the margin", numberedList + QByteArray("\\pard\\fi-720\\li360\\ls1 Out}")},
    };
    for (const auto& c : cases) {
        auto document = readRtf(c.rtf);
        ASSERT_NE(document->begin().textList(), nullptr) << c.name;
        EXPECT_TRUE(markerOf(*document).besideFirstLine()) << c.name;
        auto reopened = readRtf(rtf::write(*document));
        EXPECT_TRUE(markerOf(*reopened).besideFirstLine()) << c.name << ", saved and reopened";
    }
}

// The pane's layout puts the number on the first line at the first line's indent (left + first-line
// indent), whatever the sizes of the number's and the text's fonts.
TEST(RtfListLayout, ThePaneDrawsTheNumberBesideTheFirstLineAtItsIndent) {
    for (const QByteArray& level :
         {QByteArray("\\levelnfc0{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}"),
          QByteArray("\\levelnfc23{\\leveltext\\'01\\u8226 ?;}")}) {
        SCOPED_TRACE(level.constData());
        QTextDocument document;
        DocumentDefaults::setUp(document);
        // The number takes the format of the paragraph's first text, smaller than the rest here.
        ASSERT_TRUE(
            rtf::read("{\\rtf1{\\*\\listtable{\\list{\\listlevel" + level +
                          "}\\listid5}}{\\*\\listoverridetable{\\listoverride\\listid5\\ls1}}"
                          "\\pard\\fi-720\\li1440\\sb240\\ls1\\fs20 Heading \\fs48 BIG\\par"
                          "\\pard\\li1440\\fs24 Body\\par}",
                      document)
                .ok());
        document.setDocumentLayout(new PaneLayout(&document));
        const Marker marker = markerOf(document);
        EXPECT_TRUE(marker.besideFirstLine());
        // A number stands on the text's baseline: it ends below the line's middle.
        if (level.contains("nfc0")) {
            EXPECT_GT(marker.drawn.bottom(), (marker.top + marker.bottom) / 2);
        }
        EXPECT_NEAR(marker.drawn.left(), marker.textLeft - Twips::toLayout(720), 3);
    }
}

// A paragraph bulleted in the pane shows its bullet at its first line's indent and keeps its
// place through a save and reopen; bullet off returns it to where it was.
TEST(RtfListLayout, BulletedInThePane) {
    ScopedScriptedDesktop scripted;
    RichTextBox pane;
    const std::pair<int, int> indentsAndHangs[] = {{0, 0},     {0, 720},   {200, 0},
                                                   {200, 360}, {200, 720}, {720, 0}};
    for (const auto& [indent, hanging] : indentsAndHangs) {
        SCOPED_TRACE(testing::Message() << "indent " << indent << ", hanging " << hanging);
        pane.setText("item");
        pane.setSelIndent(indent);
        pane.setSelHangingIndent(hanging);
        const qreal textAt = pane.document()->begin().layout()->lineAt(0).x();
        pane.setSelBullet(true);
        EXPECT_TRUE(markerOf(*pane.document()).besideFirstLine());
        EXPECT_EQ(pane.SelIndent(), indent);
        EXPECT_EQ(pane.SelHangingIndent(), std::max(hanging, 360));
        auto reopened = readRtf(rtf::write(*pane.document()));
        const PaneParagraphs::Indents read = PaneParagraphs::indentsOf(reopened->begin());
        EXPECT_EQ(Twips::fromLayout(read.firstLine), indent);
        EXPECT_EQ(Twips::fromLayout(read.hanging), std::max(hanging, 360));

        // What the toolbar's and the menu's bullet command does.
        pane.setSelBullet(false);
        pane.setSelHangingIndent(0);
        EXPECT_EQ(pane.SelIndent(), indent);
        EXPECT_EQ(pane.SelHangingIndent(), 0);
        const QTextBlockFormat format = pane.document()->begin().blockFormat();
        EXPECT_EQ(Twips::fromLayout(format.leftMargin() + format.textIndent()), indent);
        if (hanging == 0) {
            EXPECT_EQ(pane.document()->begin().layout()->lineAt(0).x(), textAt);
        }
    }
}

TEST(RtfListLayout, TheNumbersTabGoesToAStopBeforeTheHangingIndent) {
    // The number at the margin, a stop at .25 in, the hanging indent at .55 in: the first line's
    // text stands at the stop, the others at the hanging indent, as other word processors show it.
    auto document = readRtf(numberedList + QByteArray("\\pard\\fi-792\\li792\\tx360\\ls1 "
                                                      "First\\par\\pard\\fi-360\\li360\\ls1 "
                                                      "Second\\par}"));
    for (const QTextBlock& block : {document->begin(), document->begin().next()}) {
        const QTextBlockFormat format = block.blockFormat();
        EXPECT_EQ(Twips::fromLayout(format.leftMargin() + format.textIndent()), 360)
            << block.text().toStdString();
    }
    EXPECT_EQ(Twips::fromLayout(document->begin().blockFormat().leftMargin()), 792);
    const QByteArray saved = rtf::write(*document);
    EXPECT_TRUE(saved.contains("\\li792\\fi-792")) << saved.toStdString();
}
