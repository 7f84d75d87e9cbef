#include "support/rtf_test_support.h"

#include "model/DocumentProperties.h"
#include "model/Twips.h"
#include "rtf/RtfWriter.h"

#include <QTextCursor>
#include <QTextImageFormat>
#include <QTextList>
#include <gtest/gtest.h>

#include <random>

using rtftest::blockText;
using rtftest::readRtf;

namespace {

// Builds documents of the kind the program makes, from a seed: every attribute the rich-text
// pane exposes, text in several scripts, breaks, bullets, tab stops and pictures.
class DocumentGenerator {
public:
    explicit DocumentGenerator(unsigned seed) : m_random(seed) {}

    std::unique_ptr<QTextDocument> make() {
        auto document = std::make_unique<QTextDocument>();
        QTextCursor cursor(document.get());
        const int blocks = pick(1, 12);
        for (int b = 0; b < blocks; ++b) {
            if (b > 0)
                cursor.insertBlock();
            QTextBlockFormat paragraph = blockFormat();
            const bool listed = chance(4);
            // The program's own list paragraphs, read or bulleted in the pane, all have room
            // for their numbers.
            if (listed)
                setListIndents(paragraph, paragraph.leftMargin(), paragraph.textIndent());
            cursor.setBlockFormat(paragraph);
            if (listed) {
                QTextListFormat list;
                list.setStyle(chance(3) ? QTextListFormat::ListDecimal : QTextListFormat::ListDisc);
                list.setIndent(0);
                cursor.createList(list);
            }
            const int runs = pick(0, 6);
            for (int r = 0; r < runs; ++r) {
                if (chance(12))
                    insertImage(*document, cursor);
                else
                    cursor.insertText(text(), charFormat());
            }
            if (runs == 0)
                cursor.setBlockCharFormat(charFormat());
        }
        return document;
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
    bool chance(int oneIn) { return pick(1, oneIn) == 1; }
    qreal length(int maxTwips) { return Twips::toLayout(pick(0, maxTwips / 15) * 15); }

    QTextBlockFormat blockFormat() {
        static const Qt::Alignment alignments[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter,
                                                   Qt::AlignJustify};
        QTextBlockFormat format;
        format.setAlignment(alignments[pick(0, 3)]);
        format.setLeftMargin(length(2880));
        format.setRightMargin(length(1440));
        format.setTextIndent(length(720) - Twips::toLayout(360));
        format.setTopMargin(length(240));
        format.setBottomMargin(length(240));
        QList<QTextOption::Tab> tabs;
        for (int t = 0, n = pick(0, 3), at = 0; t < n; ++t) {
            static const QTextOption::TabType types[] = {
                QTextOption::LeftTab, QTextOption::RightTab, QTextOption::CenterTab,
                QTextOption::DelimiterTab};
            at += pick(1, 96) * 15;
            const auto type = types[pick(0, 3)];
            tabs.append(
                QTextOption::Tab(Twips::toLayout(at), type,
                                 type == QTextOption::DelimiterTab ? QChar(u'.') : QChar()));
        }
        format.setTabPositions(tabs);
        return format;
    }

    QTextCharFormat charFormat() {
        static const char* families[] = {"Arial", "Courier New", "Times New Roman", "Georgia",
                                         "DejaVu Sans"};
        static const QColor colors[] = {Qt::red, QColor(0, 128, 0), QColor(10, 20, 30), Qt::black};
        QTextCharFormat format;
        format.setFontFamilies({QString::fromLatin1(families[pick(0, 4)])});
        format.setFontPointSize(pick(12, 72) / 2.0);
        format.setFontWeight(chance(3) ? QFont::Bold : QFont::Normal);
        format.setFontItalic(chance(3));
        format.setFontUnderline(chance(4));
        format.setFontStrikeOut(chance(6));
        if (chance(3))
            format.setForeground(colors[pick(0, 3)]);
        if (chance(6))
            format.setBackground(colors[pick(0, 3)]);
        return format;
    }

    QString text() {
        // Separated by '|'.
        static const QStringList pieces =
            QString::fromUtf16(u"plain |word|caf\u00E9|\u20AC5|\u0416\u0438\u0437\u043D\u044C|"
                               u"\u65E5\u672C|\U0001F4A9|\t|\u2028|{brace}|back\\slash|\u00A0|"
                               u"\u2014|\u00FF\u0100| 12.50|\u00AD\u2011")
                .split(u'|');
        QString result;
        for (int i = 0, n = pick(1, 5); i < n; ++i)
            result += pieces[pick(0, int(pieces.size()) - 1)];
        return result;
    }

    void insertImage(QTextDocument& document, QTextCursor& cursor) {
        QImage image(pick(1, 8), pick(1, 8), QImage::Format_RGB32);
        image.fill(QColor(pick(0, 255), pick(0, 255), pick(0, 255)));
        const QString name = QStringLiteral("generated:%1").arg(++m_images);
        document.addResource(QTextDocument::ImageResource, QUrl(name), image);
        QTextImageFormat format;
        format.setName(name);
        format.setWidth(Twips::toLayout(pick(1, 200) * 15));
        format.setHeight(Twips::toLayout(pick(1, 200) * 15));
        cursor.insertImage(format);
    }

    std::mt19937 m_random;
    int m_images = 0;
};

// One line per character: the attributes the rich-text pane reads, as they should survive.
QStringList characterAttributes(const QTextDocument& document) {
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat b = block.blockFormat();
        QString tabs;
        for (const QTextOption::Tab& tab : b.tabPositions())
            tabs += QStringLiteral("%1:%2 ").arg(Twips::fromLayout(tab.position)).arg(tab.type);
        const QTextList* list = block.textList();
        lines << QStringLiteral("block align=%1 li=%2 ri=%3 fi=%4 sb=%5 sa=%6 tabs=%7 list=%8")
                     .arg(int(b.alignment() & Qt::AlignHorizontal_Mask))
                     .arg(Twips::fromLayout(b.leftMargin()))
                     .arg(Twips::fromLayout(b.rightMargin()))
                     .arg(Twips::fromLayout(b.textIndent()))
                     .arg(Twips::fromLayout(b.topMargin()))
                     .arg(Twips::fromLayout(b.bottomMargin()))
                     .arg(tabs)
                     .arg(list ? int(list->format().style()) : 0);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat f = fragment.charFormat();
            QString attributes;
            if (f.isImageFormat()) {
                const QTextImageFormat image = f.toImageFormat();
                const QImage pixels =
                    document.resource(QTextDocument::ImageResource, QUrl(image.name()))
                        .value<QImage>();
                attributes = QStringLiteral("image %1x%2 pixels %3x%4 %5")
                                 .arg(Twips::fromLayout(image.width()))
                                 .arg(Twips::fromLayout(image.height()))
                                 .arg(pixels.width())
                                 .arg(pixels.height())
                                 .arg(pixels.pixel(0, 0));
            } else {
                attributes =
                    QStringLiteral("%1 %2 b%3 i%4 u%5 s%6 fg%7 bg%8")
                        .arg(f.fontFamilies().toStringList().join(','))
                        .arg(f.fontPointSize())
                        .arg(f.fontWeight() >= QFont::DemiBold)
                        .arg(f.fontItalic())
                        .arg(f.fontUnderline())
                        .arg(f.fontStrikeOut())
                        .arg(f.foreground().style() == Qt::NoBrush ? QString("-")
                                                                   : f.foreground().color().name())
                        .arg(f.background().style() == Qt::NoBrush ? QString("-")
                                                                   : f.background().color().name());
            }
            for (QChar c : fragment.text())
                lines << QStringLiteral("%1 %2").arg(c.unicode(), 4, 16).arg(attributes);
        }
    }
    return lines;
}

} // namespace

