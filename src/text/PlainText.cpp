#include "text/PlainText.h"

#include "text/Windows1252.h"

#include <QIODevice>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
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

// Turns every CR LF, LF and lone CR into '\n', a piece of text at a time: a CR at the end of a
// piece waits to see whether the next piece starts with LF. Remembers the first kind seen.
struct LineEnds {
    std::optional<Encoding::LineEnd> first;
    bool crWaiting = false;

    void unify(QString& text) {
        char16_t* data = reinterpret_cast<char16_t*>(text.data());
        const qsizetype size = text.size();
        qsizetype written = 0;
        qsizetype read = 0;
        if (crWaiting && size > 0) {
            crWaiting = false;
            const bool pair = data[0] == u'\n';
            if (!first)
                first = pair ? Encoding::LineEnd::CRLF : Encoding::LineEnd::CR;
            read = pair ? 1 : 0;
            // The waiting CR's '\n' takes the place of the LF, or is written before the text.
            if (!pair) {
                text.prepend(u'\n');
                data = reinterpret_cast<char16_t*>(text.data());
                written = read = 1;
                unifyFrom(text, data, read, written);
                return;
            }
            data[written++] = u'\n';
        }
        unifyFrom(text, data, read, written);
    }

    // The text a CR still waiting at the end stands for.
    QString finish() {
        if (!crWaiting)
            return {};
        crWaiting = false;
        if (!first)
            first = Encoding::LineEnd::CR;
        return QStringLiteral("\n");
    }

private:
    void unifyFrom(QString& text, char16_t* data, qsizetype read, qsizetype written) {
        const qsizetype size = text.size();
        for (; read < size; ++read) {
            const char16_t c = data[read];
            if (c == u'\r') {
                if (read + 1 == size) {
                    crWaiting = true;
                    break;
                }
                const bool pair = data[read + 1] == u'\n';
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
    }
};

// Returns the first kind seen.
Encoding::LineEnd unifyLineEnds(QString& text) {
    LineEnds lineEnds;
    lineEnds.unify(text);
    text += lineEnds.finish();
    return lineEnds.first.value_or(Encoding::LineEnd::CRLF);
}

// Where a piece of UTF-8 may end so that no character is cut: before a lead byte. Nothing of a
// piece that holds only the start of one character.
qsizetype utf8PieceEnd(QByteArrayView bytes) {
    qsizetype end = bytes.size();
    for (int back = 0; back < 3 && end > 1 && (uchar(bytes[end - 1]) & 0xC0) == 0x80; ++back)
        --end;
    if (end > 0 && uchar(bytes[end - 1]) >= 0xC0)
        --end;
    return end;
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

// How much of the start of a text tells whether it is UTF-16 without a byte order mark.
constexpr qsizetype utf16Sample = 4096;

// UTF-16 without a byte order mark, judged from the text's start and its whole size in bytes:
// nearly every character is one whose high byte is NUL and whose low byte is not, so the NULs
// stand in one of the two places of each pair, and the sample decodes without error. Two
// characters at least, so that a lone NUL in a byte text does not count.
std::optional<Encoding::Kind> utf16WithoutBom(QByteArrayView start, qint64 size) {
    if (size % 2 != 0 || size < 4)
        return std::nullopt;
    const qsizetype pairs = std::min(start.size(), utf16Sample) / 2;
    if (pairs < 2)
        return std::nullopt;
    qsizetype nulSecond = 0;
    qsizetype nulFirst = 0;
    for (qsizetype i = 0; i < pairs; ++i) {
        const bool firstNul = start[2 * i] == '\0';
        const bool secondNul = start[2 * i + 1] == '\0';
        nulSecond += secondNul && !firstNul;
        nulFirst += firstNul && !secondNul;
    }
    const auto mostly = [&](qsizetype many, qsizetype few) {
        return many * 4 >= pairs * 3 && few * 16 <= pairs;
    };
    std::optional<Encoding::Kind> kind;
    if (mostly(nulSecond, nulFirst))
        kind = Encoding::Kind::Utf16LENoBom;
    else if (mostly(nulFirst, nulSecond))
        kind = Encoding::Kind::Utf16BENoBom;
    else
        return std::nullopt;
    QStringDecoder decoder(kind == Encoding::Kind::Utf16LENoBom ? QStringConverter::Utf16LE
                                                                : QStringConverter::Utf16BE,
                           QStringConverter::Flag::Stateless);
    const QString decoded = decoder.decode(start.first(2 * pairs));
    // A sample cut inside a surrogate pair is still text.
    if (decoder.hasError() && !(pairs * 2 < size && decoded.endsWith(QChar::ReplacementCharacter)))
        return std::nullopt;
    return kind;
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
    } else if (const std::optional<Encoding::Kind> utf16 = utf16WithoutBom(bytes, bytes.size())) {
        kind = *utf16;
        decoded.text =
            decodeAfterBom(bytes, kind == Encoding::Kind::Utf16LENoBom ? QStringConverter::Utf16LE
                                                                       : QStringConverter::Utf16BE);
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

std::optional<Encoding> decodeInPieces(QIODevice& device, const std::function<void(QString&)>& take,
                                       qsizetype pieceBytes) {
    if (!device.seek(0))
        return std::nullopt;
    Encoding encoding;
    const QByteArray start = device.peek(3);
    qsizetype skip = 0;
    QStringConverter::Encoding unicode = QStringConverter::Utf8;
    if (start.startsWith(utf8Bom)) {
        encoding.kind = Encoding::Kind::Utf8Bom;
        skip = utf8Bom.size();
    } else if (start.startsWith(utf16LEBom)) {
        encoding.kind = Encoding::Kind::Utf16LE;
        unicode = QStringConverter::Utf16LE;
        skip = 2;
    } else if (start.startsWith(utf16BEBom)) {
        encoding.kind = Encoding::Kind::Utf16BE;
        unicode = QStringConverter::Utf16BE;
        skip = 2;
    } else if (const std::optional<Encoding::Kind> utf16 =
                   utf16WithoutBom(device.peek(utf16Sample), device.size())) {
        encoding.kind = *utf16;
        unicode = *utf16 == Encoding::Kind::Utf16LENoBom ? QStringConverter::Utf16LE
                                                         : QStringConverter::Utf16BE;
    }
    // Pieces end before a UTF-8 lead byte, or on a whole UTF-16 code unit; the rest is carried
    // over to the next piece.
    const bool utf16 = unicode != QStringConverter::Utf8;
    const auto readPieces = [&](const std::function<void(QByteArrayView)>& piece) {
        if (!device.seek(skip))
            return false;
        QByteArray carried;
        while (true) {
            QByteArray bytes(pieceBytes, Qt::Uninitialized);
            const qint64 got = device.read(bytes.data(), pieceBytes);
            if (got < 0)
                return false;
            bytes.truncate(got);
            bytes.prepend(carried);
            if (got == 0) {
                if (!bytes.isEmpty())
                    piece(bytes);
                return true;
            }
            const qsizetype end = utf16 ? bytes.size() & ~qsizetype(1) : utf8PieceEnd(bytes);
            carried = bytes.sliced(end);
            if (end > 0)
                piece(QByteArrayView(bytes).first(end));
        }
    };
    if (!utf16 && skip == 0) {
        bool valid = true;
        if (!readPieces([&](QByteArrayView bytes) {
                QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
                const QString decoded = utf8.decode(bytes);
                valid = valid && !utf8.hasError();
            }))
            return std::nullopt;
        if (!valid)
            encoding.kind = Encoding::Kind::Windows1252;
    }
    LineEnds lineEnds;
    // A second byte order mark, or one inside the text, is text.
    QStringDecoder decoder(unicode, QStringConverter::Flag::ConvertInitialBom);
    const bool ok = readPieces([&](QByteArrayView bytes) {
        QString text = encoding.kind == Encoding::Kind::Windows1252 ? decodeWindows1252(bytes)
                                                                    : decoder.decode(bytes);
        lineEnds.unify(text);
        take(text);
    });
    if (!ok)
        return std::nullopt;
    QString last = lineEnds.finish();
    if (!last.isEmpty())
        take(last);
    encoding.lineEnd = lineEnds.first.value_or(Encoding::LineEnd::CRLF);
    return encoding;
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
    case Encoding::Kind::Utf16LENoBom:
        bytes = encodeUnicode(lines, QStringConverter::Utf16LE, {}, &fits);
        break;
    case Encoding::Kind::Utf16BENoBom:
        bytes = encodeUnicode(lines, QStringConverter::Utf16BE, {}, &fits);
        break;
    }
    if (everyCharacterFits)
        *everyCharacterFits = fits;
    return bytes;
}

} // namespace PlainText
