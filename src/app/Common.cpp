#include "app/Common.h"

#include "os/ProfileFile.h"
#include "text/Error.h"

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

void ReplaceText(QString& text, const QString& find, const QString& replacement) {
    if (find.isEmpty())
        return;
    // One pass that resumes after each match, so a replacement that holds find is never
    // searched again and adjacent matches are all replaced. Built anew rather than with
    // QString::replace, whose cost grows faster than the text when nearly all of it matches.
    QString out;
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(find, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(find, from, Qt::CaseInsensitive)) {
        if (out.isNull())
            out.reserve(text.size());
        out += QStringView(text).mid(from, at - from);
        out += replacement;
        from = at + find.size();
    }
    if (from == 0)
        return;
    out += QStringView(text).mid(from);
    text = std::move(out);
}

} // namespace Common
