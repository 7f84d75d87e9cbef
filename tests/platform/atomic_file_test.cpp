#include "platform/AtomicFile.h"
#include "platform/Error.h"
#include "support/Files.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
// A folder on a 64 KB file system of its own, or none where mounting is not allowed.
class SmallDisk {
public:
    SmallDisk() {
        const int status =
            QProcess::execute(QStringLiteral("mount"),
                              {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                               QStringLiteral("size=64k"), QStringLiteral("tmpfs"), dir_.path()});
        mounted_ = status == 0;
    }
    ~SmallDisk() {
        if (mounted_)
            QProcess::execute(QStringLiteral("umount"), {dir_.path()});
    }
    bool mounted() const { return mounted_; }
    QString filePath(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};
} // namespace

TEST(AtomicFile, AFullDiskSaysSoAndKeepsTheOldFile) {
    SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << "a tmpfs cannot be mounted here (needs root)";
    const QString path = disk.filePath("doc.rtf");
    AtomicFile::write(path, "old");
    try {
        AtomicFile::write(path, QByteArray(1 << 20, 'x'));
        FAIL() << "a megabyte fitted on a 64 KB disk";
    } catch (const Error& error) {
        EXPECT_EQ(error.number, Error::DiskFull);
        EXPECT_TRUE(error.description.startsWith("Disk full")) << error.description.toStdString();
    }
    EXPECT_EQ(testfiles::read(path), "old");
}
