// quillet-convert INPUT OUTPUT: opens a document the way the Open command does and saves it in
// the format its output name asks for.
#include "PlainTextDecoding.h"
#include "files/TagRemoval.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <QTextDocument>

#include <cstdio>
#include <optional>

namespace {

const char usage[] =
    "Usage: quillet-convert INPUT OUTPUT\n"
    "\n"
    "Reads INPUT as the Open command does: a name containing \".rtf\" (in any case) is read as\n"
    "rich text, a name containing \".htm\" as plain text with the tags removed, anything else\n"
    "as plain text. Writes OUTPUT by its extension: .rtf rich text, .txt UTF-8 plain text,\n"
    ".htm or .html HTML.\n"
    "\n"
    "Exit status 0 on success; on failure, a one-line message on standard error, status 1,\n"
    "and no OUTPUT file.\n";

// Qt's own notices (a missing runtime folder, font fallbacks) are not the tool's messages: the
// only line on standard error is the one that says why it failed.
void dropQtMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

int fail(const QString& message) {
    std::fprintf(stderr, "quillet-convert: %s\n", qPrintable(message));
    return 1;
}

std::optional<QString> readInto(const QString& path, QTextDocument& document) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
    const QByteArray bytes = file.readAll();
    file.close();
    const QString name = QFileInfo(path).fileName().toLower();
    if (name.contains(QLatin1String(".rtf"))) {
        if (!rtf::read(bytes, document).ok())
            return QStringLiteral("%1 is not a rich-text file").arg(path);
    } else if (name.contains(QLatin1String(".htm"))) {
        document.setPlainText(TagRemoval::removeTags(decodePlainText(bytes)));
    } else {
        document.setPlainText(decodePlainText(bytes));
    }
    return std::nullopt;
}

std::optional<QByteArray> encode(const QString& path, const QTextDocument& document) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("rtf"))
        return rtf::write(document);
    if (suffix == QLatin1String("txt"))
        return document.toPlainText().toUtf8();
    if (suffix == QLatin1String("htm") || suffix == QLatin1String("html"))
        return document.toHtml().toUtf8();
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--help") == 0 || qstrcmp(argv[i], "-h") == 0) {
            std::fputs(usage, stdout);
            return 0;
        }
    }
    if (argc != 3)
        return fail("expected INPUT and OUTPUT (see --help)");
    // Documents need fonts and images, not a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(dropQtMessages);
    QGuiApplication app(argc, argv);
    const QString input = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);

    QTextDocument document;
    document.setUndoRedoEnabled(false);
    if (const auto error = readInto(input, document))
        return fail(*error);
    const std::optional<QByteArray> bytes = encode(output, document);
    if (!bytes)
        return fail(
            QStringLiteral("unknown output type: %1 (use .rtf, .txt, .htm or .html)").arg(output));
    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly) || file.write(*bytes) != bytes->size() || !file.commit())
        return fail(QStringLiteral("cannot write %1: %2").arg(output, file.errorString()));
    return 0;
}
