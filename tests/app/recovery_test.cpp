#include "support/ProgramFixture.h"

#include "app/KeptWorkOffer.h"
#include "files/PaneFile.h"
#include "files/SaveCommand.h"
#include "files/UnsavedWork.h"
#include "files/WorkKeeper.h"
#include "os/RunLock.h"
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"
#include "system/MsgBox.h"

#include <QDir>
#include <QMdiSubWindow>
#include <QTest>
#include <QTextDocument>

#include <chrono>
#include <memory>

using namespace std::chrono_literals;

namespace {
class RecoveryTest : public ProgramFixture {
public:
    // For the cases' own steps.
    using ProgramFixture::frame;
    using ProgramFixture::path;
    using ProgramFixture::scripted;

protected:
    QString root() const { return path(QStringLiteral("recovery")); }

    // This run, keeping copies 10 ms after a change.
    UnsavedWork& startRun() {
        work = std::make_unique<UnsavedWork>(root(), 10ms);
        EXPECT_TRUE(work->start());
        return *work;
    }

    DocumentWindow* newDocument() {
        frame().newDocument();
        return active();
    }

    void type(DocumentWindow* window, const QString& text) {
        window->Text1->setFocus();
        QTest::keyClicks(window->Text1, text);
    }

    // Lets the windows run until no copy is due or being taken, then until it is written.
    void settle() {
        EXPECT_TRUE(QTest::qWaitFor([this] {
            const auto keepers = frame().findChildren<WorkKeeper*>();
            return std::none_of(keepers.begin(), keepers.end(),
                                [](const WorkKeeper* keeper) { return keeper->busy(); });
        }));
        work->waitForWrites();
    }

    QStringList copiesOf(const QString& runFolder) const {
        return QDir(runFolder).entryList({QStringLiteral("*.copy")}, QDir::Files);
    }

    static QString textOf(const QByteArray& rtf) {
        QTextDocument document;
        rtf::read(rtf, document);
        return document.toPlainText();
    }

    // A run that ended without cleaning up, having kept `text` for a document.
    void crashedRunKept(const QString& filePath, const QString& caption, const QString& text,
                        int id = 1) {
        KeptCopies run(root());
        ASSERT_TRUE(run.start());
        QTextDocument document;
        document.setPlainText(text);
        run.keep(id,
                 {filePath, caption, DocumentFile::kindOf(filePath),
                  QDateTime::currentDateTimeUtc(), std::nullopt},
                 rtf::write(document));
    }

    std::unique_ptr<UnsavedWork> work;
};
} // namespace

TEST_F(RecoveryTest, ChangeIsKeptWithinTheIntervalAsItsFileAndCaption) {
    startRun();
    writeFile(QStringLiteral("letter.rtf"), "{\\rtf1 Dear}");
    DocumentWindow* saved = newDocument();
    saved->setCaption(path(QStringLiteral("letter.rtf")));
    DocumentWindow* fresh = newDocument();
    type(saved, QStringLiteral("kept"));
    type(fresh, QStringLiteral("new work"));
    // Nothing is written while the user types.
    EXPECT_TRUE(copiesOf(work->copies().runFolder()).isEmpty());

    settle();
    const QString run = work->copies().runFolder();
    ASSERT_EQ(copiesOf(run).size(), 2);
    const QList<KeptCopies::LeftBehind> left = [&] {
        KeptCopies next(root());
        work.reset(); // the run ends without cleaning up
        return next.leftBehind();
    }();
    ASSERT_EQ(left.size(), 2);
    QMap<QString, KeptCopies::LeftBehind> byCaption;
    for (const auto& copy : left)
        byCaption.insert(copy.about.caption, copy);
    const auto letter = byCaption.value(path(QStringLiteral("letter.rtf")));
    EXPECT_EQ(letter.about.path, path(QStringLiteral("letter.rtf")));
    EXPECT_FALSE(letter.damaged);
    EXPECT_EQ(byCaption.value(QStringLiteral("noname")).about.path, QString());
    // The original is never written by keeping a copy.
    EXPECT_EQ(readFile(QStringLiteral("letter.rtf")), "{\\rtf1 Dear}");
}

