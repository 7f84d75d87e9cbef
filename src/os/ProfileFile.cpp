#include "os/ProfileFile.h"

#include "text/Error.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <vector>

// The file is handled as bytes, line by line. Only section and key names are decoded, to
// compare them; values and every other line go back out exactly as they came in, so a file
// in a legacy 8-bit encoding is not damaged by a write.

namespace ProfileFile {

namespace {

struct Line {
    enum class Kind { Blank, Comment, Section, Entry, Other } kind = Kind::Other;
    qsizetype start = 0;      // first byte of the line
    qsizetype contentEnd = 0; // first byte of the line end ("\r\n" or "\n"), or the file's end
    qsizetype end = 0;        // first byte of the next line
    QByteArray name;          // Section: the name in brackets; Entry: the key; both trimmed
    qsizetype valueStart = 0; // Entry: first byte of the value after the blanks behind '='
};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArray trimmedBlanks(QByteArrayView bytes) {
    qsizetype from = 0;
    qsizetype to = bytes.size();
    while (from < to && isBlank(bytes[from]))
        ++from;
    while (to > from && (isBlank(bytes[to - 1]) || bytes[to - 1] == '\r'))
        --to;
    return bytes.sliced(from, to - from).toByteArray();
}

Line classify(const QByteArray& bytes, qsizetype start, qsizetype contentEnd) {
    Line line;
    line.start = start;
    line.contentEnd = contentEnd;
    qsizetype at = start;
    if (start == 0 && QByteArrayView(bytes).startsWith("\xEF\xBB\xBF"))
        at = 3;
    while (at < contentEnd && isBlank(bytes[at]))
        ++at;
    if (at == contentEnd) {
        line.kind = Line::Kind::Blank;
    } else if (bytes[at] == ';') {
        line.kind = Line::Kind::Comment;
    } else if (bytes[at] == '[') {
        line.kind = Line::Kind::Section;
        qsizetype close = bytes.indexOf(']', at);
        if (close < 0 || close > contentEnd)
            close = contentEnd;
        line.name = trimmedBlanks(QByteArrayView(bytes).sliced(at + 1, close - at - 1));
    } else if (const qsizetype equals = bytes.indexOf('=', at);
               equals >= 0 && equals < contentEnd) {
        line.kind = Line::Kind::Entry;
        line.name = trimmedBlanks(QByteArrayView(bytes).sliced(at, equals - at));
        line.valueStart = equals + 1;
        while (line.valueStart < contentEnd && isBlank(bytes[line.valueStart]))
            ++line.valueStart;
    }
    return line;
}

std::vector<Line> splitLines(const QByteArray& bytes) {
    std::vector<Line> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype newline = bytes.indexOf('\n', start);
        const qsizetype end = newline < 0 ? bytes.size() : newline + 1;
        qsizetype contentEnd = newline < 0 ? bytes.size() : newline;
        if (newline >= 0 && contentEnd > start && bytes[contentEnd - 1] == '\r')
            --contentEnd;
        Line line = classify(bytes, start, contentEnd);
        line.end = end;
        lines.push_back(std::move(line));
        start = end;
    }
    return lines;
}

bool sameName(const QByteArray& stored, const QString& wanted) {
    return QString::fromUtf8(stored).compare(wanted.trimmed(), Qt::CaseInsensitive) == 0;
}

// Where a section's lines are: the header's index and one past its last line.
struct SectionRange {
    qsizetype header = -1;
    qsizetype end = -1;
};

SectionRange findSection(const std::vector<Line>& lines, const QString& section) {
    const qsizetype count = qsizetype(lines.size());
    for (qsizetype i = 0; i < count; ++i) {
        if (lines[i].kind != Line::Kind::Section || !sameName(lines[i].name, section))
            continue;
        qsizetype end = i + 1;
        while (end < count && lines[end].kind != Line::Kind::Section)
            ++end;
        return {i, end};
    }
    return {};
}

qsizetype findKey(const std::vector<Line>& lines, SectionRange range, const QString& key) {
    for (qsizetype i = range.header + 1; i < range.end; ++i)
        if (lines[i].kind == Line::Kind::Entry && sameName(lines[i].name, key))
            return i;
    return -1;
}

// Settings are a few lines. Only a regular file is opened (a FIFO would block, a device never
// end), and only its first megabyte is read, so no file of that name can stop the program.
constexpr qint64 largestFile = 1 << 20;

QByteArray readAll(const QString& path, bool* exists) {
    const QFileInfo info(path);
    *exists = info.exists();
    if (!info.isFile())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(largestFile);
}

[[noreturn]] void throwWriteFailure(const QString& path) {
    const QFileInfo info(path);
    const QFileInfo folder(info.absolutePath());
    const bool refused = info.exists() ? info.isFile() && !info.isWritable()
                                       : folder.isDir() && !folder.isWritable();
    throw Error::withNumber(refused ? Error::PermissionDenied : Error::PathFileAccess);
}

// The file's own line end for the lines a write adds. A file that has none yet gets LF:
// on this platform every tool reads LF, and the file's other users match names and values
// after trimming, so no reader depends on a carriage return.
QByteArray lineEndOf(const QByteArray& bytes) {
    const qsizetype newline = bytes.indexOf('\n');
    if (newline > 0 && bytes[newline - 1] == '\r')
        return "\r\n";
    return "\n";
}

bool isStorable(const QString& text) {
    return !text.contains(u'\n') && !text.contains(u'\r');
}

} // namespace

