#include "format/BackgroundColorFile.h"

#include "platform/AtomicFile.h"
#include "platform/Error.h"
#include "platform/Runtime.h"

#include <QFile>

namespace BackgroundColorFile {

QString nameFor(const QString& documentName) {
    if (documentName.size() < 4)
        throw Error::withNumber(5);
    return documentName.left(documentName.size() - 4) + QStringLiteral(".log");
}

void store(const QString& documentName, quint32 color) {
    const qint32 value = qint32(color);
    const QByteArray sign = value < 0 ? "-" : " ";
    const QByteArray digits = QByteArray::number(qAbs(qint64(value)));
    AtomicFile::write(nameFor(documentName), sign + digits + " \r\n");
}

double load(const QString& documentName, QString* firstLine) {
    QFile file(nameFor(documentName));
    if (!file.exists())
        return white;
    if (!file.open(QIODevice::ReadOnly))
        throw Error::pathFileAccess();
    if (file.atEnd())
        throw Error::withNumber(62);
    QByteArray line = file.readLine(4096);
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    const QString text = QString::fromLatin1(line);
    if (firstLine)
        *firstLine = text;
    return Runtime::Val(text);
}

} // namespace BackgroundColorFile
