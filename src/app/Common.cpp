#include "app/Common.h"

#include "platform/Error.h"
#include "platform/ProfileFile.h"

namespace Common {

QString GetIniValue(const QString& section, const QString& key, const QString& file) {
    // The profile call fills a buffer of 255 characters, one of them its terminating zero.
    constexpr qsizetype capacity = 254;
    QString value = ProfileFile::read(file, section, key);
    if (value.size() > capacity) {
        value.truncate(capacity);
        if (value.back().isHighSurrogate())
            value.chop(1);
    }
    return value;
}

bool WriteIniValue(const QString& section, const QString& key, const QString& value,
                   const QString& file) {
    try {
        ProfileFile::write(file, section, key, value);
        return true;
    } catch (const Error&) {
        return false;
    }
}

// Done as the step rule says, the routine rebuilds the whole text after every match. Here the
// text is written out once, left to right: whatever lies before the place where the next
// search starts is final. What has not been searched yet is the part of the last replacement
// after its first character (pending) followed by the rest of the given text.
void ReplaceText(QString& text, const QString& find, const QString& replacement) {
    if (find.isEmpty() || !text.contains(find, Qt::CaseInsensitive))
        return;
    // Every later search would start inside the newest replacement and match there again.
    if (QStringView(replacement).mid(1).contains(find, Qt::CaseInsensitive))
        throw Error{14, QStringLiteral("Out of string space")};

    const qsizetype findLength = find.size();
    QString out;
    out.reserve(text.size());
    QString pending;
    qsizetype rest = 0;
    for (;;) {
        // pending holds no whole match, so a match that starts in it runs on into the text.
        qsizetype inPending = -1;
        if (!pending.isEmpty()) {
            const QString joint = pending + text.mid(rest, findLength - 1);
            inPending = joint.indexOf(find, 0, Qt::CaseInsensitive);
            if (inPending >= pending.size())
                inPending = -1;
        }
        qsizetype afterMatch = 0;
        if (inPending >= 0) {
            out += QStringView(pending).left(inPending);
            afterMatch = rest + inPending + findLength - pending.size();
        } else {
            const qsizetype at = text.indexOf(find, rest, Qt::CaseInsensitive);
            out += pending;
            if (at < 0) {
                out += QStringView(text).mid(rest);
                break;
            }
            out += QStringView(text).mid(rest, at - rest);
            afterMatch = at + findLength;
        }
        // The changed text goes on with the replacement, then the text after the match; the
        // next search starts one character later, which makes that character final.
        if (!replacement.isEmpty()) {
            out += replacement.front();
            pending = replacement.mid(1);
            rest = afterMatch;
        } else {
            pending.clear();
            if (afterMatch < text.size())
                out += text[afterMatch++];
            rest = afterMatch;
        }
    }
    text = out;
}

} // namespace Common
