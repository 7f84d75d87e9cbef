#pragma once

#include "rtf/RtfReadingContext.h"

#include <QString>

#include <vector>

namespace rtf {

struct ControlWord;
struct KeptGroup;

// Fields in document text: the instruction is kept for saving, the result is the document's
// text, marked as the field's. A field with no result, or an empty one, keeps its instruction
// all the same. Fields nest in results.
class FieldReader {
public:
    // The text of a kept instruction, for the target of a HYPERLINK.
    using InstructionText = QString (*)(const KeptGroup&);
    FieldReader(ReadingContext& reader, InstructionText instructionText)
        : m_reader(reader), m_instructionText(instructionText) {}

    // \field; `insideKept` when the group is part of a header, footer or footnote kept whole.
    void begin(bool insideKept);
    // \fldinst or \fldrslt.
    void beginPart(const ControlWord& part);
    // A group closed; `depth` is how many groups were open inside it.
    void groupEnd(size_t depth);

private:
    // A field being read: where its group starts and how deep it is, where its instruction
    // starts and ends once read, and how deep its result is while that is read.
    struct OpenField {
        size_t depth = 0;
        qsizetype start = 0;
        qsizetype instructionStart = 0;
        qsizetype instructionEnd = 0;
        size_t resultDepth = 0;
        bool resulted = false; // a result was read
    };
    void beginResult(const OpenField& field);

    ReadingContext& m_reader;
    InstructionText m_instructionText;
    std::vector<OpenField> m_fields; // innermost last
    size_t m_instructionDepth = 0;   // inside the innermost field's instruction
};

} // namespace rtf
