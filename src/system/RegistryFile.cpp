#include "system/RegistryFile.h"

#include "os/ProfileFile.h"

#include <QDir>
#include <QStandardPaths>

namespace {
constexpr quint32 textType = 1;
constexpr quint32 numberType = 4;

QString rootName(quint32 root) {
    switch (root) {
    case 0x80000000u:
        return QStringLiteral("HKEY_CLASSES_ROOT");
    case 0x80000001u:
        return QStringLiteral("HKEY_CURRENT_USER");
    case 0x80000002u:
        return QStringLiteral("HKEY_LOCAL_MACHINE");
    case 0x80000003u:
        return QStringLiteral("HKEY_USERS");
    default:
        return {};
    }
}

std::optional<QByteArray> hexBytes(QStringView text) {
    QByteArray bytes;
    for (QStringView pair : text.split(u',')) {
        bool ok = false;
        const uint byte = pair.trimmed().toUInt(&ok, 16);
        if (!ok || byte > 0xFF)
            return std::nullopt;
        bytes.append(char(byte));
    }
    return bytes;
}
} // namespace

namespace RegistryFile {

QString defaultPath() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("vormelin/registry.ini"));
}

std::optional<RegistryValue> value(const QString& path, quint32 root, const QString& key,
                                   const QString& name) {
    const QString section = rootName(root);
    if (section.isEmpty())
        return std::nullopt;
    const QString stored = ProfileFile::read(path, section + u'\\' + key, name);
    if (stored.isEmpty())
        return std::nullopt;
    static const QString hexPrefix = QStringLiteral("hex(1):");
    static const QString numberPrefix = QStringLiteral("dword:");
    if (stored.startsWith(hexPrefix, Qt::CaseInsensitive)) {
        const auto bytes = hexBytes(QStringView(stored).mid(hexPrefix.size()));
        if (!bytes)
            return std::nullopt;
        return RegistryValue{textType, *bytes};
    }
    if (stored.startsWith(numberPrefix, Qt::CaseInsensitive)) {
        bool ok = false;
        const quint32 number = stored.mid(numberPrefix.size()).toUInt(&ok, 16);
        if (!ok)
            return std::nullopt;
        QByteArray bytes(4, '\0');
        for (int i = 0; i < 4; ++i)
            bytes[i] = char((number >> (8 * i)) & 0xFF);
        return RegistryValue{numberType, bytes};
    }
    return RegistryValue{textType, stored.toUtf8() + '\0'};
}

} // namespace RegistryFile
