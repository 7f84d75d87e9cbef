#include "files/KeptCopies.h"
#include "os/RunLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QDateTime at(int minutes) {
    return QDateTime(QDate(2026, 12, 7), QTime(10, 0), Qt::UTC).addSecs(minutes * 60);
}

KeptCopies::About about(const QString& path, const QString& caption, int minutes,
                        DocumentFile::Kind kind = DocumentFile::Kind::RichText) {
    return {path, caption, kind, at(minutes), std::nullopt};
}

QFileDevice::Permissions ownerOnly(QFileDevice::Permissions permissions) {
    return permissions &
           ~(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
             QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
}

class KeptCopiesTest : public ::testing::Test {
public: // the cases' own steps plant files under it
    QTemporaryDir temp;
    QString root() const { return temp.path() + "/recovery"; }

    // A run that ended without cleaning up: its copies stay, its lock goes with it.
    void crashedRunKeeping(const QList<std::pair<KeptCopies::About, QByteArray>>& copies) {
        KeptCopies run(root());
        ASSERT_TRUE(run.start());
        int id = 0;
        for (const auto& [what, rtf] : copies)
            run.keep(++id, what, rtf);
    }
};
} // namespace

TEST_F(KeptCopiesTest, KeepsPrivateCopiesUntilSavedOrEndedCleanly) {
    KeptCopies run(root());
    ASSERT_TRUE(run.start());
    run.keep(1, about("/home/a/letter.rtf", "/home/a/letter.rtf", 0), "{\\rtf1 one}");
    run.keep(1, about("/home/a/letter.rtf", "/home/a/letter.rtf", 1), "{\\rtf1 two}");
    run.keep(2, about("", "noname", 1), "{\\rtf1 new}");
    const QString copy = run.runFolder() + "/1.copy";
    ASSERT_TRUE(QFile::exists(copy));
    EXPECT_EQ(ownerOnly(QFile::permissions(copy)), QFileDevice::Permissions());
    EXPECT_EQ(ownerOnly(QFile::permissions(run.runFolder())), QFileDevice::Permissions());
    EXPECT_EQ(ownerOnly(QFile::permissions(root())), QFileDevice::Permissions());

    run.forget(1);
    EXPECT_FALSE(QFile::exists(copy));
    EXPECT_TRUE(QFile::exists(run.runFolder() + "/2.copy"));
    const QString folder = run.runFolder();
    run.finish();
    EXPECT_FALSE(QFileInfo::exists(folder));
}

TEST_F(KeptCopiesTest, OffersOnlyTheCopiesOfRunsThatAreGoneAndEachOnlyOnce) {
    KeptCopies live(root());
    ASSERT_TRUE(live.start());
    live.keep(1, about("/live.rtf", "/live.rtf", 5), "{\\rtf1 live}");

    const QString oddName = QString::fromUtf8("/home/a/caf") + QChar(0xDCE9) + ".txt";
    crashedRunKeeping({{about(oddName, oddName, 3, DocumentFile::Kind::PlainText), "{\\rtf1 b}"},
                       {about("", "noname", 2), "{\\rtf1 a}"}});

    KeptCopies next(root());
    ASSERT_TRUE(next.start());
    const QList<KeptCopies::LeftBehind> copies = next.leftBehind();
    ASSERT_EQ(copies.size(), 2);
    EXPECT_EQ(copies[0].about.caption, "noname"); // oldest first
    EXPECT_EQ(copies[1].about.path, oddName);
    EXPECT_EQ(copies[1].about.kind, DocumentFile::Kind::PlainText);
    EXPECT_EQ(copies[1].about.keptAt, at(3));
    EXPECT_FALSE(copies[1].damaged);
    EXPECT_EQ(next.content(copies[1]), "{\\rtf1 b}");

    // A second program started meanwhile takes nothing the first has claimed.
    KeptCopies second(root());
    EXPECT_TRUE(second.leftBehind().isEmpty());

    next.recovered(copies[0]);
    next.recovered(copies[1]);
    EXPECT_EQ(QDir(root()).entryList({"run-*"}, QDir::Dirs).size(), 2); // the live and the next
}

