// Tab stops stand where the ruler shows them, measured from the margin whatever the paragraph's
// indents, in the pane's layout and in Qt's alike.
#include "layout/PaneLayout.h"
#include "model/LineTabs.h"
#include "pane/RichTextBox.h"
#include "storage/DocumentDefaults.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct Paragraph {
    qreal left = 0;
    qreal first = 0;
    std::vector<qreal> stops; // in the order the paragraph holds them
    QString text;
};

std::unique_ptr<QTextDocument> documentOf(const Paragraph& paragraph, bool paneLayout) {
    auto document = std::make_unique<QTextDocument>();
    DocumentDefaults::setUp(*document);
    QTextCursor cursor(document.get());
    QTextBlockFormat format;
    format.setLeftMargin(paragraph.left);
    format.setTextIndent(paragraph.first);
    QList<QTextOption::Tab> stops;
    for (qreal stop : paragraph.stops)
        stops.append(QTextOption::Tab(stop, QTextOption::LeftTab));
    format.setTabPositions(stops);
    cursor.setBlockFormat(format);
    cursor.insertText(paragraph.text);
    if (paneLayout)
        document->setDocumentLayout(new PaneLayout(document.get()));
    document->setPageSize(QSizeF(700, -1));
    if (!paneLayout)
        LineTabs::measureFromLineStarts(*document);
    return document;
}

// Where the character at `offset` of the paragraph that holds the text starts, from the margin
// or the cell's edge: a paragraph's lines are placed relative to that edge.
qreal xOf(QTextDocument& document, int offset) {
    QTextBlock block = document.begin();
    while (block.isValid() && block.text().isEmpty())
        block = block.next();
    (void)document.documentLayout()->blockBoundingRect(block);
    const QTextLayout* layout = block.layout();
    const QTextLine line = layout->lineForTextPosition(offset);
    return line.cursorToX(offset);
}

} // namespace

TEST(TabPositions, StopsCountFromTheMarginWhateverTheIndents) {
    constexpr qreal inch = 96;
    const QChar lineBreak = QChar::LineSeparator;
    const struct Row {
        const char* name;
        Paragraph paragraph;
        std::vector<std::pair<int, qreal>> expected; // offset, x from the margin
    } rows[] = {
        {"first line indented past the left indent",
         {inch / 2, inch / 4, {3 * inch, 5 * inch}, "A\tB\tC"},
         {{2, 3 * inch}, {4, 5 * inch}}},
        {"default stops every half inch from the margin, not from the indent",
         {inch / 2, inch / 4, {}, "A\tB"},
         {{2, inch}}},
        {"a number in a hanging indent tabs to the half inch",
         {inch / 2, -inch / 4, {}, QStringLiteral("1.\tNumbered")},
         {{3, inch / 2}}},
        {"a following line measures from the margin too",
         {inch / 2, inch / 4, {3 * inch}, QStringLiteral("First") + lineBreak + "\tNext"},
         {{7, 3 * inch}}},
        {"default stops go on after the last stop",
         {inch / 2, inch / 4, {inch}, QStringLiteral("A\tB\tC")},
         {{2, inch}, {4, 1.5 * inch}}},
        {"stops held out of order",
         {0, 0, {2 * inch, inch}, QStringLiteral("A\tB\tC")},
         {{2, inch}, {4, 2 * inch}}},
    };
    for (const Row& row : rows) {
        for (bool pane : {true, false}) {
            SCOPED_TRACE(std::string(row.name) + (pane ? ", the pane's layout" : ", Qt's layout"));
            auto document = documentOf(row.paragraph, pane);
            for (const auto& [offset, x] : row.expected)
                EXPECT_NEAR(xOf(*document, offset), x, 0.5) << "offset " << offset;
        }
    }
}
