#include "files/KeptCopies.h"
#include "os/RunLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

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
protected:
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
