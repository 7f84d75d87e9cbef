#include "storage/HtmlWriter.h"
#include "storage/TagRemoval.h"

#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

// The program reads an .htm file as its text with the tags taken out, so that is what a page
// it writes must give back.
TEST(HtmlWriter, PageReadsBackAsTheDocumentsText) {
    const struct {
        const char* name;
        const char16_t* text;
    } cases[] = {
        {"paragraphs", u"one\ntwo\n\nfour"},
        {"line break inside a paragraph", u"first line\u2028second line"},
        {"quotes and apostrophes", u"\"quoted\" and it's"},
        {"a closing angle bracket", u"a > b"},
        {"accents and other scripts", u"caf\u00E9 \u65E5\u672C"},
        {"empty document", u""},
    };
    for (const auto& c : cases) {
        QTextDocument document;
        QTextCursor cursor(&document);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        cursor.insertText(QString::fromUtf16(c.text), bold);
        const QString page = QString::fromUtf8(HtmlWriter::write(document));
        QTextDocument readBack;
        readBack.setPlainText(TagRemoval::removeTags(page));
        EXPECT_EQ(readBack.toPlainText(), document.toPlainText()) << c.name;
        EXPECT_TRUE(document.isEmpty() || page.contains("<b>")) << c.name;
    }
}

// Tags are worked out once per character format: each run must still get its own. What would
// start markup is escaped.
TEST(HtmlWriter, EachRunKeepsItsOwnFormat) {
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    QTextCharFormat red;
    red.setForeground(QColor(255, 0, 0));
    QTextCharFormat mono;
    mono.setFontFamilies({"Courier New"});
    mono.setFontItalic(true);
    const QTextCharFormat plain;
    cursor.insertText("plain ", plain);
    cursor.insertText("bold", bold);
    cursor.insertText(" ", plain);
    cursor.insertText("red", red);
    cursor.insertText("mono", mono);
    cursor.insertBlock();
    cursor.insertText("again", bold);
    cursor.insertText(" <b> & plain", plain);
    const QByteArray page = HtmlWriter::write(document);
    EXPECT_TRUE(page.contains("<p>plain <b>bold</b> <span style=\"color:#ff0000\">red</span>"
                              "<span style=\"font-family:'Courier New'\"><i>mono</i></span></p>\n"
                              "<p><b>again</b> &lt;b> &amp; plain</p>"))
        << page.constData();
}
