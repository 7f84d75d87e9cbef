#pragma once

#include "rtf/RtfGroupState.h"

#include <QByteArrayView>

#include <cstddef>

namespace rtf {

class ContentSink;
struct ControlWord;
struct HeaderTables;

// What the parts of the reader (fields, shapes and objects, list text) ask of the reader that
// feeds them: where it is in the file and in its groups, and how content is placed.
class ReadingContext {
public:
    // The whole file, from its first brace, and how far the tokenizer has read it.
    virtual QByteArrayView data() const = 0;
    virtual qsizetype position() const = 0;
    // How many groups are open and kept (the innermost one's state is state()).
    virtual size_t depth() const = 0;
    virtual GroupState& state() = 0;
    // More groups are open than are kept: their ends cannot be told from each other.
    virtual bool beyondKeptDepth() const = 0;
    // The innermost group starts with `word`, right after its brace (and a \*).
    virtual bool groupStartsWith(const ControlWord& word) const = 0;
    // The rest of the innermost group is passed over.
    virtual void skipGroup() = 0;
    // The text read so far goes out before what comes next.
    virtual void flushRun() = 0;
    // Content is about to go out: into the table cell or list number it belongs to.
    virtual void beginContent() = 0;
    // Where the paragraph's content goes, also when that is a cell that has not started yet.
    virtual void toContentLevel() = 0;
    // Hidden content from `from` to `to` in the file: kept aside, where the document shows none.
    virtual void noteHidden(qsizetype from, qsizetype to) = 0;
    // Ends the paragraph, `level` deep in tables (-1: where its content is).
    virtual void endParagraph(int level) = 0;
    virtual ContentSink& out() = 0;
    virtual const HeaderTables& header() const = 0;
    // Text runs, paragraph marks and pictures sent out so far.
    virtual int contentPlaced() const = 0;
    virtual void countPlaced() = 0;

protected:
    ~ReadingContext() = default;
};

} // namespace rtf
