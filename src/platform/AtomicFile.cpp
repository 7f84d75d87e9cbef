#include "platform/AtomicFile.h"

#include "platform/Error.h"

#include <QFileInfo>
#include <QSaveFile>

namespace {
[[noreturn]] void fail(const QSaveFile& file, const QString& path) {
    int number = Error::PathFileAccess;
    switch (file.error()) {
    case QFileDevice::PermissionsError:
        number = Error::PermissionDenied;
        break;
    case QFileDevice::ResourceError:
        number = Error::DiskFull;
        break;
    default:
        if (!QFileInfo(QFileInfo(path).absolutePath()).isWritable())
            number = Error::PermissionDenied;
        break;
    }
    Error error = Error::withNumber(number);
    const QString reason = file.errorString();
    if (!reason.isEmpty())
        error.description += QStringLiteral(" (") + reason + QLatin1Char(')');
    throw error;
}
} // namespace

namespace AtomicFile {
void write(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        fail(file, path);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        fail(file, path);
    }
    if (!file.commit())
        fail(file, path);
}
} // namespace AtomicFile
