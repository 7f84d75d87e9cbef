#include "system/FontFamilies.h"

#include <QSet>

namespace FontFamilies {

QString plainName(const QString& family) {
    if (!family.endsWith(QLatin1Char(']')))
        return family;
    const qsizetype open = family.lastIndexOf(QLatin1String(" ["));
    return open > 0 ? family.left(open) : family;
}

QStringList plainNames(const QStringList& families) {
    QStringList names;
    QSet<QString> seen;
    for (const QString& family : families) {
        const QString name = plainName(family);
        if (!seen.contains(name)) {
            seen.insert(name);
            names.append(name);
        }
    }
    return names;
}

} // namespace FontFamilies
