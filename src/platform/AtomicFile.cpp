#include "platform/AtomicFile.h"

#include "platform/Error.h"

#include <QFileInfo>
#include <QSaveFile>

namespace {
// Takes the error as the failed call left it: cancelling the write afterwards replaces it with
// "Writing canceled by application", which would hide a full disk.
[[noreturn]] void fail(QFileDevice::FileError failure, const QString& reason, const QString& path) {
    int number = Error::PathFileAccess;
    switch (failure) {
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
    // The system's words follow only when they add to ours: "Permission denied" is both.
    if (!reason.isEmpty() && reason.compare(error.description, Qt::CaseInsensitive) != 0)
        error.description += QStringLiteral(" (") + reason + QLatin1Char(')');
    throw error;
}
} // namespace

namespace AtomicFile {
void write(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        fail(file.error(), file.errorString(), path);
    // A short write (a disk filling up) reports nothing; writing the rest brings out the reason.
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 step = file.write(bytes.constData() + written, bytes.size() - written);
        if (step <= 0)
            break;
        written += step;
    }
    if (written != bytes.size()) {
        const QFileDevice::FileError failure = file.error();
        const QString reason = file.errorString();
        file.cancelWriting();
        fail(failure, reason, path);
    }
    if (!file.commit())
        fail(file.error(), file.errorString(), path);
}
} // namespace AtomicFile
