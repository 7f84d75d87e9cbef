#include "support/PaneTestSupport.h"

#include "layout/PaneLayout.h"
#include "pane/RichTextBox.h"

#include <QCoreApplication>
#include <QMimeData>
#include <QPrinter>
#include <QScrollBar>
#include <QTextCursor>

namespace panetest {
namespace {
// The pane's protected clipboard and drop handlers, as Qt's widget calls them.
struct Exposed : RichTextBox {
    using RichTextBox::createMimeDataFromSelection;
    using RichTextBox::insertFromMimeData;
};
} // namespace

void select(RichTextBox& pane, int start, int length) {
    pane.setSelStart(start);
    pane.setSelLength(length);
}

void show(RichTextBox& pane, int width, int height) {
    pane.resize(width, height);
    pane.show();
    QCoreApplication::processEvents(); // the first paint lays out what is shown
}

PaneLayout* layoutOf(const RichTextBox& pane) {
    return qobject_cast<PaneLayout*>(pane.document()->documentLayout());
}

QPoint inView(const RichTextBox& pane, QPointF point) {
    return point.toPoint() -
           QPoint(pane.horizontalScrollBar()->value(), pane.verticalScrollBar()->value());
}

bool caretShown(const RichTextBox& pane) {
    // Qt's widget knows no caret in a paragraph laid out in pieces; the pane's layout does.
    const PaneLayout* layout = layoutOf(pane);
    if (!layout || !layout->inLongParagraph(pane.SelStart()))
        return pane.viewport()->rect().contains(pane.cursorRect().center());
    const QRectF caret = layout->caretRect(pane.SelStart());
    return pane.viewport()->rect().contains(inView(pane, caret.center()));
}

std::unique_ptr<QMimeData> copySelection(RichTextBox& pane) {
    return std::unique_ptr<QMimeData>(static_cast<Exposed&>(pane).createMimeDataFromSelection());
}

void paste(RichTextBox& pane, const QMimeData& data) {
    static_cast<Exposed&>(pane).insertFromMimeData(&data);
}

void pasteHtml(RichTextBox& pane, const QString& html) {
    QMimeData offered;
    offered.setHtml(html);
    paste(pane, offered);
}

void edit(QTextDocument& document, int position, const QString& text, int removed) {
    QTextCursor cursor(&document);
    cursor.setPosition(position);
    cursor.setPosition(position + removed, QTextCursor::KeepAnchor);
    cursor.insertText(text);
}

std::string difference(const QString& a, const QString& b) {
    qsizetype at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at])
        ++at;
    if (at == a.size() && at == b.size())
        return {};
    return QStringLiteral("at %1 of %2/%3: \"%4\" against \"%5\"")
        .arg(at)
        .arg(a.size())
        .arg(b.size())
        .arg(a.mid(at, 20), b.mid(at, 20))
        .toStdString();
}

QString longParagraph(int size) {
    QString text;
    for (int i = 0; text.size() < size; ++i) {
        text += QStringLiteral("word%1 ").arg(i);
        if (i % 97 == 0)
            text += QStringLiteral("e\u0301 \U0001F600 ");
    }
    return text;
}

void printToPdf(QPrinter& printer, const QString& path) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
}

} // namespace panetest
