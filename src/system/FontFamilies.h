#pragma once

#include <QStringList>

// Font families as a user and other programs name them. Fontconfig lists a family once per
// foundry ("C059 [UKWN]", "C059 [urw]"); those brackets mean nothing in a document's font table.
namespace FontFamilies {
QString plainName(const QString& family);
// Each family once, by its plain name, in the order first met.
QStringList plainNames(const QStringList& families);
} // namespace FontFamilies
