#include "storage/DocumentDefaults.h"

#include "model/Twips.h"
#include "storage/ResourceGate.h"

#include <QTextDocument>
#include <QTextOption>

namespace DocumentDefaults {

QFont font() {
    QFont arial(QStringLiteral("Arial"));
    arial.setPointSize(12);
    return arial;
}

QTextCharFormat charFormat() {
    QTextCharFormat initial;
    initial.setFontFamilies({QStringLiteral("Arial")});
    initial.setFontPointSize(12);
    return initial;
}

void setUp(QTextDocument& document) {
    ResourceGate::close(document);
    document.setDefaultFont(font());
    QTextOption option = document.defaultTextOption();
    option.setTabStopDistance(Twips::toLayout(720));
    document.setDefaultTextOption(option);
}

} // namespace DocumentDefaults
