#include "files/KeptCopies.h"

#include "os/RunLock.h"

#include <QCoreApplication>

#include <algorithm>
#include <tuple>
#include <utility>

namespace {
const QString lockName = QStringLiteral("lock");
const QString runPrefix = QStringLiteral("run-");
const QString copySuffix = QStringLiteral(".copy");
const QString textSuffix = QStringLiteral(".rtf");
const QString infoSuffix = QStringLiteral(".info");
const QString discardedName = QStringLiteral("discarded");
const QString damagedName = QStringLiteral("damaged");

// A description is a few hundred bytes; a name can make it longer, never this long.
constexpr qint64 descriptionLimit = 64 * 1024;

// The description's end in a copy file: the line feed of its last line and the empty line.
qsizetype textStart(const QByteArray& head) {
    const qsizetype blank = head.indexOf("\n\n");
    return blank < 0 ? -1 : blank + 2;
}
} // namespace

KeptCopies::KeptCopies(QString root) : rootPath_(std::move(root)) {}

KeptCopies::~KeptCopies() = default;

QString KeptCopies::runFolder() const {
    return runName_.isEmpty() ? QString() : rootPath_ + u'/' + runName_;
}

bool KeptCopies::start() {
    PrivateFolder::Refusal why = PrivateFolder::Refusal::None;
    root_ = PrivateFolder::open(rootPath_, true, &why);
    if (!root_.isOpen()) {
        refusal_ = PrivateFolder::describe(why, rootPath_);
        return false;
    }
    // Runs of one process, which tests start by the dozen, are told apart by their number.
    static int runsStarted = 0;
    const QString name = runPrefix + QString::number(QCoreApplication::applicationPid()) + u'-' +
                         QString::number(QDateTime::currentMSecsSinceEpoch()) + u'-' +
                         QString::number(++runsStarted);
    run_ = root_.child(name, true, &why);
    if (!run_.isOpen()) {
        refusal_ = PrivateFolder::describe(why, rootPath_ + u'/' + name);
        return false;
    }
    lock_ = RunLock::take(run_.descriptor(), lockName);
    if (!lock_) {
        refusal_ = PrivateFolder::describe(PrivateFolder::Refusal::Failed,
                                           rootPath_ + u'/' + name + u'/' + lockName);
        run_ = {};
        return false;
    }
    runName_ = name;
    refusal_.clear();
    return true;
}

void KeptCopies::keep(int id, const About& about, const QByteArray& rtf) {
    if (!lock_)
        return;
    run_.write(QString::number(id) + copySuffix, CopyDescription::write(about, rtf) + '\n' + rtf);
}

void KeptCopies::forget(int id) {
    if (lock_)
        run_.remove(QString::number(id) + copySuffix);
}

void KeptCopies::finish() {
    if (!lock_)
        return;
    // Through the descriptor held since the start: a link put in the folder's place meanwhile
    // is not entered, and the folder's own name goes only while it is still a folder.
    run_.empty();
    root_.remove(runName_);
    lock_.reset();
    run_ = {};
    runName_.clear();
}

QList<KeptCopies::LeftBehind> KeptCopies::leftBehind() {
    QList<LeftBehind> copies;
    // A program that keeps no copies of its own still offers back those of others.
    if (!root_.isOpen())
        root_ = PrivateFolder::open(rootPath_, false);
    QStringList runs = root_.names();
    runs.sort();
    for (const QString& run : runs) {
        if (claimed_.size() >= size_t(claimedAtOnce))
            break;
        if (!run.startsWith(runPrefix) || run == runName_ || claimed_.count(run))
            continue;
        // Another user's folder, or a link, is none of ours to offer or to remove.
        const PrivateFolder folder = root_.child(run, false);
        if (!folder.isOpen() || RunLock::heldByLiveRun(folder.descriptor(), lockName))
            continue;
        std::unique_ptr<RunLock> claim = RunLock::take(folder.descriptor(), lockName);
        if (!claim)
            continue; // another program claimed it just now
        claimed_.emplace(run, std::move(claim));
        listRun(run, folder, copies);
        dropRunIfEmpty(run);
    }
    // Copies kept in the same moment come in the order their documents were opened.
    std::stable_sort(copies.begin(), copies.end(), [](const LeftBehind& a, const LeftBehind& b) {
        return std::tuple(a.about.keptAt, a.run, a.name.toLongLong()) <
               std::tuple(b.about.keptAt, b.run, b.name.toLongLong());
    });
    return copies;
}

