#include "MessageLine.h"

namespace {

QByteArray hex(uint value, int digits) {
    return QByteArray::number(value, 16).rightJustified(digits, '0');
}

// Text that moves or hides what follows it on a terminal or in a log.
bool isControl(char16_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029 ||
           (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

QByteArray escaped(char16_t c) {
    switch (c) {
    case '\r':
        return "\\r";
    case '\n':
        return "\\n";
    case '\t':
        return "\\t";
    default:
        // A byte of a name that is not UTF-8 (text/NativePath keeps it as U+DC80 + the byte).
        if (c >= 0xDC80 && c <= 0xDCFF)
            return "\\x" + hex(c - 0xDC00, 2);
        return c < 0x100 ? "\\x" + hex(c, 2) : "\\u" + hex(c, 4);
    }
}

} // namespace

QByteArray messageLine(const QString& message) {
    QByteArray line = "quillet-convert: ";
    qsizetype plain = 0; // where the run of text shown as it is starts
    for (qsizetype i = 0; i < message.size(); ++i) {
        const char16_t c = message[i].unicode();
        const bool byte =
            c >= 0xDC80 && c <= 0xDCFF && !(i > 0 && message[i - 1].isHighSurrogate());
        if (!isControl(c) && !byte)
            continue;
        line += QStringView(message).sliced(plain, i - plain).toUtf8() + escaped(c);
        plain = i + 1;
    }
    return line + QStringView(message).sliced(plain).toUtf8();
}
