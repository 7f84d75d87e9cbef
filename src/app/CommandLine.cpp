#include "app/CommandLine.h"

#include "text/NativePath.h"

#include <QUrl>

namespace {
const char usage[] =
    "Usage: quillet [DOCUMENT]\n"
    "\n"
    "Opens the frame with an empty document and, when DOCUMENT is given, that document in a\n"
    "second window. A path containing \".rtf\" (in any case) is read as rich text, one containing\n"
    "\".htm\" as plain text with the tags removed, anything else as plain text. DOCUMENT may be\n"
    "given as a file URI (file:///...). Words after the program's name are joined by blanks into\n"
    "one path, and quotes in it are removed.\n"
    "\n"
    "  -h, --help     show this text and end\n"
    "  --version      show the version and end\n"
    "\n"
    "The frame's place and size are kept in multi.ini: beside the program when its folder is\n"
    "writable, else in $XDG_CONFIG_HOME/quillet (by default ~/.config/quillet).\n";
} // namespace

namespace CommandLine {

std::optional<QString> answerWithoutWindow(const QStringList& words) {
    for (const QString& word : words) {
        if (word == QLatin1String("--help") || word == QLatin1String("-h"))
            return QString::fromLatin1(usage);
        if (word == QLatin1String("--version"))
            return QStringLiteral("quillet " QUILLET_VERSION "\n");
    }
    return std::nullopt;
}

QString documentPath(const QString& line) {
    if (!line.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return line;
    const QUrl url(line);
    // A URI naming another machine's file has no local path: the line stays as it was typed.
    if (!url.isValid() || !url.isLocalFile() ||
        !(url.host().isEmpty() || url.host() == QLatin1String("localhost")))
        return line;
    // Decoded to bytes first: an escape of a byte that is not UTF-8 (%E9 from a Latin-1 name)
    // names that byte, which Qt's own decoding would lose.
    return NativePath::decode(
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

} // namespace CommandLine
