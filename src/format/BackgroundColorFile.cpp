#include "format/BackgroundColorFile.h"

#include "os/AtomicFile.h"
#include "os/RegularFile.h"
#include "text/Error.h"
#include "text/NativePath.h"
#include "text/Runtime.h"

#include <QFile>
#include <limits>
#include <optional>
#include <sys/stat.h>

namespace BackgroundColorFile {

QString nameFor(const QString& documentName) {
    if (documentName.size() < 4)
        throw Error::withNumber(Error::InvalidProcedureCall);
    return documentName.left(documentName.size() - 4) + QStringLiteral(".log");
}

void store(const QString& documentName, quint32 color) {
    const qint32 value = qint32(color);
    const QByteArray sign = value < 0 ? "-" : " ";
    const QByteArray digits = QByteArray::number(qAbs(qint64(value)));
    AtomicFile::write(nameFor(documentName), sign + digits + " \r\n");
}

namespace {
constexpr qsizetype longestLine = 32;

// The file's one line without its line end; none when the file is longer than one short line.
std::optional<QByteArray> onlyLine(QFile& file) {
    QByteArray content = file.read(longestLine + 3);
    if (content.endsWith("\r\n"))
        content.chop(2);
    else if (content.endsWith('\n'))
        content.chop(1);
    if (content.size() > longestLine || content.contains('\n') || content.contains('\r'))
        return std::nullopt;
    return content;
}
// Only a regular file is opened: a FIFO would block, a device never end.
std::optional<QByteArray> onlyLineOf(const QString& path) {
    QFile file;
    try {
        RegularFile::open(file, path);
    } catch (const Error&) {
        return std::nullopt;
    }
    return onlyLine(file);
}
} // namespace

// The line this program writes: a blank or a minus sign, the digits, a blank. Read with spaces
// around and a plus sign allowed, in the range of what is written: white at most, and system
// colours (the high bit) as the negative numbers they are written as.
bool isColorLine(const QByteArray& line) {
    const QByteArray number = line.trimmed();
    const qsizetype digits = number.startsWith('-') || number.startsWith('+') ? 1 : 0;
    if (number.size() == digits)
        return false;
    for (qsizetype i = digits; i < number.size(); ++i) {
        if (number[i] < '0' || number[i] > '9')
            return false;
    }
    bool ok = false;
    const qint64 value = number.toLongLong(&ok);
    return ok && value >= std::numeric_limits<qint32>::min() && value <= qint64(white);
}

bool isColorFile(const QString& path) {
    const std::optional<QByteArray> only = onlyLineOf(path);
    return only && isColorLine(*only);
}

void storeOnSave(const QString& documentName, quint32 color) {
    const QString path = nameFor(documentName);
    // Anything of that name, even a link that leads nowhere, is someone's unless it is ours.
    struct stat entry {};
    const bool taken = ::lstat(NativePath::encode(path).constData(), &entry) == 0;
    if (taken ? isColorFile(path) : color != white)
        store(documentName, color);
}

double load(const QString& documentName, QString* firstLine) {
    // Only what this program writes counts as a colour file: one short line in a regular file.
    // Anything else of that name (empty, unreadable, a folder, FIFO or device, someone's log)
    // is not ours and reads as no colour, so a file beside the document never keeps the
    // document from opening, and nothing of that name is opened that could block or never end.
    const std::optional<QByteArray> only = onlyLineOf(nameFor(documentName));
    if (!only || only->isEmpty())
        return white;
    const QByteArray& line = *only;
    const QString text = QString::fromLatin1(line);
    if (firstLine)
        *firstLine = text;
    // Colours are 32 bits, system colours negative: a number outside that is no colour of ours.
    const double value = Runtime::Val(text);
    try {
        Runtime::CLng(value);
    } catch (const Error&) {
        return white;
    }
    return value;
}

} // namespace BackgroundColorFile
