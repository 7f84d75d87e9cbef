#pragma once

#include "rtf/RtfGroupState.h"

#include <QByteArrayView>
#include <QString>

namespace rtf {

struct KeptGroup;
struct Picture;
class Table;

// What the reader finds in a file's body, in order. A paragraph mark only takes effect once
// something follows it, so the mark that ends a file does not leave an empty paragraph behind;
// sinks keep that rule themselves.
class ContentSink {
public:
    virtual ~ContentSink() = default;

    // The sink keeps text alone, whatever its format: runs that differ only in format may come
    // to it as one.
    virtual bool ignoresFormats() const { return false; }

    // A run of text in one character format, free of the characters a document reserves.
    virtual void appendText(const QString& text, const CharState& chars) = 0;
    virtual void appendImage(const Picture& picture) = 0;
    // The picture just appended is all an embedded object shows: `group` is the object's whole
    // {\object ...} group as the file has it, valid while the file is being read.
    virtual void attachObject(QByteArrayView group) = 0;
    // Another form of the picture just appended, which readers use when they cannot draw the
    // first (\nonshppict after \shppict).
    virtual void offerAlternative(const Picture&) {}
    // A footnote's number as its mark: footnotes are numbered in the order the document holds
    // them, which a table whose cells are placed later can change from the order they are read.
    virtual void appendFootnoteNumber(const CharState& chars) {
        appendText(QString::number(++m_footnotesNumbered), chars);
    }
    // Content the document does not show but keeps for saving: a header or footer, or a footnote
    // whose mark is the last `markLength` characters appended, or the number just appended when
    // the footnote is numbered.
    virtual void keepSideGroup(const KeptGroup&) {}
    virtual void attachFootnote(const KeptGroup&, int /*markLength*/) {}
    // Hidden text the document does not show, kept to be written back before what follows it.
    virtual void keepHidden(const KeptGroup&) {}
    // The text between these is the result of the field whose instruction `field` keeps. Fields
    // nest: a result may hold other fields.
    virtual void beginField(const KeptGroup&) {}
    // The paragraph just ended ends a section of the document; the next starts another.
    virtual void endSection() {}
    // The distance between the default tab stops, from the margin.
    virtual void setDefaultTabWidth(int /*twips*/) {}
    virtual void endField() {}
    // A table, read whole. Sinks that lay out no tables get its cells' content as paragraphs.
    virtual void appendTable(const Table& table);
    // Ends the current paragraph; `markChars` is the format an empty paragraph keeps.
    virtual void endParagraph(const ParaState& para, const CharState& markChars) = 0;
    // The body is over; `para` is the formatting of a last paragraph no mark ended.
    virtual void finish(const ParaState& para) = 0;

protected:
    int m_footnotesNumbered = 0;
};

} // namespace rtf
