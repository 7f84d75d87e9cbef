#include "format/BackgroundColorFile.h"

#include "platform/AtomicFile.h"
#include "platform/Error.h"
#include "platform/Runtime.h"

#include <QFile>
#include <optional>

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
} // namespace

bool isColorFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.size() > 0 && onlyLine(file).has_value();
}

void storeOnSave(const QString& documentName, quint32 color) {
    const QString path = nameFor(documentName);
    if (QFile::exists(path) ? isColorFile(path) : color != white)
        store(documentName, color);
}

double load(const QString& documentName, QString* firstLine) {
    QFile file(nameFor(documentName));
    if (!file.exists())
        return white;
    if (!file.open(QIODevice::ReadOnly))
        throw Error::pathFileAccess();
    if (file.atEnd())
        throw Error::withNumber(Error::InputPastEnd);
    const std::optional<QByteArray> only = onlyLine(file);
    if (!only)
        return white;
    const QByteArray& line = *only;
    const QString text = QString::fromLatin1(line);
    if (firstLine)
        *firstLine = text;
    return Runtime::Val(text);
}

} // namespace BackgroundColorFile