// Whatever ends the unsaved state of a document ends its copy.
TEST_F(RecoveryTest, CopyGoesWhenTheWorkIsSafeOrGivenUp) {
    const struct {
        const char* name;
        std::function<void(RecoveryTest&, DocumentWindow*)> end;
        bool runFolderGoes;
    } cases[] = {
        {"saved",
         [](RecoveryTest& t, DocumentWindow* window) {
             window->setCaption(t.path(QStringLiteral("saved.rtf")));
             SaveCommand::save(*window);
         },
         false},
        {"closed answering No",
         [](RecoveryTest& t, DocumentWindow* window) {
             t.scripted.desktop.messageAnswers.push_back(MsgBoxResult::No);
             qobject_cast<QMdiSubWindow*>(window->parentWidget())->close();
             QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
         },
         false},
        {"frame closed answering No",
         [](RecoveryTest& t, DocumentWindow*) {
             t.scripted.desktop.messageAnswers.push_back(MsgBoxResult::No);
             t.frame().close();
         },
         true},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        startRun();
        DocumentWindow* window = newDocument();
        type(window, QStringLiteral("work"));
        settle();
        const QString run = work->copies().runFolder();
        ASSERT_EQ(copiesOf(run).size(), 1);
        test.end(*this, window);
        work->waitForWrites();
        EXPECT_TRUE(copiesOf(run).isEmpty());
        EXPECT_EQ(QDir(run).exists(), !test.runFolderGoes);
        restart();
    }
}

TEST_F(RecoveryTest, FailedWriteIsSilentAndTriedAgain) {
    startRun();
    const QString run = work->copies().runFolder();
    DocumentWindow* window = newDocument();
    // A folder where the copy goes: writing it fails as a full disk would.
    QDir().mkpath(run + QStringLiteral("/1.copy"));
    type(window, QStringLiteral("work"));
    settle();
    EXPECT_TRUE(scripted.desktop.messages.isEmpty());
    QDir(run + QStringLiteral("/1.copy")).removeRecursively();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(run + QStringLiteral("/1.copy")); }));
}

TEST_F(RecoveryTest, DeadRunsCopiesAreOfferedAndALiveRunsAreNot) {
    crashedRunKept(path(QStringLiteral("dead.rtf")), path(QStringLiteral("dead.rtf")),
                   QStringLiteral("left by a crash"));
    KeptCopies live(root());
    ASSERT_TRUE(live.start());
    live.keep(1,
              {QString(), QStringLiteral("noname"), DocumentFile::Kind::RichText,
               QDateTime::currentDateTimeUtc(), std::nullopt},
              "{\\rtf1 still typing}");
    startRun();
    frame();
    Startup::offerKeptWork(frame(), *work);
    ASSERT_EQ(scripted.desktop.recoveryOffers.size(), 1);
    const QList<KeptWork> offered = scripted.desktop.recoveryOffers.first();
    ASSERT_EQ(offered.size(), 1);
    EXPECT_EQ(offered[0].caption, path(QStringLiteral("dead.rtf")));
    EXPECT_EQ(offered[0].path, path(QStringLiteral("dead.rtf")));
    EXPECT_TRUE(offered[0].keptAt.isValid());
    // Decided later: the copy stays for the next start.
    work.reset();
    EXPECT_EQ(KeptCopies(root()).leftBehind().size(), 1);
}

TEST_F(RecoveryTest, RecoverOpensChangedWindowsThatSaveWhereTheOriginalsWould) {
    writeFile(QStringLiteral("report.rtf"), "{\\rtf1 the saved report}");
    crashedRunKept(path(QStringLiteral("report.rtf")), path(QStringLiteral("report.rtf")),
                   QStringLiteral("the report, changed"), 1);
    crashedRunKept(QString(), QStringLiteral("noname"), QStringLiteral("never saved"), 2);
    startRun();
    scripted.desktop.recoveryAnswers.push_back(RecoveryChoice::Recover);
    const qsizetype before = frame().documents().size();
    Startup::offerKeptWork(frame(), *work);
    const QList<DocumentWindow*> windows = frame().documents();
    ASSERT_EQ(windows.size(), before + 2);
    QMap<QString, DocumentWindow*> byCaption;
    for (DocumentWindow* window : windows)
        byCaption.insert(window->Caption(), window);
    DocumentWindow* report = byCaption.value(path(QStringLiteral("report.rtf")));
    DocumentWindow* fresh = byCaption.value(QStringLiteral("noname"));
    ASSERT_TRUE(report && fresh);
    EXPECT_TRUE(report->isChanged());
    EXPECT_TRUE(fresh->isChanged());
    EXPECT_EQ(report->Text1->document()->toPlainText(), QStringLiteral("the report, changed"));
    EXPECT_EQ(readFile(QStringLiteral("report.rtf")), "{\\rtf1 the saved report}");

    // The old copies go once this run keeps its own.
    settle();
    EXPECT_EQ(copiesOf(work->copies().runFolder()).size(), 2);
    EXPECT_EQ(QDir(root()).entryList({QStringLiteral("run-*")}, QDir::Dirs).size(), 1);

    SaveCommand::save(*report);
    EXPECT_EQ(textOf(readFile(QStringLiteral("report.rtf"))),
              QStringLiteral("the report, changed"));
    EXPECT_FALSE(report->isChanged());
    // A document that never had a file asks for one.
    SaveCommand::save(*fresh);
    EXPECT_EQ(scripted.desktop.saveRequests.size(), 1);
}