TEST(RtfRoundTrip, GeneratedDocumentsKeepTextAndAttributes) {
    for (unsigned seed = 1; seed <= 150; ++seed) {
        auto original = DocumentGenerator(seed).make();
        const QByteArray written = rtf::write(*original);
        auto reread = readRtf(written);
        ASSERT_EQ(blockText(*reread).toStdString(), blockText(*original).toStdString())
            << "seed " << seed << "\n"
            << written.left(3000).constData();
        const QStringList expected = characterAttributes(*original);
        const QStringList actual = characterAttributes(*reread);
        ASSERT_EQ(actual.size(), expected.size()) << "seed " << seed;
        for (qsizetype i = 0; i < expected.size(); ++i)
            ASSERT_EQ(actual[i].toStdString(), expected[i].toStdString())
                << "seed " << seed << " line " << i;
        ASSERT_EQ(rtf::write(*reread).toStdString(), written.toStdString()) << "seed " << seed;
    }
}

// Generated documents have empty paragraphs first, last and next to each other, but never one
// alone.
TEST(RtfRoundTrip, AnEmptyDocumentStaysOneEmptyParagraph) {
    EXPECT_EQ(blockText(*readRtf(rtf::write(QTextDocument()))), "");
}

// Font names outside cp1252 go in a character set that spells them, and read back as they were.
TEST(RtfRoundTrip, FontNamesInOtherScriptsKeepTheirLetters) {
    const struct {
        const char16_t* family;
        const char* charset;
    } cases[] = {{u"\uFF2D\uFF33 \u660E\u671D", "\\fcharset128 \\'82\\'6c\\'82\\'72\\'20"},
                 {u"\u0428\u0440\u0438\u0444\u0442", "\\fcharset204 \\'d8\\'f0\\'e8\\'f4\\'f2;"},
                 {u"Caf\u00E9", "\\fcharset0 Caf\\'e9;"},
                 // No one code page has both: the other letter as \u.
                 {u"\u05D0\u03B1 X", "\\fcharset0 \\u1488?\\u945? X;"}};
    for (const auto& c : cases) {
        const QString family = QString::fromUtf16(c.family);
        QTextDocument document;
        QTextCharFormat format;
        format.setFontFamilies({family});
        QTextCursor(&document).insertText("text", format);
        const QByteArray rtf = rtf::write(document);
        EXPECT_TRUE(rtf.contains(c.charset)) << rtf.constData();
        EXPECT_EQ(rtftest::charFormatAt(*readRtf(rtf), 1).fontFamilies().toStringList(),
                  QStringList{family});
    }
}

TEST(RtfRoundTrip, TheDefaultTabDistanceIsReadAndWrittenBack) {
    const struct {
        const char* file;
        int twips;
    } cases[] = {{"{\\rtf1\\deftab1440 x}", 1440},
                 {"{\\rtf1 x}", 720},
                 {"{\\rtf1\\deftab0 x}", 720}, // damage: a line of nothing but stops
                 {"{\\rtf1\\deftab99999 x}", 720}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        auto document = readRtf(c.file);
        EXPECT_EQ(Twips::fromLayout(document->defaultTextOption().tabStopDistance()), c.twips);
        const QByteArray saved = rtf::write(*document);
        EXPECT_EQ(saved.contains("\\deftab"), c.twips != 720);
        EXPECT_EQ(Twips::fromLayout(readRtf(saved)->defaultTextOption().tabStopDistance()),
                  c.twips);
    }
}
