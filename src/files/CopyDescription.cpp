#include "files/CopyDescription.h"

#include "text/NativePath.h"

#include <QCryptographicHash>
#include <QDir>

#include <utility>

namespace CopyDescription {

namespace {
QByteArray checksum(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

const char* kindName(DocumentFile::Kind kind) {
    switch (kind) {
    case DocumentFile::Kind::RichText:
        return "rtf";
    case DocumentFile::Kind::Html:
        return "htm";
    case DocumentFile::Kind::PlainText:
        break;
    }
    return "txt";
}

std::optional<DocumentFile::Kind> kindNamed(const QByteArray& name) {
    for (DocumentFile::Kind kind :
         {DocumentFile::Kind::RichText, DocumentFile::Kind::Html, DocumentFile::Kind::PlainText})
        if (name == kindName(kind))
            return kind;
    return std::nullopt;
}

using Encoding = PlainText::Encoding;
constexpr std::pair<Encoding::Kind, const char*> encodingNames[] = {
    {Encoding::Kind::Utf8, "utf-8"},
    {Encoding::Kind::Utf8Bom, "utf-8-bom"},
    {Encoding::Kind::Utf16LE, "utf-16le-bom"},
    {Encoding::Kind::Utf16BE, "utf-16be-bom"},
    {Encoding::Kind::Utf16LENoBom, "utf-16le"},
    {Encoding::Kind::Utf16BENoBom, "utf-16be"},
    {Encoding::Kind::Windows1252, "windows-1252"},
};
constexpr std::pair<Encoding::LineEnd, const char*> lineEndNames[] = {
    {Encoding::LineEnd::CRLF, "crlf"},
    {Encoding::LineEnd::LF, "lf"},
    {Encoding::LineEnd::CR, "cr"},
};

template <typename Value, size_t N>
const char* nameOf(const std::pair<Value, const char*> (&names)[N], Value value) {
    for (const auto& [known, name] : names)
        if (known == value)
            return name;
    return "";
}

template <typename Value, size_t N>
std::optional<Value> valueNamed(const std::pair<Value, const char*> (&names)[N],
                                const QByteArray& name) {
    for (const auto& [value, known] : names)
        if (name == known)
            return value;
    return std::nullopt;
}

// "utf-8 crlf"; none for a name this run does not know, as for a document not read as text.
std::optional<Encoding> encodingNamed(const QByteArray& value) {
    const QList<QByteArray> parts = value.split(' ');
    if (parts.size() != 2)
        return std::nullopt;
    const auto kind = valueNamed(encodingNames, parts[0]);
    const auto lineEnd = valueNamed(lineEndNames, parts[1]);
    if (!kind || !lineEnd)
        return std::nullopt;
    return Encoding{*kind, *lineEnd};
}

// "key=value" lines, values percent-encoded so any name (even one that is not UTF-8) and any
// caption fit on one line.
} // namespace

QByteArray write(const About& about, const QByteArray& rtf) {
    QByteArray info;
    const auto line = [&info](const char* key, const QByteArray& value) {
        info += key;
        info += '=';
        info += value.toPercentEncoding();
        info += '\n';
    };
    line("path", NativePath::encode(about.path));
    line("caption", about.caption.toUtf8());
    line("kind", kindName(about.kind));
    line("kept", about.keptAt.toUTC().toString(Qt::ISODateWithMs).toLatin1());
    line("bytes", QByteArray::number(rtf.size()));
    line("sha256", checksum(rtf));
    if (about.encoding)
        line("encoding", QByteArray(nameOf(encodingNames, about.encoding->kind)) + ' ' +
                             nameOf(lineEndNames, about.encoding->lineEnd));
    return info;
}

Read read(const QByteArray& lines) {
    Read info;
    int found = 0;
    std::optional<DocumentFile::Kind> kind;
    for (const QByteArray& line : lines.split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0)
            continue;
        const QByteArray key = line.left(equals);
        const QByteArray value = QByteArray::fromPercentEncoding(line.mid(equals + 1));
        ++found;
        if (key == "path")
            info.about.path = NativePath::decode(value);
        else if (key == "caption")
            info.about.caption = QString::fromUtf8(value);
        else if (key == "kind")
            kind = kindNamed(value);
        else if (key == "kept")
            info.about.keptAt =
                QDateTime::fromString(QString::fromLatin1(value), Qt::ISODateWithMs);
        else if (key == "bytes")
            info.bytes = value.toLongLong();
        else if (key == "sha256")
            info.sha256 = value;
        else if (key == "encoding") {
            // Only documents read from plain text have one: it is not among the six every copy
            // has.
            info.about.encoding = encodingNamed(value);
            --found;
        } else
            --found;
    }
    info.about.kind = kind.value_or(DocumentFile::Kind::RichText);
    info.complete = found == 6 && kind && info.about.keptAt.isValid() && info.bytes >= 0;
    return info;
}

bool matches(const Read& description, const QByteArray& rtf) {
    return description.complete && !rtf.isEmpty() && rtf.size() == description.bytes &&
           checksum(rtf) == description.sha256;
}

bool namesFileInFull(const QString& path) {
    return QDir::isAbsolutePath(path) && QDir::cleanPath(path) == path && !path.endsWith(u'/');
}

} // namespace CopyDescription
