#include "pictures/OlePackage.h"

#include "text/Windows1252.h"

#include <QtEndian>

namespace OlePackage {

namespace {

// Object headers and presentation headers of OLE 1.0 carry this version.
constexpr quint32 oleVersion = 0x00000501;
constexpr quint32 embeddedFormat = 2;
constexpr quint32 noPresentation = 0;
constexpr quint16 packageHeader = 2;
constexpr quint16 embeddedFileType = 3; // against 1, a link to the file

template <typename Number> void append(QByteArray& out, Number value) {
    char bytes[sizeof value];
    qToLittleEndian(value, bytes);
    out.append(bytes, sizeof value);
}

// A string that ends in a zero byte.
void appendAnsi(QByteArray& out, const QString& text) {
    for (const QChar c : text) {
        const int byte = Windows1252::fromUnicode(c.unicode());
        out.append(byte > 0 ? char(byte) : '?');
    }
    out.append('\0');
}

// A length (counting the zero byte) and a string that ends in a zero byte; an empty one is its
// length alone.
void appendCounted(QByteArray& out, QByteArrayView text) {
    if (text.isEmpty()) {
        append<quint32>(out, 0);
        return;
    }
    append<quint32>(out, quint32(text.size() + 1));
    out.append(text.data(), text.size());
    out.append('\0');
}

} // namespace

QByteArray nativeData(const QString& label, const QString& path, QByteArrayView contents) {
    QByteArray out;
    out.reserve(contents.size() + 2 * path.size() + label.size() + 32);
    append<quint16>(out, packageHeader);
    appendAnsi(out, label);
    appendAnsi(out, path);
    append<quint16>(out, 0); // reserved
    append<quint16>(out, embeddedFileType);
    QByteArray temporaryPath;
    appendAnsi(temporaryPath, path);
    append<quint32>(out, quint32(temporaryPath.size()));
    out.append(temporaryPath);
    append<quint32>(out, quint32(contents.size()));
    out.append(contents.data(), contents.size());
    return out;
}

QByteArray embeddedObject(QByteArrayView name, QByteArrayView nativeData) {
    QByteArray out;
    out.reserve(nativeData.size() + name.size() + 40);
    append<quint32>(out, oleVersion);
    append<quint32>(out, embeddedFormat);
    appendCounted(out, name);
    appendCounted(out, {}); // topic: only links have one
    appendCounted(out, {}); // item
    append<quint32>(out, quint32(nativeData.size()));
    out.append(nativeData.data(), nativeData.size());
    append<quint32>(out, oleVersion);
    append<quint32>(out, noPresentation);
    return out;
}

} // namespace OlePackage
