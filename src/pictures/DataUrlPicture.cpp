#include "pictures/DataUrlPicture.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

namespace {
// More than any picture pasted from a page needs; larger ones are shown as a box.
constexpr qsizetype maxEncodedLength = 64 * 1024 * 1024;

const char* const readFormats[] = {"png", "jpeg", "jpg", "gif", "bmp"};

bool isReadFormat(const QByteArray& format) {
    for (const char* known : readFormats) {
        if (format == known)
            return true;
    }
    return false;
}
} // namespace

namespace DataUrlPicture {

bool isDataUrl(QStringView url) {
    return url.trimmed().startsWith(QLatin1String("data:"), Qt::CaseInsensitive);
}

QImage decode(QStringView url, qint64 maxPixels) {
    url = url.trimmed();
    if (!isDataUrl(url) || url.size() > maxEncodedLength)
        return {};
    const qsizetype comma = url.indexOf(u',');
    if (comma < 0)
        return {};
    const QStringView header = url.mid(5, comma - 5);
    const QByteArray payload = url.mid(comma + 1).toLatin1();
    const QByteArray data = header.endsWith(QLatin1String(";base64"), Qt::CaseInsensitive)
                                ? QByteArray::fromBase64(payload)
                                : QByteArray::fromPercentEncoding(payload);
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (!isReadFormat(reader.format()))
        return {};
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > maxPixels)
        return {};
    // The reader's own limit, in megabytes, in case a file's header says less than its data.
    reader.setAllocationLimit(int(qMax<qint64>(1, maxPixels * 4 / (1024 * 1024) + 1)));
    return reader.read();
}

} // namespace DataUrlPicture
