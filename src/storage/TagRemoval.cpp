#include "storage/TagRemoval.h"

namespace TagRemoval {

QString removeTags(const QString& text) {
    // One pass: the kept part before a tag never holds a "<", so the next tag can only start
    // after the ">" just found.
    QString result;
    result.reserve(text.size());
    qsizetype from = 0;
    while (from < text.size()) {
        const qsizetype open = text.indexOf(u'<', from);
        const qsizetype close = open < 0 ? -1 : text.indexOf(u'>', open + 1);
        if (close < 0) {
            result.append(QStringView(text).sliced(from));
            break;
        }
        result.append(QStringView(text).sliced(from, open - from));
        from = close + 1;
    }
    return result;
}

} // namespace TagRemoval