TEST_F(KeptCopiesTest, DamagedCopiesAreSetAsideAndDiscardedOnesLastAWeek) {
    crashedRunKeeping({{about("/a.rtf", "/a.rtf", 1), "{\\rtf1 whole}"},
                       {about("/b.rtf", "/b.rtf", 2), "{\\rtf1 torn}"},
                       {about("/c.rtf", "/c.rtf", 3), "{\\rtf1 c}"}});
    const QString run = QDir(root()).entryList({"run-*"}, QDir::Dirs).first();
    QFile torn(root() + "/" + run + "/2.copy");
    ASSERT_TRUE(torn.open(QIODevice::ReadWrite));
    ASSERT_TRUE(torn.resize(torn.size() - 3));
    torn.close();
    // A text without its description, as runs that kept them apart could leave it.
    QFile::remove(root() + "/" + run + "/3.copy");
    QFile lone(root() + "/" + run + "/3.rtf");
    ASSERT_TRUE(lone.open(QIODevice::WriteOnly));
    lone.write("{\\rtf1 c}");
    lone.close();

    KeptCopies next(root());
    const QList<KeptCopies::LeftBehind> copies = next.leftBehind();
    ASSERT_EQ(copies.size(), 3);
    int damaged = 0;
    for (const KeptCopies::LeftBehind& copy : copies) {
        if (copy.damaged) {
            ++damaged;
            EXPECT_TRUE(next.content(copy).isEmpty());
            next.setAside(copy);
        } else {
            EXPECT_EQ(copy.about.path, "/a.rtf");
            next.discard(copy, at(0));
        }
    }
    EXPECT_EQ(damaged, 2);
    EXPECT_EQ(QDir(root() + "/damaged").entryList(QDir::Files).size(), 2); // 2.copy 3.rtf
    EXPECT_TRUE(QDir(root()).entryList({"run-*"}, QDir::Dirs).isEmpty());

    next.dropDiscardedBefore(at(0).addDays(-7));
    EXPECT_EQ(QDir(root() + "/discarded").entryList(QDir::Files).size(), 1);
    next.dropDiscardedBefore(at(1));
    EXPECT_TRUE(QDir(root() + "/discarded").entryList(QDir::Files).isEmpty());
}

TEST(RunLock, ALockIsLiveWhileHeldAndOnlyOneRunTakesIt) {
    QTemporaryDir temp;
    const QString path = temp.path() + "/lock";
    {
        std::unique_ptr<RunLock> lock = RunLock::take(path);
        ASSERT_TRUE(lock);
        EXPECT_TRUE(RunLock::heldByLiveRun(path));
        EXPECT_FALSE(RunLock::take(path));
    }
    EXPECT_FALSE(RunLock::heldByLiveRun(path));
    EXPECT_TRUE(RunLock::heldByLiveRun(temp.path() + "/missing"));
}

namespace {
QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeTo(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}
} // namespace