void KeptCopies::listRun(const QString& run, const PrivateFolder& folder,
                         QList<LeftBehind>& copies) {
    const auto add = [&](const QString& name, const CopyDescription::Read& info, bool whole,
                         bool apart) {
        LeftBehind copy{run, name, info.about, !info.complete || !whole, apart};
        if (copy.about.caption.isEmpty())
            copy.about.caption = name;
        copies += copy;
    };
    QStringList apart;
    for (const QString& file : folder.names()) {
        if (file.startsWith(u'.'))
            continue; // a copy being written when its run ended
        if (file.endsWith(copySuffix)) {
            const QString name = file.chopped(copySuffix.size());
            const QByteArray head = folder.read(file, descriptionLimit).value_or(QByteArray());
            const qsizetype start = textStart(head);
            const CopyDescription::Read info = CopyDescription::read(head.left(start));
            add(name, info,
                start > 0 && folder.fileSize(file) == start + info.bytes && info.bytes > 0, false);
        } else if (file.endsWith(textSuffix) || file.endsWith(infoSuffix)) {
            apart += file.section(u'.', 0, 0);
        }
    }
    apart.removeDuplicates();
    for (const QString& name : apart) {
        const CopyDescription::Read info = CopyDescription::read(
            folder.read(name + infoSuffix, descriptionLimit).value_or(QByteArray()));
        add(name, info, folder.fileSize(name + textSuffix) == info.bytes && info.bytes > 0, true);
    }
}

QByteArray KeptCopies::content(const LeftBehind& copy) const {
    const PrivateFolder folder = root_.child(copy.run, false);
    CopyDescription::Read info;
    QByteArray rtf;
    if (copy.apart) {
        info = CopyDescription::read(
            folder.read(copy.name + infoSuffix, descriptionLimit).value_or(QByteArray()));
        if (info.complete)
            rtf = folder.read(copy.name + textSuffix, info.bytes).value_or(QByteArray());
    } else {
        const QString file = copy.name + copySuffix;
        QByteArray bytes =
            folder.read(file, folder.fileSize(file).value_or(0)).value_or(QByteArray());
        const qsizetype start = textStart(bytes.left(descriptionLimit));
        if (start > 0) {
            info = CopyDescription::read(bytes.left(start));
            rtf = std::move(bytes.remove(0, start));
        }
    }
    return CopyDescription::matches(info, rtf) ? rtf : QByteArray();
}

void KeptCopies::moveTo(const LeftBehind& copy, const QString& folder, const QString& prefix) {
    const PrivateFolder target = root_.child(folder, true);
    const PrivateFolder from = root_.child(copy.run, false);
    const QStringList files = copy.apart
                                  ? QStringList{copy.name + textSuffix, copy.name + infoSuffix}
                                  : QStringList{copy.name + copySuffix};
    // Where the folder is refused the copy stays, and is offered again at the next start.
    for (const QString& file : files)
        if (from.fileSize(file))
            from.move(file, target, prefix + file);
    dropRunIfEmpty(copy.run);
}

void KeptCopies::discard(const LeftBehind& copy, const QDateTime& now) {
    moveTo(copy, discardedName, QString::number(now.toMSecsSinceEpoch()) + u'-');
}

void KeptCopies::setAside(const LeftBehind& copy) {
    moveTo(copy, damagedName, copy.run + u'-');
}

void KeptCopies::recovered(const LeftBehind& copy) {
    const PrivateFolder folder = root_.child(copy.run, false);
    if (copy.apart) {
        folder.remove(copy.name + infoSuffix);
        folder.remove(copy.name + textSuffix);
    } else {
        folder.remove(copy.name + copySuffix);
    }
    dropRunIfEmpty(copy.run);
}

void KeptCopies::dropDiscardedBefore(const QDateTime& limit) {
    const PrivateFolder discarded = root_.child(discardedName, false);
    for (const QString& file : discarded.names()) {
        bool ok = false;
        const qint64 when = file.section(u'-', 0, 0).toLongLong(&ok);
        if (ok && when < limit.toMSecsSinceEpoch())
            discarded.remove(file);
    }
}

void KeptCopies::dropRunIfEmpty(const QString& run) {
    const PrivateFolder folder = root_.child(run, false);
    if (!folder.isOpen())
        return;
    const QStringList left = folder.names();
    const bool empty = std::all_of(left.begin(), left.end(), [](const QString& name) {
        return name == lockName || name.startsWith(u'.');
    });
    if (empty)
        root_.remove(run);
}
