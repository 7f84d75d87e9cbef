#pragma once

#include <QStringList>

#include <functional>

// Font families as a user and other programs name them. Fontconfig lists a family once per
// foundry ("C059 [UKWN]", "C059 [urw]"); those brackets mean nothing in a document's font table.
namespace FontFamilies {
QString plainName(const QString& family);
// Each family once, by its plain name, in the order first met.
QStringList plainNames(const QStringList& families);
// `families` with the Windows families documents name most (Arial, Times New Roman, Courier
// New) added where the system draws them with a family of the same metrics (`drawnAs` answers
// which family the system draws a name with), so the box can show what documents say.
QStringList withMetricAliases(QStringList families,
                              const std::function<QString(const QString&)>& drawnAs);
} // namespace FontFamilies
