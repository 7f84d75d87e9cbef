#include "InputList.h"

#include "text/NativePath.h"

#include <cerrno>
#include <climits>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr qsizetype chunk = 64 * 1024;
// A line longer than the longest path the system takes names no file: it is not held.
constexpr qsizetype longestName = PATH_MAX;

bool isDash(const QString& input) {
    return input == QLatin1String("-");
}

// The names a list in the file `fd` holds after where it is being read, counted as next() takes
// them (a line of "\r" alone is empty); -1 when `fd` is no file (a pipe, a terminal).
qint64 namesListed(int fd) {
    struct stat info {};
    const off_t from = ::lseek(fd, 0, SEEK_CUR);
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || from < 0)
        return -1;
    qint64 names = 0, length = 0;
    char last = 0;
    QByteArray buffer(chunk, Qt::Uninitialized);
    for (off_t at = from;;) {
        const ssize_t n = ::pread(fd, buffer.data(), size_t(chunk), at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        for (ssize_t i = 0; i < n; ++i) {
            const char c = buffer.at(qsizetype(i));
            if (c == '\n') {
                names += length - (last == '\r' ? 1 : 0) > 0;
                length = 0;
                last = 0;
            } else {
                ++length;
                last = c;
            }
        }
        if (n == 0)
            return names + (length - (last == '\r' ? 1 : 0) > 0);
        at += n;
    }
}

} // namespace

InputList::InputList(const QStringList& inputs) : given_(inputs) {
    const qsizetype dash = given_.indexOf(QStringLiteral("-"));
    const qint64 listed = dash < 0 ? 0 : namesListed(STDIN_FILENO);
    if (listed >= 0)
        total_ = listed + namesAfter(0);
}

// The command line's own names from INPUT `argument` (from 0) on.
qint64 InputList::namesAfter(qint64 argument) const {
    qint64 names = 0;
    for (qsizetype i = qsizetype(argument); i < given_.size(); ++i)
        names += !isDash(given_[i]);
    return names;
}

InputList::Status InputList::next(Input& input) {
    for (;;) {
        if (listing_) {
            const Status status = nextListed(input);
            if (status != Status::End)
                return status;
            listing_ = false;
            if (total_ < 0)
                total_ = listedNames_ + namesAfter(at_);
        }
        if (at_ == given_.size())
            return Status::End;
        const qsizetype argument = at_++;
        // One list: standard input ends with it, and a second "-" lists nothing more.
        if (isDash(given_[argument])) {
            listing_ = !listRead_;
            continue;
        }
        input = {given_[argument], false, argument + 1, {}};
        return Status::Given;
    }
}

InputList::Status InputList::nextListed(Input& input) {
    for (;;) {
        const qsizetype newline = buffer_.indexOf('\n', start_);
        if (newline < 0 && !listRead_) {
            // Only the unfinished line is kept, and only while it can still be a name.
            buffer_.remove(0, start_);
            start_ = 0;
            if (buffer_.size() > longestName) {
                overlong_ = true;
                buffer_.clear();
            }
            if (!readMore())
                return Status::Later;
            continue;
        }
        if (newline < 0 && start_ == buffer_.size() && !overlong_)
            return Status::End;
        const qsizetype end = newline < 0 ? buffer_.size() : newline;
        QByteArrayView line(buffer_.constData() + start_, end - start_);
        start_ = newline < 0 ? buffer_.size() : newline + 1;
        ++line_;
        if (std::exchange(overlong_, false)) {
            ++listedNames_;
            input = {{},
                     true,
                     line_,
                     QStringLiteral("line %1 of the list is longer than a file's name can be")
                         .arg(line_)};
            return Status::Given;
        }
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty())
            continue;
        if (line.size() > longestName) {
            overlong_ = true;
            --line_;
            start_ = end; // counted and given by the branch above, once more round
            continue;
        }
        ++listedNames_;
        input = {NativePath::decode(line), true, line_, {}};
        return Status::Given;
    }
}

// What standard input holds now, into the buffer; false when it holds nothing yet. At the list's
// end (or a failure to read it), listRead_.
bool InputList::readMore() {
    pollfd watched{STDIN_FILENO, POLLIN, 0};
    for (;;) {
        const int ready = ::poll(&watched, 1, 0);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready == 0)
            return false;
        const qsizetype had = buffer_.size();
        buffer_.resize(had + chunk);
        const ssize_t n =
            ready < 0 ? -1 : ::read(STDIN_FILENO, buffer_.data() + had, size_t(chunk));
        buffer_.resize(had + qMax<ssize_t>(n, 0));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN)
            return false;
        if (n <= 0)
            listRead_ = true;
        return true;
    }
}
