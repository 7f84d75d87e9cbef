#include "os/AtomicFile.h"
#include "support/Files.h"
#include "text/Error.h"

#include <QBuffer>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

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

// Bytes read from a device go out a piece at a time, from the device's start wherever it stands.
TEST(AtomicFile, ADevicesBytesAreWrittenWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath("out.pdf");
    ASSERT_TRUE(testfiles::write(path, "old"));
    QByteArray bytes;
    for (int i = 0; bytes.size() < 3'500'000; ++i)
        bytes += QByteArray::number(i) + ' ';
    QBuffer source(&bytes);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    source.seek(source.size());
    AtomicFile::write(path, source);
    EXPECT_TRUE(testfiles::read(path) == bytes);
}

TEST(AtomicFile, AFullDiskSaysSoAndKeepsTheOldFile) {
    SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << "a tmpfs cannot be mounted here (needs root)";
    const QString path = disk.filePath("doc.rtf");
    AtomicFile::write(path, "old");
    QByteArray megabyte(1 << 20, 'x');
    QBuffer device(&megabyte);
    ASSERT_TRUE(device.open(QIODevice::ReadOnly));
    for (const bool fromDevice : {false, true}) {
        try {
            if (fromDevice)
                AtomicFile::write(path, device);
            else
                AtomicFile::write(path, megabyte);
            FAIL() << "a megabyte fitted on a 64 KB disk";
        } catch (const Error& error) {
            EXPECT_EQ(error.number, Error::DiskFull);
            EXPECT_TRUE(error.description.startsWith("Disk full"))
                << error.description.toStdString();
        }
        EXPECT_EQ(testfiles::read(path), "old");
    }
}

namespace {
constexpr uid_t nobody = 65534;

struct Owner {
    uid_t uid;
    gid_t gid;
    mode_t mode;
    bool operator==(const Owner&) const = default;
};

Owner ownerOf(const QString& path) {
    struct stat info {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0) << path.toStdString();
    return {info.st_uid, info.st_gid, mode_t(info.st_mode & 07777)};
}

bool setOwner(const QString& path, Owner owner) {
    const QByteArray name = QFile::encodeName(path);
    return ::chown(name.constData(), owner.uid, owner.gid) == 0 &&
           ::chmod(name.constData(), owner.mode) == 0;
}
} // namespace

// Root saving someone's file, directly or through a link, leaves it theirs.
TEST(AtomicFile, ASaveKeepsTheFilesOwnerGroupAndMode) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a file to another user";
    QTemporaryDir dir;
    const QString file = dir.filePath("theirs.txt");
    const QString link = dir.filePath("link.txt");
    ASSERT_TRUE(testfiles::write(file, "old"));
    const Owner theirs{nobody, nobody, 0640};
    ASSERT_TRUE(setOwner(file, theirs));
    ASSERT_TRUE(QFile::link(file, link));
    for (const QString& name : {file, link}) {
        AtomicFile::write(name, "new from " + name.toUtf8());
        EXPECT_EQ(testfiles::read(file), "new from " + name.toUtf8());
        EXPECT_EQ(ownerOf(file), theirs);
    }
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 2);
}

// A user who may write the file saves it even where the folder is not theirs, and a file of
// another user that they may write stays that user's. The save runs as nobody, in the converter.
TEST(AtomicFile, AFileTheUserMayWriteIsSavedWhereverItIs) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as another user";
    const struct {
        const char* name;
        mode_t folderMode;
        Owner file;
    } cases[] = {
        {"folder not writable", 0755, {nobody, nobody, 0644}},
        {"root's file, writable", 0777, {0, 0, 0666}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString input = dir.filePath("in.txt");
        const QString output = dir.filePath("out.txt");
        ASSERT_TRUE(testfiles::write(input, "new") && testfiles::write(output, "old"));
        ASSERT_TRUE(setOwner(output, c.file));
        ASSERT_TRUE(setOwner(dir.path(), {0, 0, c.folderMode}));
        QProcess process;
        process.start(QStringLiteral("setpriv"),
                      {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                       QStringLiteral("--clear-groups"), QStringLiteral(QUILLET_CONVERT), input,
                       output});
        ASSERT_TRUE(process.waitForFinished(30'000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        EXPECT_EQ(testfiles::read(output), "new");
        EXPECT_EQ(ownerOf(output), c.file);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 2);
    }
}