// A plain-text file comes back in its own encoding and line ends, not as a new document's UTF-8,
// and to its own folder whatever folder the next run starts in.
TEST_F(RecoveryTest, RecoveredTextFileSavesAsItsFileWasWritten) {
    startRun();
    writeFile(QStringLiteral("notes.txt"), "caf\xE9\r\n");
    DocumentWindow* notes = newDocument();
    DocumentFile::load(*notes->Text1, path(QStringLiteral("notes.txt")));
    // Named as the command line named it, relative to the folder the run started in.
    const QString started = QDir::currentPath();
    QDir::setCurrent(QFileInfo(path(QStringLiteral("notes.txt"))).path());
    notes->setCaption(QStringLiteral("notes.txt"));
    notes->Text1->moveCursor(QTextCursor::End);
    type(notes, QStringLiteral("naive"));
    settle();
    work.reset(); // the run ends without cleaning up

    QDir::setCurrent(started); // the next run starts elsewhere
    startRun();
    scripted.desktop.recoveryAnswers.push_back(RecoveryChoice::Recover);
    Startup::offerKeptWork(frame(), *work);
    DocumentWindow* recovered = nullptr;
    for (DocumentWindow* window : frame().documents())
        if (window != notes && window->Caption() == path(QStringLiteral("notes.txt")))
            recovered = window;
    ASSERT_TRUE(recovered);
    SaveCommand::save(*recovered);
    EXPECT_EQ(readFile(QStringLiteral("notes.txt")), "caf\xE9\r\nnaive");
}

TEST_F(RecoveryTest, DiscardMovesCopiesAside) {
    crashedRunKept(QString(), QStringLiteral("noname"), QStringLiteral("not wanted"));
    startRun();
    scripted.desktop.recoveryAnswers.push_back(RecoveryChoice::Discard);
    const qsizetype before = frame().documents().size();
    Startup::offerKeptWork(frame(), *work);
    EXPECT_EQ(frame().documents().size(), before);
    EXPECT_EQ(QDir(root() + QStringLiteral("/discarded")).entryList(QDir::Files).size(), 1);
    EXPECT_EQ(QDir(root()).entryList({QStringLiteral("run-*")}, QDir::Dirs).size(), 1);
}

TEST_F(RecoveryTest, DamagedCopyIsNamedAndSetAsideNeverOpened) {
    crashedRunKept(path(QStringLiteral("ok.rtf")), path(QStringLiteral("ok.rtf")),
                   QStringLiteral("fine"), 1);
    crashedRunKept(path(QStringLiteral("torn.rtf")), path(QStringLiteral("torn.rtf")),
                   QStringLiteral("half written"), 2);
    // The second run's copy loses its end, as a crash in the middle of writing would leave it.
    for (const QString& run : QDir(root()).entryList({QStringLiteral("run-*")}, QDir::Dirs)) {
        const QString copy = root() + u'/' + run + QStringLiteral("/2.copy");
        if (QFile::exists(copy)) {
            const QByteArray bytes = testfiles::read(copy);
            ASSERT_TRUE(testfiles::write(copy, bytes.left(bytes.size() - 5)));
        }
    }
    startRun();
    scripted.desktop.recoveryAnswers.push_back(RecoveryChoice::Recover);
    const qsizetype before = frame().documents().size();
    Startup::offerKeptWork(frame(), *work);
    EXPECT_EQ(frame().documents().size(), before + 1);
    ASSERT_EQ(scripted.desktop.messages.size(), 1);
    EXPECT_TRUE(scripted.desktop.messages[0].prompt.contains(path(QStringLiteral("torn.rtf"))));
    EXPECT_FALSE(scripted.desktop.messages[0].prompt.contains(path(QStringLiteral("ok.rtf"))));
    EXPECT_EQ(QDir(root() + QStringLiteral("/damaged")).entryList(QDir::Files).size(), 1);
}

