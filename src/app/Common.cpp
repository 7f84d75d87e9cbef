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

void ReplaceText(QString& text, const QString& find, const QString& replacement) {
    if (find.isEmpty())
        return;
    // QString::replace resumes after each inserted replacement, so a replacement that holds
    // find is never searched again and adjacent matches are all replaced.
    text.replace(find, replacement, Qt::CaseInsensitive);
}

} // namespace Common
