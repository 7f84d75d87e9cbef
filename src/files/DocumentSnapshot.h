#pragma once

#include <QFont>
#include <QHash>
#include <QList>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextListFormat>
#include <QTextOption>

#include <memory>
#include <vector>

class QTextDocument;
class QTextList;

// A copy of a document taken a few paragraphs at a time on the thread that owns it, so that a
// big document is copied without holding up typing, and built into a document of its own on
// any thread. Qt's own copy (clone) takes seconds at 10 MB, all at once.
//
// What is described is the text, the paragraph and character formats, lists and pictures (by
// their kept bytes), and what the RTF writer keeps beside the text: its fields, headers and
// footers. Tables are not: a document holding them is never `flat`, and is copied whole.
class DocumentSnapshot {
public:
    explicit DocumentSnapshot(const QTextDocument& document);
    ~DocumentSnapshot();
    DocumentSnapshot(const DocumentSnapshot&) = delete;
    DocumentSnapshot& operator=(const DocumentSnapshot&) = delete;

    // Describes paragraphs until `budgetMs` milliseconds have gone; true once the whole document
    // is described, and then the snapshot no longer looks at the document.
    bool step(int budgetMs);
    // The document changed (QTextDocument::contentsChange): the paragraphs the change touched
    // are described again; those before and after it are kept, as typing touches only one.
    void changed(int position, int added);
    bool complete() const { return complete_; }
    // Whether the document has only paragraphs, no tables: only then can it be built.
    bool flat() const;

    // The document described. May run on any thread once the snapshot is complete.
    std::unique_ptr<QTextDocument> build() const;

private:
    struct Run {
        int length = 0;
        QTextCharFormat format;
    };
    struct Paragraph {
        QString text;
        QTextBlockFormat format;
        QTextCharFormat charFormat;
        std::vector<Run> runs;
        int list = -1; // index into lists_
        bool described = false;
    };

    void describe(int number);
    void finish();

    const QTextDocument* document_;
    // One for each paragraph of the document, described or still to be.
    std::vector<Paragraph> paragraphs_;
    size_t next_ = 0; // the first paragraph that may still need describing
    QList<QTextListFormat> lists_;
    QHash<const QTextList*, int> listIndex_;
    QStringList pictures_;
    bool complete_ = false;
    bool flat_ = true;
    QFont defaultFont_;
    QTextOption defaultOption_;
    // The pictures and kept groups, held in a document of their own once the walk ends.
    std::unique_ptr<QTextDocument> resources_;
};