// Thousands of copies do not open thousands of windows: the rest wait for the next start.
TEST_F(RecoveryTest, RecoverOpensABoundedNumberAndKeepsTheRest) {
    {
        KeptCopies run(root());
        ASSERT_TRUE(run.start());
        const QDateTime now = QDateTime::currentDateTimeUtc();
        for (int id = 1; id <= recoveredAtOnce + 5; ++id)
            run.keep(id,
                     {QString(), QStringLiteral("noname"), DocumentFile::Kind::RichText, now,
                      std::nullopt},
                     "{\\rtf1 work}");
    }
    // Kept in the same moment, they are offered in the order their documents were opened.
    QStringList order;
    for (const KeptCopies::LeftBehind& copy : KeptCopies(root()).leftBehind())
        order << copy.name;
    ASSERT_EQ(order.size(), recoveredAtOnce + 5);
    EXPECT_EQ(order.first(), "1");
    EXPECT_EQ(order[9], "10");
    EXPECT_EQ(order.last(), QString::number(recoveredAtOnce + 5));
    startRun();
    scripted.desktop.recoveryAnswers.push_back(RecoveryChoice::Recover);
    const qsizetype before = frame().documents().size();
    Startup::offerKeptWork(frame(), *work);
    EXPECT_EQ(frame().documents().size(), before + recoveredAtOnce);
    settle();
    work.reset();
    // The five never opened, and the copies this run kept of the twenty it opened.
    EXPECT_EQ(KeptCopies(root()).leftBehind().size(), recoveredAtOnce + 5);
}

// A description is read from the disk: a name not in full is shown as it is and never saved to,
// and a caption differing from the file's name is not believed.
TEST_F(RecoveryTest, OddNamesAreShownAndNeverSavedTo) {
    crashedRunKept(QStringLiteral("../../rel-escape.rtf"), QStringLiteral("./rel.rtf"),
                   QStringLiteral("odd"), 1);
    crashedRunKept(path(QStringLiteral("real.rtf")), QStringLiteral("./rel.rtf"),
                   QStringLiteral("real"), 2);
    startRun();
    scripted.desktop.recoveryAnswers.push_back(RecoveryChoice::Recover);
    Startup::offerKeptWork(frame(), *work);
    ASSERT_EQ(scripted.desktop.recoveryOffers.size(), 1);
    QMap<QString, KeptWork> shown;
    for (const KeptWork& copy : scripted.desktop.recoveryOffers.first())
        shown.insert(copy.path, copy);
    EXPECT_FALSE(shown.value(QStringLiteral("../../rel-escape.rtf")).pathTrusted);
    EXPECT_EQ(shown.value(path(QStringLiteral("real.rtf"))).caption,
              path(QStringLiteral("real.rtf")));
    for (DocumentWindow* window : frame().documents()) {
        const QString text = window->Text1->document()->toPlainText();
        if (text == QStringLiteral("odd")) {
            EXPECT_EQ(window->Caption(), QStringLiteral("noname"));
            SaveCommand::save(*window);
            EXPECT_EQ(scripted.desktop.saveRequests.size(), 1);
        } else if (text == QStringLiteral("real")) {
            EXPECT_EQ(window->Caption(), path(QStringLiteral("real.rtf")));
        }
    }
    EXPECT_FALSE(QFile::exists(QStringLiteral("rel.rtf")));
}

// A refused folder of copies is said once, as text, naming the folder.
TEST_F(RecoveryTest, RefusedFolderIsToldOnce) {
    const QString html = path(QStringLiteral("a<img src=x>"));
    ASSERT_TRUE(QDir().mkpath(html));
    ASSERT_TRUE(QFile::link(html, root()));
    work = std::make_unique<UnsavedWork>(root(), 10ms);
    EXPECT_FALSE(work->start());
    Startup::offerKeptWork(frame(), *work);
    ASSERT_EQ(scripted.desktop.messages.size(), 1);
    EXPECT_TRUE(scripted.desktop.messages[0].prompt.contains(root()));
    EXPECT_TRUE(scripted.desktop.recoveryOffers.isEmpty());
    EXPECT_TRUE(QDir(html).isEmpty());
}

// Exit and restore ends at once, as a crash would, but keeps every change, the last one typed
// included, for the next start to offer; with nothing changed, it leaves nothing behind.
TEST_F(RecoveryTest, ExitAndRestoreKeepsChangedWorkForTheNextStart) {
    startRun();
    frame().exitAndRestoreAction->trigger();
    EXPECT_EQ(scripted.desktop.endedAtOnce, 1);
    EXPECT_TRUE(QDir(root()).entryList({QStringLiteral("run-*")}, QDir::Dirs).isEmpty());
    restart();

    startRun();
    DocumentWindow* window = newDocument();
    type(window, QStringLiteral("typed just now"));
    // No turn of the event loop: the copy's interval has not run out.
    frame().exitAndRestoreAction->trigger();
    EXPECT_EQ(scripted.desktop.endedAtOnce, 2);
    work.reset();
    restart();

    startRun();
    scripted.desktop.recoveryAnswers.push_back(RecoveryChoice::Recover);
    Startup::offerKeptWork(frame(), *work);
    ASSERT_EQ(scripted.desktop.recoveryOffers.size(), 1);
    ASSERT_EQ(scripted.desktop.recoveryOffers[0].size(), 1);
    EXPECT_EQ(active()->Text1->document()->toPlainText(), QStringLiteral("typed just now"));
}
