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

QStringList withMetricAliases(QStringList families,
                              const std::function<QString(const QString&)>& drawnAs) {
    // The metric-compatible families fontconfig's own aliases stand in for each name with.
    static const struct {
        const char* name;
        const char* const standIns[7];
    } aliases[] = {
        {"Arial",
         {"Liberation Sans", "Arimo", "Albany AMT", "Albany", "Nimbus Sans", "Nimbus Sans L",
          "Helvetica"}},
        {"Times New Roman",
         {"Liberation Serif", "Tinos", "Thorndale AMT", "Thorndale", "Nimbus Roman",
          "Nimbus Roman No9 L", "Times"}},
        {"Courier New",
         {"Liberation Mono", "Cousine", "Cumberland AMT", "Cumberland", "Nimbus Mono PS",
          "Nimbus Mono L", "Courier"}},
    };
    for (const auto& alias : aliases) {
        const QString name = QString::fromLatin1(alias.name);
        if (families.contains(name))
            continue;
        const QString drawn = plainName(drawnAs(name));
        for (const char* standIn : alias.standIns) {
            if (drawn == QLatin1String(standIn)) {
                families.append(name);
                break;
            }
        }
    }
    return families;
}

} // namespace FontFamilies
