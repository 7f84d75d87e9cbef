#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <optional>

class QTextDocument;

// A document's text the way the pane's Text() reads it: one character per position, paragraph
// breaks as '\n' and line breaks as '\v'. A table reads as its rows on lines of their own, its
// cells after tabs: a cell's start is a tab, or a paragraph break for a row's first cell, and
// the table's end is a paragraph break. Made once and then kept current from the document's
// change signal, so reading it after an edit costs the size of the edits, not of the document.
// Edits are only noted as they happen and applied on the next read, so typing pays nothing.
class PaneText : public QObject {
    Q_OBJECT

public:
    explicit PaneText(QObject* parent = nullptr);

    // Follows `document` from now on, forgetting the text of the one before.
    void watch(QTextDocument* document);
    const QString& text();

    // The text of [from, to) of the document, read as text() reads it.
    static QString rangeOf(const QTextDocument& document, int from, int to);

private:
    void changed(int from, int removed, int added);
    void rebuild();

    QPointer<QTextDocument> document_;
    std::optional<QString> text_;
    // Edits since text_ was last brought up to date, as one range: [pendingFrom_,
    // pendingOldEnd_) of text_ is now pendingLength_ characters of the document.
    int pendingFrom_ = -1;
    int pendingOldEnd_ = 0;
    int pendingLength_ = 0;
    // The document's length when last heard of, and whether its changes could not be followed.
    int count_ = 0;
    bool stale_ = false;
};
