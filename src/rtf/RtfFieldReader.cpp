#include "rtf/RtfFieldReader.h"

#include "rtf/RtfContentSink.h"
#include "rtf/RtfControlWords.h"
#include "rtf/RtfKeptGroups.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <optional>

namespace rtf {

namespace {

// Fields in the results of fields: tables of contents hold page references, rarely deeper.
constexpr size_t maxOpenFields = 8;

// A field's flags (\fldedit, \fldlock, ...) as words alone, when nothing else stands between the
// field's word and its instruction: anything else there was read as the document's own text,
// which a save must not write twice.
std::optional<QByteArray> fieldFlags(QByteArrayView bytes) {
    static constexpr QByteArrayView known[] = {"fldedit", "fldlock", "flddirty", "fldpriv"};
    QByteArray flags;
    bool afterWord = true; // a space here ends the word before it
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            afterWord = false;
            continue;
        }
        if (c == ' ' && afterWord) {
            afterWord = false;
            continue;
        }
        if (c != '\\')
            return std::nullopt;
        qsizetype length = 0;
        while (i + 1 + length < bytes.size() &&
               std::isalpha(static_cast<unsigned char>(bytes[i + 1 + length])))
            ++length;
        const QByteArrayView word = bytes.sliced(i + 1, length);
        if (std::find(std::begin(known), std::end(known), word) == std::end(known))
            return std::nullopt;
        flags.append('\\').append(word);
        i += length;
        afterWord = true;
    }
    return flags;
}

} // namespace

void FieldReader::begin(bool insideKept) {
    // Only a field in document text, whose group starts with it, is kept: its instruction is
    // written back from its brace.
    const GroupState& s = m_reader.state();
    if (m_fields.size() < maxOpenFields && !m_reader.beyondKeptDepth() && !insideKept &&
        s.destination == Destination::Text &&
        m_reader.data().sliced(s.start).startsWith("{\\field"))
        m_fields.push_back({m_reader.depth(), s.start, 0, 0});
}

void FieldReader::beginPart(const ControlWord& part) {
    if (m_fields.empty() || m_fields.back().depth + 1 != m_reader.depth())
        return;
    OpenField& field = m_fields.back();
    if (part.id == Word::FieldInst) {
        // Kept only when its group starts with it: text before it in the group is the
        // document's.
        if (!field.instructionEnd && !m_instructionDepth && m_reader.groupStartsWith(part)) {
            m_instructionDepth = m_reader.depth();
            field.instructionStart = m_reader.state().start;
        }
        return;
    }
    if (!field.instructionEnd || field.resultDepth)
        return;
    m_reader.flushRun();
    field.resultDepth = m_reader.depth();
    field.resulted = true;
    beginResult(field);
}

void FieldReader::beginResult(const OpenField& field) {
    // The field's brace and its flags, then its instruction; anything else there was read as
    // the document's.
    const QByteArrayView data = m_reader.data();
    const qsizetype flagsStart = field.start + qsizetype(sizeof("{\\field") - 1);
    const QByteArrayView flags = data.sliced(flagsStart, field.instructionStart - flagsStart);
    QByteArray head = "{\\field";
    if (const std::optional<QByteArray> words = fieldFlags(flags))
        head.append(*words);
    head.append(data.sliced(field.instructionStart, field.instructionEnd - field.instructionStart));
    m_reader.toContentLevel();
    KeptGroup kept = KeptGroup::of(KeptGroup::Kind::Field, head, m_reader.header());
    if (head.toLower().contains("hyperlink"))
        kept.link = KeptGroups::hyperlinkTarget(m_instructionText(kept));
    m_reader.out().beginField(kept);
}

void FieldReader::groupEnd(size_t depth) {
    if (depth == m_instructionDepth) {
        m_fields.back().instructionEnd = m_reader.position();
        m_instructionDepth = 0;
    }
    if (m_fields.empty())
        return;
    if (depth == m_fields.back().resultDepth) {
        m_reader.flushRun();
        m_reader.out().endField();
        m_fields.back().resultDepth = 0;
    }
    if (depth == m_fields.back().depth) {
        // A field with no result keeps its instruction all the same, as one whose result is
        // empty.
        if (const OpenField& field = m_fields.back(); !field.resulted && field.instructionEnd) {
            m_reader.flushRun();
            beginResult(field);
            m_reader.out().endField();
        }
        m_fields.pop_back();
    }
}

} // namespace rtf
