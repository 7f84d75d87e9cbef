#pragma once

#include <QFont>
#include <QTextCharFormat>

class QTextDocument;

// What every document starts as, in a window or not: the text's font and size, the default tab
// stops, and no resource fetched from outside the document.
namespace DocumentDefaults {

QFont font();
QTextCharFormat charFormat();
// Gives `document` the defaults and puts it behind the resource gate.
void setUp(QTextDocument& document);

} // namespace DocumentDefaults
