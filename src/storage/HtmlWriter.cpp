#include "storage/HtmlWriter.h"

#include <QTextBlock>
#include <QTextDocument>

#include <optional>
#include <vector>

namespace {
QString styleOf(const QTextCharFormat& f) {
    QStringList style;
    const QStringList families = f.fontFamilies().toStringList();
    if (!families.isEmpty())
        style << QStringLiteral("font-family:'%1'").arg(families.first().toHtmlEscaped());
    if (f.fontPointSize() > 0)
        style << QStringLiteral("font-size:%1pt").arg(f.fontPointSize());
    if (f.hasProperty(QTextFormat::ForegroundBrush))
        style << QStringLiteral("color:%1").arg(f.foreground().color().name());
    if (f.hasProperty(QTextFormat::BackgroundBrush))
        style << QStringLiteral("background-color:%1").arg(f.background().color().name());
    return style.join(QLatin1Char(';'));
}

QByteArray alignmentOf(const QTextBlockFormat& f) {
    if (f.alignment() & Qt::AlignRight)
        return " style=\"text-align:right\"";
    if (f.alignment() & Qt::AlignHCenter)
        return " style=\"text-align:center\"";
    if (f.alignment() & Qt::AlignJustify)
        return " style=\"text-align:justify\"";
    return {};
}

// The tags around a run of one character format.
struct RunTags {
    QByteArray open;
    QByteArray close;
};

RunTags tagsOf(const QTextCharFormat& f) {
    RunTags tags;
    const auto wrap = [&](const QByteArray& tag, const QByteArray& attributes = {}) {
        tags.open += '<' + tag + attributes + '>';
        tags.close.prepend("</" + tag + '>');
    };
    const QString style = styleOf(f);
    if (!style.isEmpty())
        wrap("span", " style=\"" + style.toUtf8() + '"');
    if (f.fontWeight() >= QFont::Bold)
        wrap("b");
    if (f.fontItalic())
        wrap("i");
    if (f.fontUnderline())
        wrap("u");
    if (f.fontStrikeOut())
        wrap("s");
    return tags;
}

// Only what would start markup is escaped: quotes and '>' are plain text in HTML, so they stay
// themselves and read back as themselves. The line end after a break is what keeps the line when
// the tags are taken out.
void appendText(QByteArray& out, QStringView text) {
    qsizetype plainFrom = 0;
    const auto appendPlain = [&](qsizetype to) {
        if (to > plainFrom)
            out += text.sliced(plainFrom, to - plainFrom).toUtf8();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char* replacement = nullptr;
        switch (text[i].unicode()) {
        case u'&':
            replacement = "&amp;";
            break;
        case u'<':
            replacement = "&lt;";
            break;
        case QChar::LineSeparator:
            replacement = "<br>\n";
            break;
        case QChar::ObjectReplacementCharacter:
            replacement = "";
            break;
        default:
            continue;
        }
        appendPlain(i);
        out += replacement;
        plainFrom = i + 1;
    }
    appendPlain(text.size());
}

// A document has few character formats and many runs: each format's tags are made once.
class TagCache {
public:
    explicit TagCache(const QTextDocument& document) : m_formats(document.allFormats()) {}

    const RunTags& of(const QTextFragment& fragment) {
        const int index = fragment.charFormatIndex();
        if (index < 0 || index >= m_formats.size())
            return m_scratch = tagsOf(fragment.charFormat());
        if (size_t(index) >= m_tags.size())
            m_tags.resize(size_t(m_formats.size()));
        std::optional<RunTags>& tags = m_tags[size_t(index)];
        if (!tags)
            tags = tagsOf(m_formats[index].toCharFormat());
        return *tags;
    }

private:
    const QList<QTextFormat> m_formats;
    std::vector<std::optional<RunTags>> m_tags;
    RunTags m_scratch;
};
} // namespace

namespace HtmlWriter {
QByteArray write(const QTextDocument& document) {
    QByteArray out = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body>";
    TagCache tags(document);
    // Room for the whole page at once: grown step by step, a large page leaves the memory of
    // every smaller copy behind. Each character takes at most three bytes; the rare escapes
    // that take more only make it grow once more.
    qsizetype size = out.size();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        size += 8 + alignmentOf(block.blockFormat()).size();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const RunTags& run = tags.of(it.fragment());
            size += run.open.size() + run.close.size() + 3 * it.fragment().length();
        }
    }
    out.reserve(size + 16);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin())
            out += '\n';
        out += "<p" + alignmentOf(block.blockFormat()) + '>';
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const RunTags& run = tags.of(fragment);
            out += run.open;
            appendText(out, fragment.text());
            out += run.close;
        }
        out += "</p>";
    }
    out += "</body></html>";
    return out;
}
} // namespace HtmlWriter
