#include "bench/RtfSample.h"
#include "layout/PaneLayout.h"
#include "model/LineTabs.h"
#include "pane/PaneText.h"
#include "pane/RichTextBox.h"
#include "rtf/RtfReader.h"
#include "storage/DocumentDefaults.h"
#include "storage/TableText.h"
#include "support/PaneTestSupport.h"
#include "support/ScriptedDesktop.h"

#include <QTest>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTextLayout>
#include <QTextList>
#include <gtest/gtest.h>

#include <memory>
#include <random>

using panetest::difference;
using panetest::edit;

namespace {
// Formatted paragraphs of every kind the pane shows: lists, indents, tab stops, alignments,
// space around paragraphs, fixed and least line heights, a line break and a picture.
QByteArray sampleRtf() {
    QByteArray rtf = rtfsample::generate(40 << 10, 7);
    rtf.chop(1);
    rtf += "\\pard\\sl-480\\sb120 Exactly double spaced lines in a paragraph long enough to wrap "
           "onto a second line of the page at the width used here.\\par"
           "\\pard\\sl360\\li1440\\ri720\\fi-720 At least one and a half lines, indented from "
           "both sides, with a hanging first line\\line and a line break.\\par"
           "\\pard\\qr A picture {\\pict\\pngblip\\picw20\\pich20\\picwgoal300\\pichgoal300 "
           "89504e470d0a1a0a0000000d4948445200000001000000010802000000907753de0000000c494441"
           "54789c63f8cfc0000003010100c9fe92ef0000000049454e44ae426082}"
           " in a right-aligned paragraph.\\par}";
    return rtf;
}

std::unique_ptr<QTextDocument> read(const QByteArray& rtf, bool ownLayout) {
    auto document = std::make_unique<QTextDocument>();
    DocumentDefaults::setUp(*document);
    EXPECT_TRUE(rtf::read(rtf, *document).ok());
    if (ownLayout)
        document->setDocumentLayout(new PaneLayout(document.get()));
    document->setPageSize(QSizeF(520, -1));
    return document;
}

// A copy of a document under Qt's layout with its tab stops as Qt measures them, as printing
// lays documents out.
std::unique_ptr<QTextDocument> measuredCopy(const QTextDocument& document) {
    std::unique_ptr<QTextDocument> copy(document.clone());
    copy->setDefaultTextOption(document.defaultTextOption());
    copy->setPageSize(document.pageSize());
    LineTabs::measureFromLineStarts(*copy);
    return copy;
}

// Positions agree to a pixel: Qt's layout adds up in 1/64 pixel steps, this one in doubles.
void expectSameLayout(QTextDocument& own, const QTextDocument& stockSource) {
    const auto measured = measuredCopy(stockSource);
    QTextDocument& stock = *measured;
    ASSERT_EQ(own.blockCount(), stock.blockCount());
    for (QTextBlock a = own.begin(), b = stock.begin(); a.isValid(); a = a.next(), b = b.next()) {
        SCOPED_TRACE(QStringLiteral("paragraph %1: %2")
                         .arg(a.blockNumber())
                         .arg(a.text().left(40))
                         .toStdString());
        const QRectF ownRect = own.documentLayout()->blockBoundingRect(a);
        const QRectF stockRect = stock.documentLayout()->blockBoundingRect(b);
        EXPECT_NEAR(ownRect.top(), stockRect.top(), 1.0);
        EXPECT_NEAR(ownRect.height(), stockRect.height(), 0.1);
        EXPECT_NEAR(ownRect.left(), stockRect.left(), 0.1);
        ASSERT_EQ(a.layout()->lineCount(), b.layout()->lineCount());
        for (int i = 0; i < a.layout()->lineCount(); ++i) {
            const QTextLine ownLine = a.layout()->lineAt(i);
            const QTextLine stockLine = b.layout()->lineAt(i);
            EXPECT_EQ(ownLine.textStart(), stockLine.textStart());
            EXPECT_NEAR(ownLine.x(), stockLine.x(), 0.1);
            EXPECT_NEAR(ownLine.y(), stockLine.y(), 0.1);
        }
    }
    EXPECT_NEAR(own.documentLayout()->documentSize().height(),
                stock.documentLayout()->documentSize().height(), 1.0);
}

// What Text() must read: the plain text, but line breaks as '\v' and every other character as
// it is, so that offsets in it are document positions.
QString freshText(const QTextDocument& document) {
    QString text = document.toPlainText();
    const QString raw = document.toRawText();
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == QChar::LineSeparator)
            text[i] = QLatin1Char('\v');
        else if (raw[i] != QChar::ParagraphSeparator && raw[i] != QChar(0xFDD0) &&
                 raw[i] != QChar(0xFDD1))
            text[i] = raw[i];
    }
    TableText::markCells(document, text);
    return text;
}
} // namespace

