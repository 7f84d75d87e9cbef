#include "Conversion.h"

#include "InputBytes.h"
#include "ScratchFile.h"

#include "os/AtomicFile.h"
#include "os/MemoryEstimate.h"
#include "os/RegularFile.h"
#include "printing/PrintedPages.h"
#include "storage/DocumentDefaults.h"
#include "storage/DocumentFile.h"
#include "text/Error.h"
#include "text/NativePath.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QTextDocument>

#include <functional>
#include <memory>
#include <new>
#include <sys/stat.h>

// Documents need fonts and images, not a screen; text read from RTF needs neither, and starting
// Qt's GUI half would take longer than reading megabytes, so the application comes only when a
// document is built.
void Conversion::startApplication() {
    if (application_ || QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quillet-convert";
    static char* argv[] = {name, nullptr};
    application_ = std::make_unique<QGuiApplication>(argc, argv);
}

Conversion::Conversion() = default;
Conversion::~Conversion() = default;

namespace {

bool isPdf(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0;
}

// The document printed as the Print command prints it, by `print`, into `pdf`. A PDF writer's
// page layout is a default printer's (A4, 10 mm margins, 1200 dots an inch), and the printed
// pages take it from there.
void printInto(QIODevice& pdf, const QString& title,
               const std::function<void(QPdfWriter&)>& print) {
    QPdfWriter writer(&pdf);
    writer.setResolution(1200);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("quillet-convert"));
    print(writer);
}

// Whether anything at all has the name `path`: a file, a folder, a link, even one leading nowhere.
bool present(const QString& path) {
    struct stat info {};
    return ::lstat(NativePath::encode(path).constData(), &info) == 0;
}

// Whether writing `output` would replace `input`: the same file by another name, a hard link or
// a link to it (a write follows links).
bool sameFile(const QString& input, const QString& output) {
    struct stat in {
    }, out{};
    return ::stat(NativePath::encode(input).constData(), &in) == 0 &&
           ::stat(NativePath::encode(output).constData(), &out) == 0 && in.st_dev == out.st_dev &&
           in.st_ino == out.st_ino;
}

} // namespace

QString Conversion::kept(const QString& input, const QString& output) {
    return QStringLiteral("cannot convert %1: %2 was already there and is kept (--overwrite "
                          "replaces it)")
        .arg(input, output);
}

bool Conversion::knownOutput(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("rtf") || suffix == QLatin1String("txt") ||
           suffix == QLatin1String("htm") || suffix == QLatin1String("html") || isPdf(path);
}

QString Conversion::run(const QString& input, const QString& output, Existing existing) {
    if (!knownOutput(output))
        return QStringLiteral("unknown output type: %1 (use .rtf, .txt, .htm, .html or .pdf)")
            .arg(output);
    if (sameFile(input, output))
        return QStringLiteral("cannot convert %1: its output would replace it").arg(input);
    if (existing == Existing::Keep && present(output))
        return kept(input, output);
    const auto tooBig = [&] { return QStringLiteral("%1 does not fit in memory").arg(input); };

    QFile file;
    QString reason;
    try {
        RegularFile::open(file, input, &reason);
    } catch (const Error&) {
        return QStringLiteral("cannot read %1: %2").arg(input, reason);
    }
    std::unique_ptr<InputBytes> content;
    try {
        // Besides the document, the file's bytes and the text written out are held whole: under
        // an address-space limit a 50 MB text needed twice what a window needs for it.
        DocumentFile::ensureRoomFor(2 * file.size(), DocumentFile::kindOf(input),
                                    MemoryEstimate::left);
        content = std::make_unique<InputBytes>(file);
    } catch (const std::bad_alloc&) {
        return tooBig();
    } catch (const Error&) {
        return tooBig();
    }
    if (!content->error().isEmpty())
        return QStringLiteral("cannot read %1: %2").arg(input, content->error());
    file.close();
    const QByteArray& bytes = content->bytes();

    try {
        const DocumentFile::Kind from = DocumentFile::kindOf(input);
        const QString title = QFileInfo(input).fileName();
        QByteArray written;
        // A PDF is many times its text: it is made in a scratch file, never held in memory.
        ScratchFile pdf;
        if (isPdf(output)) {
            startApplication();
            printInto(pdf.device(), title, [&](QPdfWriter& writer) {
                // RTF is printed as it is read: a long file is never held whole.
                if (from == DocumentFile::Kind::RichText) {
                    if (!PrintedPages::printRtf(bytes, writer))
                        throw Error::withNumber(Error::InvalidFileFormat);
                    return;
                }
                const DocumentFile::Content document =
                    DocumentFile::fromBytes(bytes, from, DocumentDefaults::charFormat());
                content->release();
                PrintedPages::print(*document.document, writer);
            });
        } else if (from == DocumentFile::Kind::RichText &&
                   DocumentFile::kindOf(output) == DocumentFile::Kind::PlainText) {
            // RTF to text needs no document: the reader hands its text straight to the file.
            written = DocumentFile::plainTextOfRtf(bytes);
        } else {
            startApplication();
            const DocumentFile::Content document =
                DocumentFile::fromBytes(bytes, from, DocumentDefaults::charFormat());
            content->release();
            written = DocumentFile::toBytes(*document.document, DocumentFile::kindOf(output),
                                            document.encoding);
        }
        // Looked at again just before writing: a file that came meanwhile is kept too.
        if (existing == Existing::Keep && present(output))
            return kept(input, output);
        if (isPdf(output))
            AtomicFile::write(output, pdf.device());
        else
            AtomicFile::write(output, written);
    } catch (const std::bad_alloc&) {
        return tooBig();
    } catch (const Error& error) {
        if (error.number == Error::InvalidFileFormat)
            return QStringLiteral("%1 is not a rich-text file").arg(input);
        return QStringLiteral("cannot write %1: %2").arg(output, error.description);
    }
    return {};
}
