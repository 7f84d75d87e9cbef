#pragma once

#include <QString>
#include <QStringView>
#include <vector>

// Reads tags as Qt's HTML reader reads them, which is not as browsers do: '<' always opens a
// tag (after white space too), a bare word ends at '/' only before '>', single quotes may be
// escaped, and numeric character references count in names. Whatever bounds markup for Qt's
// reader must see the same tags it sees.

// An attribute's key, and where its value stands in the markup: a value is read only when it
// is needed, so a long one costs one pass.
struct HtmlAttribute {
    QString key;
    qsizetype valueStart = -1; // -1: no value given, which Qt reads as "1"
    qsizetype valueEnd = -1;
};

// One tag as Qt's reader reads it: where it ends, its name, whether it closes itself, and its
// attributes when asked for.
struct HtmlTag {
    qsizetype end = 0;
    QString name;
    bool closing = false;
    bool selfClosed = false;
    bool declaration = false;   // a comment or <!...>
    bool longAttribute = false; // a value longer than the reader's longValue
    std::vector<HtmlAttribute> attributes;
};

class HtmlTagReader {
public:
    // Tags read from `text` tell whether a value is longer than `longValue`.
    HtmlTagReader(QStringView text, qsizetype longValue) : s_(text), longValue_(longValue) {}

    // The tag whose '<' is at `start`, with its attributes when `wantAttributes`.
    HtmlTag tag(qsizetype start, bool wantAttributes);
    // The value of an attribute a tag was read with, as Qt reads it.
    QString value(const HtmlAttribute& attribute);

private:
    bool at(QChar c) const { return pos_ < s_.size() && s_[pos_] == c; }
    void eatSpace();
    void skipPast(QChar c);
    void readAttributes(HtmlTag& tag, bool keep);
    // A word as Qt's reader reads one: in double or single quotes, or up to a space or a mark
    // that ends it. Character references are read as Qt reads them, so that a tag's name is the
    // one Qt sees.
    QString word(bool keep);
    void append(QString& word, QChar c, bool keep);

    QStringView s_;
    qsizetype longValue_;
    qsizetype pos_ = 0;
};