TEST(PaneLayout, LaysParagraphsOutAsQtsOwnLayoutDoesBeforeAndAfterEdits) {
    const QByteArray rtf = sampleRtf();
    auto own = read(rtf, true);
    auto stock = read(rtf, false);
    ASSERT_GT(own->blockCount(), 60);
    // Laid out from the end first, as Ctrl+End does: the paragraphs before it only estimated,
    // laid out later, must still push the later ones to where Qt's layout has them.
    (void)own->documentLayout()->blockBoundingRect(own->lastBlock());
    (void)own->documentLayout()->blockBoundingRect(own->findBlockByNumber(own->blockCount() / 2));
    const auto inList = [](const QTextBlock& block) { return block.textList() != nullptr; };
    bool anyList = false;
    for (QTextBlock block = own->begin(); block.isValid(); block = block.next())
        anyList = anyList || inList(block);
    ASSERT_TRUE(anyList);
    {
        SCOPED_TRACE("as read");
        expectSameLayout(*own, *stock);
    }
    // Edits that keep a paragraph's height, grow it by a line, join two paragraphs, split one,
    // and change the space above one: each moves what follows, or must not.
    const auto both = [&](auto change) {
        change(*own);
        change(*stock);
    };
    both([](QTextDocument& d) { edit(d, 0, QStringLiteral("x")); });
    both([](QTextDocument& d) {
        edit(d, 3, QStringLiteral("a few more words to push the first paragraph onto more lines"));
    });
    both([](QTextDocument& d) { edit(d, d.findBlockByNumber(4).position() - 1, {}, 1); });
    both([](QTextDocument& d) {
        edit(d, d.findBlockByNumber(10).position() + 2, QStringLiteral("\nsplit"));
    });
    both([](QTextDocument& d) {
        QTextCursor cursor(d.findBlockByNumber(20));
        QTextBlockFormat format = cursor.blockFormat();
        format.setTopMargin(30);
        format.setBottomMargin(12);
        cursor.setBlockFormat(format);
    });
    both([](QTextDocument& d) { edit(d, 5, {}, d.findBlockByNumber(3).position()); });
    {
        SCOPED_TRACE("after edits");
        expectSameLayout(*own, *stock);
    }
    both([](QTextDocument& d) { d.setPageSize(QSizeF(380, -1)); });
    {
        SCOPED_TRACE("narrower");
        expectSameLayout(*own, *stock);
    }
    // A click lands where it would in Qt's layout.
    const auto measured = measuredCopy(*stock);
    const qreal height = measured->documentLayout()->documentSize().height();
    for (qreal y = 0; y < height; y += 7) {
        for (qreal x : {0.0, 30.0, 200.0, 515.0}) {
            ASSERT_EQ(own->documentLayout()->hitTest({x, y}, Qt::FuzzyHit),
                      measured->documentLayout()->hitTest({x, y}, Qt::FuzzyHit))
                << "at " << x << ", " << y;
        }
    }
}

