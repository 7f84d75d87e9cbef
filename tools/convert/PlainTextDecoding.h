#pragma once

#include <QByteArrayView>
#include <QString>

// Text file bytes as text: a UTF-8 or UTF-16 byte order mark decides, then valid UTF-8, and
// anything else is Windows-1252. CR LF, LF and CR all end a paragraph and come out as '\n'.
QString decodePlainText(QByteArrayView bytes);