// What another user (or a stray link) plants among the copies is never written, emptied or
// made private through; a folder of copies that is not the user's own is refused.
TEST_F(KeptCopiesTest, PlantedLinksAndForeignFoldersAreNeverFollowed) {
    const struct {
        const char* name;
        std::function<void(KeptCopiesTest&, const QString& victim)> plant;
        bool starts;
    } cases[] = {
        {"recovery is a link",
         [](KeptCopiesTest& t, const QString& victim) {
             ASSERT_TRUE(QFile::link(QFileInfo(victim).path(), t.root()));
         },
         false},
        {"recovery is a file", [](KeptCopiesTest& t, const QString&) { writeTo(t.root(), "mine"); },
         false},
        {"recovery is open to others",
         [](KeptCopiesTest& t, const QString&) {
             ASSERT_TRUE(QDir().mkpath(t.root()));
             ASSERT_TRUE(QFile::setPermissions(t.root(), QFileDevice::Permissions(0x7755)));
         },
         false},
        {"recovery is another user's",
         [](KeptCopiesTest& t, const QString&) {
             ASSERT_TRUE(QDir().mkpath(t.root()));
             ASSERT_EQ(::chmod(t.root().toLocal8Bit().constData(), 0700), 0);
             ASSERT_EQ(::chown(t.root().toLocal8Bit().constData(), ::geteuid() + 1, -1), 0);
         },
         false},
        {"a dead run's lock is a link",
         [](KeptCopiesTest& t, const QString& victim) {
             const QString run = t.root() + "/run-1-1";
             ASSERT_TRUE(QDir().mkpath(run));
             ASSERT_EQ(::chmod(run.toLocal8Bit().constData(), 0700), 0);
             ASSERT_EQ(::chmod(t.root().toLocal8Bit().constData(), 0700), 0);
             ASSERT_TRUE(QFile::link(victim, run + "/lock"));
         },
         true},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        QTemporaryDir elsewhere;
        const QString victim = elsewhere.path() + "/precious.txt";
        writeTo(victim, "precious");
        ASSERT_TRUE(QFile::setPermissions(elsewhere.path(), QFileDevice::Permissions(0x7755)));
        test.plant(*this, victim);
        KeptCopies run(root());
        EXPECT_EQ(run.start(), test.starts);
        EXPECT_EQ(run.refusal().isEmpty(), test.starts);
        EXPECT_TRUE(run.leftBehind().isEmpty());
        run.keep(1, about("/a.rtf", "/a.rtf", 0), "{\\rtf1 a}");
        run.finish();
        EXPECT_EQ(contentOf(victim), "precious");
        struct stat info {};
        ASSERT_EQ(::stat(elsewhere.path().toLocal8Bit().constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0755u);
        EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::Files), QStringList{"precious.txt"});
        QFileInfo planted(root());
        if (planted.isSymLink() || planted.isFile())
            QFile::remove(root());
        else
            QDir(root()).removeRecursively();
    }
}

// A link swapped in for this run's folder before a clean exit: what it names keeps its files.
TEST_F(KeptCopiesTest, CleanExitRemovesOnlyItsOwnFolder) {
    KeptCopies run(root());
    ASSERT_TRUE(run.start());
    run.keep(1, about("/a.rtf", "/a.rtf", 0), "{\\rtf1 a}");
    QTemporaryDir elsewhere;
    writeTo(elsewhere.path() + "/precious.txt", "precious");
    const QString moved = root() + "/moved-away";
    ASSERT_TRUE(QDir().rename(run.runFolder(), moved));
    ASSERT_TRUE(QFile::link(elsewhere.path(), run.runFolder()));
    run.finish();
    EXPECT_EQ(contentOf(elsewhere.path() + "/precious.txt"), "precious");
    EXPECT_TRUE(QDir(moved).isEmpty());
}

// A run killed while writing a copy leaves the last whole one, which still recovers; copies of
// runs that kept text and description apart are still offered.
TEST_F(KeptCopiesTest, AKilledWriteKeepsTheLastWholeCopy) {
    crashedRunKeeping({{about("/a.rtf", "/a.rtf", 1), "{\\rtf1 first}"}});
    const QString run = root() + "/" + QDir(root()).entryList({"run-*"}, QDir::Dirs).first();
    writeTo(run + "/.1.copy.x1.tmp", "path=%2Fa.rtf\ncaption=half");
    const QByteArray whole = contentOf(run + "/1.copy");
    const qsizetype split = whole.indexOf("\n\n") + 2;
    writeTo(run + "/7.info", whole.left(split - 1));
    writeTo(run + "/7.rtf", whole.mid(split));

    KeptCopies next(root());
    const QList<KeptCopies::LeftBehind> copies = next.leftBehind();
    ASSERT_EQ(copies.size(), 2);
    for (const KeptCopies::LeftBehind& copy : copies) {
        EXPECT_FALSE(copy.damaged);
        EXPECT_EQ(next.content(copy), "{\\rtf1 first}");
        next.recovered(copy);
    }
    EXPECT_TRUE(QDir(root()).entryList({"run-*"}, QDir::Dirs).isEmpty());
}