TEST(PaneText, FollowsManyEditsAnywhereInALargeDocument) {
    ScopedScriptedDesktop scripted;
    RichTextBox pane;
    panetest::show(pane);
    auto loaded = std::make_unique<QTextDocument>();
    ASSERT_TRUE(rtf::read(rtfsample::generate(300 << 10, 3), *loaded).ok());
    // Two paragraphs long enough to be laid out in pieces, among the others.
    for (const int at : {1000, 200'000})
        QTextCursor(loaded->findBlock(at))
            .insertText(QStringLiteral("%1 long words ").arg(at).repeated(4000) +
                        QStringLiteral("\n"));
    pane.adoptDocument(std::move(loaded));
    QTextDocument& document = *pane.document();
    document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("dot")),
                         QImage(4, 4, QImage::Format_RGB32));
    ASSERT_EQ(pane.Text(), freshText(document));

    std::mt19937 random(11);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution(low, std::max(low, high))(random);
    };
    const QStringList pieces = {QStringLiteral("x"),           QStringLiteral("two words"),
                                QStringLiteral("line\nbreak"), QStringLiteral("soft\u2028break"),
                                QStringLiteral("\n"),          QStringLiteral("non\u00a0breaking")};
    for (int step = 0; step < 400; ++step) {
        const int length = int(document.characterCount()) - 1;
        QTextCursor cursor(&document);
        cursor.setPosition(pick(0, length));
        const int kind = pick(0, 7);
        switch (kind) {
        case 0: // type at a random place through the keyboard
            pane.setTextCursor(cursor);
            QTest::keyClicks(&pane, QStringLiteral("typed"));
            QTest::keyClick(&pane, pick(0, 1) ? Qt::Key_Backspace : Qt::Key_Return);
            break;
        case 1:
            cursor.insertText(pieces[pick(0, int(pieces.size()) - 1)]);
            break;
        case 2: // a deletion across paragraphs, sometimes up to the end
            cursor.setPosition(qMin(length, cursor.position() + pick(1, 3000)),
                               QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            break;
        case 3:
            document.undo();
            break;
        case 4:
            document.redo();
            break;
        case 5: {
            QTextImageFormat picture;
            picture.setName(QStringLiteral("dot"));
            cursor.insertImage(picture);
            break;
        }
        case 6: // one undo step of several edits
            cursor.beginEditBlock();
            cursor.insertText(QStringLiteral("first"));
            cursor.setPosition(pick(0, length));
            cursor.insertText(QStringLiteral("second\n"));
            cursor.setPosition(pick(0, length - 10));
            cursor.setPosition(cursor.position() + 5, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            cursor.endEditBlock();
            break;
        case 7:
            cursor.setPosition(qMin(length, cursor.position() + pick(0, 200)),
                               QTextCursor::KeepAnchor);
            cursor.insertFragment(QTextDocumentFragment::fromHtml(
                QStringLiteral("<p>pasted <b>bold</b></p><ul><li>item</li></ul>")));
            break;
        }
        // Read after single edits and after runs of them.
        if (step % 10 == 0) {
            // Paint where the edit was, as typing would.
            pane.ensureCursorVisible();
            QCoreApplication::processEvents(); // the paint
        }
        if (step < 60 || step % 7 == 0) {
            ASSERT_EQ(difference(pane.Text(), freshText(document)), "")
                << "after step " << step << " of kind " << kind;
        }
    }
    ASSERT_EQ(difference(pane.Text(), freshText(document)), "");
}

TEST(PaneLayout, BigDocumentsScrollToTheCaret) {
    ScopedScriptedDesktop scripted;
    RichTextBox pane;
    panetest::show(pane);
    QString text;
    for (int i = 0; text.size() < 3'000'000; ++i)
        text += QStringLiteral("Paragraph %1 with a few words that wrap at the pane's width, "
                               "or do not %2.\n")
                    .arg(i)
                    .arg(QStringLiteral("iiii WWW ").repeated(i % 11));
    pane.setText(text);
    QCoreApplication::processEvents(); // the first paint
    QTest::keyClick(&pane, Qt::Key_End, Qt::ControlModifier);
    QCoreApplication::processEvents(); // the scroll and paint at the end
    EXPECT_EQ(pane.SelStart(), text.size());
    EXPECT_TRUE(panetest::caretShown(pane));
    // A click in the middle of the view lands on a paragraph shown there.
    const int clicked = pane.cursorForPosition(pane.viewport()->rect().center()).position();
    EXPECT_GT(clicked, text.size() - 3000);
    pane.setSelStart(int(text.size()) / 2);
    QCoreApplication::processEvents(); // the scroll and paint in the middle
    EXPECT_TRUE(panetest::caretShown(pane));
    QTest::keyClicks(&pane, QStringLiteral("typed"));
    EXPECT_EQ(pane.Text().mid(text.size() / 2, 5), QStringLiteral("typed"));
    // A table put in at the start is shown there, the text still in step.
    QTextCursor(pane.document()).insertTable(2, 2);
    QCoreApplication::processEvents(); // the table's paint
    EXPECT_EQ(difference(pane.Text(), freshText(*pane.document())), "");
}

TEST(PaneLayout, TheCaretMovesThroughParagraphsLaidOutInPieces) {
    ScopedScriptedDesktop scripted;
    RichTextBox pane;
    panetest::show(pane);
    QString line;
    for (int i = 0; line.size() < 200'000; ++i)
        line += QStringLiteral("word%1 and more \U0001F600 words ").arg(i);
    const QString text = QStringLiteral("short one\n") + line + QStringLiteral("\nlast");
    pane.setText(text);
    QCoreApplication::processEvents(); // the first paint
    PaneLayout* layout = panetest::layoutOf(pane);
    ASSERT_TRUE(layout);
    const int start = 10;
    const int end = start + int(line.size());
    ASSERT_TRUE(layout->inLongParagraph(start + 5));
    ASSERT_FALSE(layout->inLongParagraph(2));

    // Down goes through every line of every piece, in order, to the next paragraph.
    pane.setSelStart(start);
    int lines = 0;
    for (int last = start; pane.SelStart() < end; ++lines) {
        QTest::keyClick(&pane, Qt::Key_Down);
        ASSERT_GT(pane.SelStart(), last) << "line " << lines;
        last = pane.SelStart();
        const auto [first, lineEnd] = layout->lineAt(last);
        ASSERT_LE(first, last);
        ASSERT_GE(lineEnd, last > end ? last : qMin(last, end));
    }
    EXPECT_GT(lines, 200'000 / 80);
    EXPECT_TRUE(panetest::caretShown(pane));
    QTest::keyClick(&pane, Qt::Key_Up);
    EXPECT_LT(pane.SelStart(), end);
    EXPECT_TRUE(layout->inLongParagraph(pane.SelStart()));

    // Ctrl+End from inside the long paragraph goes to the document's end.
    pane.moveCursor(QTextCursor::End);
    pane.setSelStart(end - 3);
    QTest::keyClick(&pane, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(pane.SelStart(), text.size());
    EXPECT_TRUE(panetest::caretShown(pane));
}

TEST(PaneText, FollowsEditBlocksWhoseReportedRangeIsWrong) {
    // Edit blocks that add or remove list items, after which the document reports a changed
    // range that falls short, or counts removed text that an earlier edit had inserted.
    struct Edit {
        enum { Insert, Remove } kind;
        int at;
        QString text;
        int length;
    };
    const QList<QList<Edit>> blocks = {
        {{Edit::Remove, 29, {}, 2},
         {Edit::Insert, 7, "Z\n", 0},
         {Edit::Remove, 44, {}, 5},
         {Edit::Insert, 27, "Z\n", 0}},
        {{Edit::Insert, 52, "Z\n", 0}, {Edit::Insert, 49, "Z\n", 0}, {Edit::Insert, 18, "Z\n", 0}},
        {{Edit::Remove, 44, {}, 11}, {Edit::Insert, 17, "Z\n", 0}},
        {{Edit::Insert, 12, "ab", 0}, {Edit::Remove, 10, {}, 6}},
    };
    for (const QList<Edit>& edits : blocks) {
        QTextDocument document;
        (void)document.documentLayout(); // changes are only reported to a laid-out document
        document.setHtml("<p>abc<b>def</b>ghij</p><ul><li>klm<i>nop</i>qrst</li><li>uvwxyz</li>"
                         "</ul><p align=center>0123</p><ol><li>456</li><li>789ABCD</li></ol>"
                         "<p>end of it</p>");
        PaneText text;
        text.watch(&document);
        ASSERT_EQ(text.text(), freshText(document));
        QTextCursor cursor(&document);
        cursor.beginEditBlock();
        for (const Edit& edit : edits) {
            cursor.setPosition(edit.at);
            if (edit.kind == Edit::Insert) {
                cursor.insertText(edit.text);
            } else {
                cursor.setPosition(edit.at + edit.length, QTextCursor::KeepAnchor);
                cursor.removeSelectedText();
            }
        }
        cursor.endEditBlock();
        EXPECT_EQ(difference(text.text(), freshText(document)), "");
    }
}
