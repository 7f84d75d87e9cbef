#pragma once

#include "rtf/RtfContentSink.h"

namespace rtf {

// The text a document built from the same content would give as plain text: paragraphs and
// line separators as '\n', no-break spaces as spaces, each picture as U+FFFC, and a table's
// cells as TableText::markCells marks them.
class TextCollector final : public ContentSink {
public:
    // Shown: as QTextDocument::toPlainText gives the document's text (a picture is U+FFFC, a
    // non-breaking space a space). Saved: as a save as plain text writes it (no picture, the
    // non-breaking space kept).
    enum class Form { Shown, Saved };
    explicit TextCollector(Form form = Form::Shown) : m_form(form) {}

    bool ignoresFormats() const override { return true; }
    void appendText(const QString& text, const CharState& chars) override;
    void appendImage(const Picture& picture) override;
    void attachObject(QByteArrayView) override {}
    // A table's cells read as its document shows them: each row on a line of its own, its cells
    // after tabs.
    void appendTable(const Table& table) override;
    void endParagraph(const ParaState& para, const CharState& markChars) override;
    void finish(const ParaState&) override {}

    QString take() { return std::move(m_text); }

private:
    void beginContent();

    Form m_form;
    QString m_text;
    bool m_breakPending = false;
};

} // namespace rtf
