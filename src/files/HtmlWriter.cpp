#include "files/HtmlWriter.h"

#include <QTextBlock>
#include <QTextDocument>

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

QString alignmentOf(const QTextBlockFormat& f) {
    if (f.alignment() & Qt::AlignRight)
        return QStringLiteral(" style=\"text-align:right\"");
    if (f.alignment() & Qt::AlignHCenter)
        return QStringLiteral(" style=\"text-align:center\"");
    if (f.alignment() & Qt::AlignJustify)
        return QStringLiteral(" style=\"text-align:justify\"");
    return {};
}

void appendRun(QString& out, const QTextFragment& fragment) {
    const QTextCharFormat f = fragment.charFormat();
    // Only what would start markup is escaped: quotes and '>' are plain text in HTML, so they
    // stay themselves and read back as themselves.
    QString text = fragment.text();
    text.replace(QLatin1Char('&'), QStringLiteral("&amp;"));
    text.replace(QLatin1Char('<'), QStringLiteral("&lt;"));
    // The line end after the break is what keeps the line when the tags are taken out.
    text.replace(QChar::LineSeparator, QStringLiteral("<br>\n"));
    text.remove(QChar::ObjectReplacementCharacter);
    QStringList open, close;
    const auto wrap = [&](const QString& tag, const QString& attributes = {}) {
        open << QLatin1Char('<') + tag + attributes + QLatin1Char('>');
        close.prepend(QStringLiteral("</") + tag + QLatin1Char('>'));
    };
    const QString style = styleOf(f);
    if (!style.isEmpty())
        wrap(QStringLiteral("span"), QStringLiteral(" style=\"") + style + QLatin1Char('"'));
    if (f.fontWeight() >= QFont::Bold)
        wrap(QStringLiteral("b"));
    if (f.fontItalic())
        wrap(QStringLiteral("i"));
    if (f.fontUnderline())
        wrap(QStringLiteral("u"));
    if (f.fontStrikeOut())
        wrap(QStringLiteral("s"));
    out += open.join(QString()) + text + close.join(QString());
}
} // namespace

namespace HtmlWriter {
QByteArray write(const QTextDocument& document) {
    QString out =
        QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body>");
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin())
            out += QLatin1Char('\n');
        out += QStringLiteral("<p") + alignmentOf(block.blockFormat()) + QLatin1Char('>');
        for (auto it = block.begin(); !it.atEnd(); ++it)
            appendRun(out, it.fragment());
        out += QStringLiteral("</p>");
    }
    out += QStringLiteral("</body></html>");
    return out.toUtf8();
}
} // namespace HtmlWriter
