#include "platform/PlainText.h"

#include "platform/Windows1252.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <optional>

namespace PlainText {

namespace {

constexpr QByteArrayView utf8Bom("\xEF\xBB\xBF");
constexpr QByteArrayView utf16LEBom("\xFF\xFE");
constexpr QByteArrayView utf16BEBom("\xFE\xFF");

// A second byte order mark after the first is text, not a mark.
QString decodeAfterBom(QByteArrayView bytes, QStringConverter::Encoding encoding) {
    QStringDecoder decoder(encoding, QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

QString decodeWindows1252(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (char byte : bytes)
        *out++ = Windows1252::toUnicode(static_cast<unsigned char>(byte));
    return text;
}

// Turns every CR LF, LF and lone CR into '\n' in place; returns the first kind seen.
Encoding::LineEnd unifyLineEnds(QString& text) {
    std::optional<Encoding::LineEnd> first;
    char16_t* data = reinterpret_cast<char16_t*>(text.data());
    const qsizetype size = text.size();
    qsizetype written = 0;
    for (qsizetype read = 0; read < size; ++read) {
        const char16_t c = data[read];
        if (c == u'\r') {
            const bool pair = read + 1 < size && data[read + 1] == u'\n';
            if (!first)
                first = pair ? Encoding::LineEnd::CRLF : Encoding::LineEnd::CR;
            read += pair ? 1 : 0;
            data[written++] = u'\n';
        } else {
            if (c == u'\n' && !first)
                first = Encoding::LineEnd::LF;
            data[written++] = c;
        }
    }
    text.truncate(written);
    return first.value_or(Encoding::LineEnd::CRLF);
}

QString withLineEnds(const QString& text, Encoding::LineEnd lineEnd) {
    if (lineEnd == Encoding::LineEnd::LF)
        return text;
    if (lineEnd == Encoding::LineEnd::CR) {
        QString copy = text;
        copy.replace(u'\n', u'\r');
        return copy;
    }
    const qsizetype breaks = text.count(u'\n');
    QString out(text.size() + breaks, Qt::Uninitialized);
    char16_t* to = reinterpret_cast<char16_t*>(out.data());
    for (QChar c : text) {
        if (c == u'\n')
            *to++ = u'\r';
        *to++ = c.unicode();
    }
    return out;
}

// Empty when some character has no byte in the code page.
std::optional<QByteArray> encodeWindows1252(const QString& text) {
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* to = bytes.data();
    for (QChar c : text) {
        const int byte = Windows1252::fromUnicode(c.unicode());
        if (byte < 0)
            return std::nullopt;
        *to++ = char(byte);
    }
    return bytes;
}

QByteArray encodeUnicode(const QString& text, QStringConverter::Encoding encoding,
                         QByteArrayView bom, bool* fits) {
    QStringEncoder encoder(encoding);
    QByteArray bytes = bom.toByteArray();
    bytes += encoder.encode(text);
    *fits = !encoder.hasError();
    return bytes;
}

} // namespace

Decoded decode(QByteArrayView bytes) {
    Decoded decoded;
    Encoding::Kind& kind = decoded.encoding.kind;
    if (bytes.startsWith(utf8Bom)) {
        kind = Encoding::Kind::Utf8Bom;
        decoded.text = decodeAfterBom(bytes.sliced(utf8Bom.size()), QStringConverter::Utf8);
    } else if (bytes.startsWith(utf16LEBom)) {
        kind = Encoding::Kind::Utf16LE;
        decoded.text = decodeAfterBom(bytes.sliced(2), QStringConverter::Utf16LE);
    } else if (bytes.startsWith(utf16BEBom)) {
        kind = Encoding::Kind::Utf16BE;
        decoded.text = decodeAfterBom(bytes.sliced(2), QStringConverter::Utf16BE);
    } else {
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        decoded.text = utf8.decode(bytes);
        kind = Encoding::Kind::Utf8;
        if (utf8.hasError()) {
            kind = Encoding::Kind::Windows1252;
            decoded.text = decodeWindows1252(bytes);
        }
    }
    decoded.encoding.lineEnd = unifyLineEnds(decoded.text);
    return decoded;
}

QByteArray encode(const QString& text, Encoding encoding, bool* everyCharacterFits) {
    bool fits = true;
    const QString lines = withLineEnds(text, encoding.lineEnd);
    QByteArray bytes;
    switch (encoding.kind) {
    case Encoding::Kind::Windows1252:
        if (std::optional<QByteArray> narrow = encodeWindows1252(lines)) {
            bytes = std::move(*narrow);
            break;
        }
        bytes = encodeUnicode(lines, QStringConverter::Utf8, {}, &fits);
        fits = false;
        break;
    case Encoding::Kind::Utf8:
        bytes = encodeUnicode(lines, QStringConverter::Utf8, {}, &fits);
        break;
    case Encoding::Kind::Utf8Bom:
        bytes = encodeUnicode(lines, QStringConverter::Utf8, utf8Bom, &fits);
        break;
    case Encoding::Kind::Utf16LE:
        bytes = encodeUnicode(lines, QStringConverter::Utf16LE, utf16LEBom, &fits);
        break;
    case Encoding::Kind::Utf16BE:
        bytes = encodeUnicode(lines, QStringConverter::Utf16BE, utf16BEBom, &fits);
        break;
    }
    if (everyCharacterFits)
        *everyCharacterFits = fits;
    return bytes;
}

QString fromDocumentText(QString text) {
    text.replace(QLatin1Char('\v'), QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    text.remove(QChar::ObjectReplacementCharacter);
    return text;
}

} // namespace PlainText
