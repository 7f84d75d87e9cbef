// quillet-convert INPUT OUTPUT: opens a document the way the Open command does and saves it the
// way the Save command does.
#include "os/AtomicFile.h"
#include "os/MemoryEstimate.h"
#include "os/RegularFile.h"
#include "storage/DocumentDefaults.h"
#include "storage/DocumentFile.h"
#include "text/Error.h"
#include "text/NativePath.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextCharFormat>
#include <QTextDocument>

#include <cstdio>
#include <new>

namespace {

const char usage[] =
    "Usage: quillet-convert INPUT OUTPUT\n"
    "       quillet-convert --help | --version\n"
    "\n"
    "Reads INPUT as the Open command does: a path containing \".rtf\" (in any case) is read as\n"
    "rich text, else a path containing \".htm\" as plain text with the tags removed, anything\n"
    "else as plain text. Writes OUTPUT as the Save command does, by the same rule: rich text,\n"
    "HTML, or plain text in the encoding and line ends a plain-text INPUT had (UTF-8 with LF\n"
    "line ends otherwise). OUTPUT must end in .rtf, .txt, .htm or .html.\n"
    "\n"
    "Exit status 0 on success; on failure, a one-line message on standard error, status 1,\n"
    "and no OUTPUT file.\n";

// Qt's own notices (a missing runtime folder, font fallbacks) are not the tool's messages: the
// only line on standard error is the one that says why it failed.
void dropQtMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

int fail(const QString& message) {
    // A name that is not UTF-8 is shown by its own bytes.
    std::fprintf(stderr, "quillet-convert: %s\n", NativePath::encode(message).constData());
    return 1;
}

bool knownOutput(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("rtf") || suffix == QLatin1String("txt") ||
           suffix == QLatin1String("htm") || suffix == QLatin1String("html");
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--help") == 0 || qstrcmp(argv[i], "-h") == 0) {
            std::fputs(usage, stdout);
            return 0;
        }
        if (qstrcmp(argv[i], "--version") == 0) {
            std::fputs("quillet-convert " QUILLET_VERSION "\n", stdout);
            return 0;
        }
    }
    if (argc != 3)
        return fail("expected INPUT and OUTPUT (see --help)");
    qInstallMessageHandler(dropQtMessages);
    // The names as the system has them, even where they are not UTF-8.
    const QString input = NativePath::decode(argv[1]);
    const QString output = NativePath::decode(argv[2]);
    if (!knownOutput(output))
        return fail(
            QStringLiteral("unknown output type: %1 (use .rtf, .txt, .htm or .html)").arg(output));

    QFile file;
    QString reason;
    try {
        RegularFile::open(file, input, &reason);
    } catch (const Error&) {
        return fail(QStringLiteral("cannot read %1: %2").arg(input, reason));
    }
    QByteArray bytes;
    try {
        // Besides the document, the file's bytes and the text written out are held whole: under
        // an address-space limit a 50 MB text needed twice what a window needs for it.
        DocumentFile::ensureRoomFor(2 * file.size(), DocumentFile::kindOf(input),
                                    MemoryEstimate::left);
        bytes = file.readAll();
    } catch (const std::bad_alloc&) {
        return fail(QStringLiteral("%1 does not fit in memory").arg(input));
    } catch (const Error&) {
        return fail(QStringLiteral("%1 does not fit in memory").arg(input));
    }
    if (file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("cannot read %1: %2").arg(input, file.errorString()));
    file.close();

    // Runs one conversion, turning what it throws into the tool's message.
    const auto converted = [&](const auto& conversion) {
        try {
            conversion();
        } catch (const std::bad_alloc&) {
            return fail(QStringLiteral("%1 does not fit in memory").arg(input));
        } catch (const Error& error) {
            if (error.number == Error::InvalidFileFormat)
                return fail(QStringLiteral("%1 is not a rich-text file").arg(input));
            return fail(QStringLiteral("cannot write %1: %2").arg(output, error.description));
        }
        return 0;
    };
    // RTF to text needs no document, so no fonts and no application either: the reader hands
    // its text straight to the file. Starting Qt's GUI half would take longer than reading
    // megabytes.
    if (DocumentFile::kindOf(input) == DocumentFile::Kind::RichText &&
        DocumentFile::kindOf(output) == DocumentFile::Kind::PlainText)
        return converted([&] { AtomicFile::write(output, DocumentFile::plainTextOfRtf(bytes)); });

    // Documents need fonts and images, not a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return converted([&] {
        const DocumentFile::Content content = DocumentFile::fromBytes(
            bytes, DocumentFile::kindOf(input), DocumentDefaults::charFormat());
        DocumentFile::write(output, *content.document, content.encoding);
    });
}
