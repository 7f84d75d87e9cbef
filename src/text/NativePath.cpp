#include "text/NativePath.h"

namespace NativePath {

namespace {
constexpr char16_t firstEscape = 0xDC80;
constexpr char16_t lastEscape = 0xDCFF;

// The length of the valid UTF-8 character starting at `at`, or 0 when none starts there.
qsizetype utf8Length(QByteArrayView bytes, qsizetype at) {
    const auto byte = [&](qsizetype i) { return uchar(bytes[i]); };
    const uchar lead = byte(at);
    if (lead < 0x80)
        return 1;
    qsizetype length = 0;
    uchar low = 0x80;
    uchar high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        // No overlong forms, and no surrogates: those are what the escapes stand for.
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > bytes.size())
        return 0;
    if (byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (qsizetype i = 2; i < length; ++i)
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
    return length;
}
} // namespace

QString decode(QByteArrayView bytes) {
    QString path;
    path.reserve(bytes.size());
    qsizetype at = 0;
    while (at < bytes.size()) {
        const qsizetype length = utf8Length(bytes, at);
        if (length == 0) {
            path += QChar(char16_t(firstEscape + uchar(bytes[at]) - 0x80));
            ++at;
            continue;
        }
        path += QString::fromUtf8(bytes.sliced(at, length));
        at += length;
    }
    return path;
}

QByteArray encode(const QString& path) {
    QByteArray bytes;
    bytes.reserve(path.size());
    qsizetype runStart = 0;
    const auto flushRun = [&](qsizetype end) {
        if (end > runStart)
            bytes += QStringView(path).sliced(runStart, end - runStart).toUtf8();
    };
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t unit = path[i].unicode();
        // A lone low surrogate only: one that ends a pair is half of a real character.
        const bool paired = i > 0 && QChar::isHighSurrogate(path[i - 1].unicode());
        if (unit >= firstEscape && unit <= lastEscape && !paired) {
            flushRun(i);
            bytes += char(unit - firstEscape + 0x80);
            runStart = i + 1;
        }
    }
    flushRun(path.size());
    return bytes;
}

} // namespace NativePath
