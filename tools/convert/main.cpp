// quillet-convert INPUT OUTPUT: opens a document the way the Open command does and saves it in
// the format its output name asks for.
#include "files/DocumentKind.h"
#include "files/HtmlWriter.h"
#include "files/TagRemoval.h"
#include "platform/PlainText.h"
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
    "Reads INPUT as the Open command does: a path containing \".rtf\" (in any case) is read as\n"
    "rich text, else a path containing \".htm\" as plain text with the tags removed, anything\n"
    "else as plain text. Writes OUTPUT by its extension: .rtf rich text, .txt UTF-8 plain text\n"
    "(pictures and other objects left out, as Save does), .htm or .html HTML.\n"
    "\n"
    "Exit status 0 on success; on failure, a one-line message on standard error, status 1,\n"
    "and no OUTPUT file.\n";

enum class OutputKind { RichText, PlainText, Html };

// Qt's own notices (a missing runtime folder, font fallbacks) are not the tool's messages: the
// only line on standard error is the one that says why it failed.
void dropQtMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

int fail(const QString& message) {
    std::fprintf(stderr, "quillet-convert: %s\n", qPrintable(message));
    return 1;
}

std::optional<OutputKind> outputKindOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("rtf"))
        return OutputKind::RichText;
    if (suffix == QLatin1String("txt"))
        return OutputKind::PlainText;
    if (suffix == QLatin1String("htm") || suffix == QLatin1String("html"))
        return OutputKind::Html;
    return std::nullopt;
}

QString notRichText(const QString& path) {
    return QStringLiteral("%1 is not a rich-text file").arg(path);
}

// The input as a document; an error message when it cannot be read.
std::optional<QString> readInto(const QString& path, const QByteArray& bytes,
                                QTextDocument& document) {
    switch (documentKindOf(path)) {
    case DocumentKind::RichText:
        if (!rtf::read(bytes, document).ok())
            return notRichText(path);
        break;
    case DocumentKind::Html:
        document.setPlainText(TagRemoval::removeTags(PlainText::decode(bytes).text));
        break;
    case DocumentKind::PlainText:
        document.setPlainText(PlainText::decode(bytes).text);
        break;
    }
    return std::nullopt;
}

QByteArray encode(OutputKind kind, const QTextDocument& document) {
    switch (kind) {
    case OutputKind::RichText:
        return rtf::write(document);
    case OutputKind::PlainText:
        return PlainText::fromDocumentText(document.toPlainText()).toUtf8();
    case OutputKind::Html:
        return HtmlWriter::write(document);
    }
    return {};
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
    qInstallMessageHandler(dropQtMessages);
    const QString input = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);
    const std::optional<OutputKind> outputKind = outputKindOf(output);
    if (!outputKind)
        return fail(
            QStringLiteral("unknown output type: %1 (use .rtf, .txt, .htm or .html)").arg(output));

    QFile file(input);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1: %2").arg(input, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("cannot read %1: %2").arg(input, file.errorString()));
    file.close();

    QByteArray result;
    if (documentKindOf(input) == DocumentKind::RichText && *outputKind == OutputKind::PlainText) {
        // Rich text to plain text needs no document, nor the fonts one would load.
        rtf::ReadStatus status;
        const QString text = rtf::readText(bytes, &status);
        if (status != rtf::ReadStatus::Ok)
            return fail(notRichText(input));
        result = PlainText::fromDocumentText(text).toUtf8();
    } else {
        // Documents need fonts and images, not a screen.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        QTextDocument document;
        document.setUndoRedoEnabled(false);
        if (const auto error = readInto(input, bytes, document))
            return fail(*error);
        result = encode(*outputKind, document);
    }

    QSaveFile saved(output);
    if (!saved.open(QIODevice::WriteOnly) || saved.write(result) != result.size() ||
        !saved.commit())
        return fail(QStringLiteral("cannot write %1: %2").arg(output, saved.errorString()));
    return 0;
}
