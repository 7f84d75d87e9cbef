#include "files/KeptCopies.h"

#include "os/AtomicFile.h"
#include "os/RunLock.h"
#include "text/NativePath.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {
const QString lockName = QStringLiteral("lock");
const QString runPrefix = QStringLiteral("run-");

bool makePrivateFolder(const QString& path) {
    QDir().mkpath(path);
    return ::chmod(NativePath::encode(path).constData(), 0700) == 0;
}

// AtomicFile gives a new file the mode of the one it replaces: the first copy is made 0600
// before any byte of the user's text goes in.
void writePrivate(const QString& path, const QByteArray& bytes) {
    const QByteArray native = NativePath::encode(path);
    const int descriptor = ::open(native.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (descriptor >= 0)
        ::close(descriptor);
    AtomicFile::write(path, bytes);
}

QByteArray checksum(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

const char* kindName(DocumentFile::Kind kind) {
    switch (kind) {
    case DocumentFile::Kind::RichText:
        return "rtf";
    case DocumentFile::Kind::Html:
        return "htm";
    case DocumentFile::Kind::PlainText:
        break;
    }
    return "txt";
}

std::optional<DocumentFile::Kind> kindNamed(const QByteArray& name) {
    for (DocumentFile::Kind kind :
         {DocumentFile::Kind::RichText, DocumentFile::Kind::Html, DocumentFile::Kind::PlainText})
        if (name == kindName(kind))
            return kind;
    return std::nullopt;
}

using Encoding = PlainText::Encoding;
constexpr std::pair<Encoding::Kind, const char*> encodingNames[] = {
    {Encoding::Kind::Utf8, "utf-8"},
    {Encoding::Kind::Utf8Bom, "utf-8-bom"},
    {Encoding::Kind::Utf16LE, "utf-16le-bom"},
    {Encoding::Kind::Utf16BE, "utf-16be-bom"},
    {Encoding::Kind::Utf16LENoBom, "utf-16le"},
    {Encoding::Kind::Utf16BENoBom, "utf-16be"},
    {Encoding::Kind::Windows1252, "windows-1252"},
};
constexpr std::pair<Encoding::LineEnd, const char*> lineEndNames[] = {
    {Encoding::LineEnd::CRLF, "crlf"},
    {Encoding::LineEnd::LF, "lf"},
    {Encoding::LineEnd::CR, "cr"},
};

template <typename Value, size_t N>
const char* nameOf(const std::pair<Value, const char*> (&names)[N], Value value) {
    for (const auto& [known, name] : names)
        if (known == value)
            return name;
    return "";
}

template <typename Value, size_t N>
std::optional<Value> valueNamed(const std::pair<Value, const char*> (&names)[N],
                                const QByteArray& name) {
    for (const auto& [value, known] : names)
        if (name == known)
            return value;
    return std::nullopt;
}

// "utf-8 crlf"; none for a name this run does not know, as for a document not read as text.
std::optional<Encoding> encodingNamed(const QByteArray& value) {
    const QList<QByteArray> parts = value.split(' ');
    if (parts.size() != 2)
        return std::nullopt;
    const auto kind = valueNamed(encodingNames, parts[0]);
    const auto lineEnd = valueNamed(lineEndNames, parts[1]);
    if (!kind || !lineEnd)
        return std::nullopt;
    return Encoding{*kind, *lineEnd};
}

// "key=value" lines, values percent-encoded so any name (even one that is not UTF-8) and any
// caption fit on one line.
QByteArray infoFor(const KeptCopies::About& about, const QByteArray& rtf) {
    QByteArray info;
    const auto line = [&info](const char* key, const QByteArray& value) {
        info += key;
        info += '=';
        info += value.toPercentEncoding();
        info += '\n';
    };
    line("path", NativePath::encode(about.path));
    line("caption", about.caption.toUtf8());
    line("kind", kindName(about.kind));
    line("kept", about.keptAt.toUTC().toString(Qt::ISODateWithMs).toLatin1());
    line("bytes", QByteArray::number(rtf.size()));
    line("sha256", checksum(rtf));
    if (about.encoding)
        line("encoding", QByteArray(nameOf(encodingNames, about.encoding->kind)) + ' ' +
                             nameOf(lineEndNames, about.encoding->lineEnd));
    return info;
}

struct Info {
    KeptCopies::About about;
    qint64 bytes = -1;
    QByteArray sha256;
    bool complete = false;
};

Info readInfo(const QString& path) {
    QFile file(path);
    Info info;
    if (!file.open(QIODevice::ReadOnly))
        return info;
    int found = 0;
    std::optional<DocumentFile::Kind> kind;
    for (const QByteArray& line : file.read(64 * 1024).split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0)
            continue;
        const QByteArray key = line.left(equals);
        const QByteArray value = QByteArray::fromPercentEncoding(line.mid(equals + 1));
        ++found;
        if (key == "path")
            info.about.path = NativePath::decode(value);
        else if (key == "caption")
            info.about.caption = QString::fromUtf8(value);
        else if (key == "kind")
            kind = kindNamed(value);
        else if (key == "kept")
            info.about.keptAt =
                QDateTime::fromString(QString::fromLatin1(value), Qt::ISODateWithMs);
        else if (key == "bytes")
            info.bytes = value.toLongLong();
        else if (key == "sha256")
            info.sha256 = value;
        else if (key == "encoding") {
            // Only documents read from plain text have one: it is not among the six every copy
            // has.
            info.about.encoding = encodingNamed(value);
            --found;
        } else
            --found;
    }
    info.about.kind = kind.value_or(DocumentFile::Kind::RichText);
    info.complete = found == 6 && kind && info.about.keptAt.isValid() && info.bytes >= 0;
    return info;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

KeptCopies::KeptCopies(QString root) : root_(std::move(root)) {}

KeptCopies::~KeptCopies() = default;

bool KeptCopies::start() {
    if (!makePrivateFolder(root_))
        return false;
    const QString folder = QStringLiteral("%1/%2%3-%4")
                               .arg(root_, runPrefix)
                               .arg(QCoreApplication::applicationPid())
                               .arg(QDateTime::currentMSecsSinceEpoch());
    if (!makePrivateFolder(folder))
        return false;
    lock_ = RunLock::take(folder + u'/' + lockName);
    if (!lock_)
        return false;
    runFolder_ = folder;
    return true;
}

void KeptCopies::keep(int id, const About& about, const QByteArray& rtf) {
    if (runFolder_.isEmpty())
        return;
    const QString base = runFolder_ + u'/' + QString::number(id);
    // The content first: an .info names the size and checksum of the content it goes with, so
    // a crash between the two leaves a copy that reads as damaged, never as another's text.
    writePrivate(base + QStringLiteral(".rtf"), rtf);
    writePrivate(base + QStringLiteral(".info"), infoFor(about, rtf));
}

void KeptCopies::forget(int id) {
    if (runFolder_.isEmpty())
        return;
    const QString base = runFolder_ + u'/' + QString::number(id);
    QFile::remove(base + QStringLiteral(".info"));
    QFile::remove(base + QStringLiteral(".rtf"));
}

void KeptCopies::finish() {
    if (runFolder_.isEmpty())
        return;
    QDir(runFolder_).removeRecursively();
    lock_.reset();
    runFolder_.clear();
}

QList<KeptCopies::LeftBehind> KeptCopies::leftBehind() {
    QList<LeftBehind> copies;
    const QStringList runs =
        QDir(root_).entryList({runPrefix + u'*'}, QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& run : runs) {
        const QString folder = root_ + u'/' + run;
        if (folder == runFolder_ || RunLock::heldByLiveRun(folder + u'/' + lockName))
            continue;
        std::unique_ptr<RunLock> claim = RunLock::take(folder + u'/' + lockName);
        if (!claim)
            continue; // another program claimed it just now
        claimed_.push_back(std::move(claim));
        QStringList names;
        for (const QString& file : QDir(folder).entryList(QDir::Files)) {
            if (file.endsWith(QStringLiteral(".rtf")) || file.endsWith(QStringLiteral(".info")))
                names += file.section(u'.', 0, 0);
        }
        names.removeDuplicates();
        for (const QString& name : names) {
            LeftBehind copy{folder, name, {}, false};
            const Info info = readInfo(folder + u'/' + name + QStringLiteral(".info"));
            copy.about = info.about;
            copy.damaged = !info.complete || content(copy).isEmpty();
            if (copy.about.caption.isEmpty())
                copy.about.caption = name;
            copies += copy;
        }
        dropRunIfEmpty(folder);
    }
    std::stable_sort(copies.begin(), copies.end(), [](const LeftBehind& a, const LeftBehind& b) {
        return a.about.keptAt < b.about.keptAt;
    });
    return copies;
}

QByteArray KeptCopies::content(const LeftBehind& copy) const {
    const QString base = copy.runFolder + u'/' + copy.name;
    const Info info = readInfo(base + QStringLiteral(".info"));
    if (!info.complete)
        return {};
    const QByteArray rtf = readAll(base + QStringLiteral(".rtf"));
    if (rtf.size() != info.bytes || checksum(rtf) != info.sha256 || rtf.isEmpty())
        return {};
    return rtf;
}

void KeptCopies::moveTo(const LeftBehind& copy, const QString& folder, const QString& prefix) {
    makePrivateFolder(folder);
    for (const QString& suffix : {QStringLiteral(".rtf"), QStringLiteral(".info")}) {
        const QString from = copy.runFolder + u'/' + copy.name + suffix;
        if (QFile::exists(from))
            QFile::rename(from, folder + u'/' + prefix + copy.name + suffix);
    }
    dropRunIfEmpty(copy.runFolder);
}

void KeptCopies::discard(const LeftBehind& copy, const QDateTime& now) {
    moveTo(copy, root_ + QStringLiteral("/discarded"),
           QString::number(now.toMSecsSinceEpoch()) + u'-');
}

void KeptCopies::setAside(const LeftBehind& copy) {
    moveTo(copy, root_ + QStringLiteral("/damaged"), copy.runFolder.section(u'/', -1) + u'-');
}

void KeptCopies::recovered(const LeftBehind& copy) {
    QFile::remove(copy.runFolder + u'/' + copy.name + QStringLiteral(".info"));
    QFile::remove(copy.runFolder + u'/' + copy.name + QStringLiteral(".rtf"));
    dropRunIfEmpty(copy.runFolder);
}

void KeptCopies::dropDiscardedBefore(const QDateTime& limit) {
    QDir discarded(root_ + QStringLiteral("/discarded"));
    for (const QString& file : discarded.entryList(QDir::Files)) {
        bool ok = false;
        const qint64 when = file.section(u'-', 0, 0).toLongLong(&ok);
        if (ok && when < limit.toMSecsSinceEpoch())
            discarded.remove(file);
    }
}

void KeptCopies::dropRunIfEmpty(const QString& runFolder) {
    const QStringList left = QDir(runFolder).entryList(QDir::Files);
    if (left == QStringList{lockName})
        QDir(runFolder).removeRecursively();
}
