#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// File names as the system keeps them: bytes, which are UTF-8 nearly always but need not be.
// Qt turns a byte that is not UTF-8 into U+FFFD, and that name then opens nothing. Here each such
// byte becomes the lone surrogate U+DC80..U+DCFF of its value, which no valid text holds, and
// turns back into the same byte, so a name read from the command line opens and saves the very
// file it named.
namespace NativePath {

QString decode(QByteArrayView bytes);
QByteArray encode(const QString& path);

} // namespace NativePath