QString read(const QString& path, const QString& section, const QString& key) {
    bool exists = false;
    const QByteArray bytes = readAll(path, &exists);
    const std::vector<Line> lines = splitLines(bytes);
    const SectionRange range = findSection(lines, section);
    if (range.header < 0)
        return {};
    const qsizetype at = findKey(lines, range, key);
    if (at < 0)
        return {};
    const Line& line = lines[at];
    QByteArray value = trimmedBlanks(
        QByteArrayView(bytes).sliced(line.valueStart, line.contentEnd - line.valueStart));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.sliced(1, value.size() - 2);
    return QString::fromUtf8(value);
}

void write(const QString& path, const QString& section, const QString& key, const QString& value) {
    const QString sectionName = section.trimmed();
    const QString keyName = key.trimmed();
    if (sectionName.contains(u']') || !isStorable(sectionName) || keyName.isEmpty() ||
        keyName.contains(u'=') || keyName.startsWith(u'[') || keyName.startsWith(u';') ||
        !isStorable(keyName) || !isStorable(value))
        throw Error::withNumber(Error::InvalidProcedureCall);

    bool exists = false;
    QByteArray bytes = readAll(path, &exists);
    const QFileInfo info(path);
    // Present but not a file, unreadable or larger than what was read: writing would lose it.
    if (exists && (!info.isFile() || info.size() > bytes.size()))
        throw Error::withNumber(Error::PathFileAccess);

    const std::vector<Line> lines = splitLines(bytes);
    const QByteArray eol = lineEndOf(bytes);
    const QByteArray entry = keyName.toUtf8() + '=' + value.toUtf8();
    const SectionRange range = findSection(lines, sectionName);
    if (range.header < 0) {
        if (!bytes.isEmpty() && !bytes.endsWith('\n'))
            bytes += eol;
        bytes += '[' + sectionName.toUtf8() + ']' + eol + entry + eol;
    } else if (const qsizetype at = findKey(lines, range, keyName); at >= 0) {
        const Line& line = lines[at];
        bytes.replace(line.valueStart, line.contentEnd - line.valueStart, value.toUtf8());
    } else {
        // After the section's last non-blank line, so that blank lines keep separating it
        // from the next section.
        qsizetype last = range.end - 1;
        while (last > range.header && lines[last].kind == Line::Kind::Blank)
            --last;
        const Line& line = lines[last];
        if (line.end > line.contentEnd)
            bytes.insert(line.end, entry + eol);
        else
            bytes.insert(line.end, eol + entry);
    }

    QSaveFile file(path);
    // A writable file in a folder that is not keeps being written, in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throwWriteFailure(path);
}

QString readSetting(const QString& path, const QString& section, const QString& key) {
    // The profile call fills a buffer of 255 characters, one of them its terminating zero.
    constexpr qsizetype capacity = 254;
    QString value = read(path, section, key);
    if (value.size() > capacity) {
        value.truncate(capacity);
        if (value.back().isHighSurrogate())
            value.chop(1);
    }
    return value;
}

bool writeSetting(const QString& path, const QString& section, const QString& key,
                  const QString& value) {
    try {
        write(path, section, key, value);
        return true;
    } catch (const Error&) {
        return false;
    }
}

} // namespace ProfileFile
