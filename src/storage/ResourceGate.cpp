#include "storage/ResourceGate.h"

#include "pictures/RtfPicture.h"

#include <QImage>
#include <QTextDocument>
#include <QUrl>

void ResourceGate::close(QTextDocument& document) {
    // One gate for all, made once and never deleted: documents it parents may live until the
    // program ends, and are still deleted by their owners before then.
    static ResourceGate* const gate = new ResourceGate;
    if (!document.parent())
        document.setParent(gate);
}

QVariant ResourceGate::answer(int type, const QUrl& name) {
    // Names the document gives its own pictures are looked up to find a free one; they name no
    // file, so Qt reads nothing for them either.
    static const QString ownPictures = rtf::pictureName(0).chopped(1);
    if (name.toString().startsWith(ownPictures))
        return {};
    switch (type) {
    case QTextDocument::ImageResource: {
        // Anything else that is null would make Qt's picture drawing read the name as a file,
        // whatever its scheme.
        static const QImage nothing = [] {
            QImage point(1, 1, QImage::Format_ARGB32);
            point.fill(Qt::transparent);
            return point;
        }();
        return nothing;
    }
    case QTextDocument::StyleSheetResource:
        return QString(QLatin1String(""));
    default:
        break;
    }
    // Other names with no meaning on the disk read nothing; those that have one get nothing.
    if (!name.isRelative() && !name.isLocalFile() &&
        name.scheme().compare(QLatin1String("data"), Qt::CaseInsensitive) != 0)
        return {};
    return QByteArray("");
}

QVariant ResourceGate::loadResource(int type, const QUrl& name) const {
    return answer(type, name);
}
