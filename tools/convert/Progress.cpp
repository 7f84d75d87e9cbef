#include "Progress.h"

#include <cstdio>

namespace {

constexpr int barWidth = 30;
// Redrawing more often than this only costs the terminal.
constexpr qint64 redrawMs = 100;

QByteArray minutesAndSeconds(qint64 ms) {
    const qint64 seconds = (ms + 999) / 1000;
    return QByteArray::number(seconds / 60) + ':' +
           QByteArray::number(seconds % 60).rightJustified(2, '0');
}

} // namespace

Progress::Progress(qint64 total, bool shown) : total_(total), shown_(shown) {
    clock_.start();
}

QByteArray Progress::bar(qint64 done, qint64 failed, qint64 total, qint64 elapsedMs) {
    if (total < 0)
        return QByteArray::number(done) + " done, " + QByteArray::number(failed) + " failed";
    const int filled = total > 0 ? int(qMin(done, total) * barWidth / total) : barWidth;
    QByteArray text = '[' + QByteArray(filled, '#') + QByteArray(barWidth - filled, '.') + "] " +
                      QByteArray::number(done) + '/' + QByteArray::number(total) + " done, " +
                      QByteArray::number(failed) + " failed";
    if (done > 0 && done < total)
        text += ", " + minutesAndSeconds(elapsedMs * (total - done) / done) + " left";
    return text;
}

void Progress::advance(bool failed) {
    ++done_;
    if (failed)
        ++failed_;
    draw(done_ == total_);
}

void Progress::print(const QByteArray& line) {
    clear();
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fputc('\n', stderr);
    draw(true);
}

void Progress::finish() {
    clear();
    shown_ = false;
}

void Progress::draw(bool always) {
    if (!shown_)
        return;
    const qint64 now = clock_.elapsed();
    if (!always && drawn_ && now - drawnAt_ < redrawMs)
        return;
    const QByteArray text = bar(done_, failed_, total_, now);
    std::fprintf(stderr, "\r%s\x1b[K", text.constData());
    std::fflush(stderr);
    drawn_ = true;
    drawnAt_ = now;
}

void Progress::clear() {
    if (!drawn_)
        return;
    std::fputs("\r\x1b[K", stderr);
    std::fflush(stderr);
    drawn_ = false;
}
