#pragma once
#include <QElapsedTimer>
#include <QString>

// A batch's progress on standard error: a bar with the files done, the failures and the time
// left, redrawn in place. Drawn only on a terminal; messages printed through it appear above it.
// While the number of files is not known (a list still coming down a pipe), the counts alone.
class Progress {
public:
    Progress(qint64 total, bool shown);
    // The number of files, once known (-1 while not).
    void setTotal(qint64 total) { total_ = total; }
    void advance(bool failed);
    // Prints a line of its own, the bar following it.
    void print(const QByteArray& line);
    // Clears the bar for good.
    void finish();

    qint64 done() const { return done_; }
    qint64 failed() const { return failed_; }

    // The bar's text for `done` of `total` files (-1: not known) with `failed` failures,
    // `elapsedMs` in.
    static QByteArray bar(qint64 done, qint64 failed, qint64 total, qint64 elapsedMs);

private:
    void draw(bool always);
    void clear();
    qint64 total_;
    bool shown_;
    qint64 done_ = 0;
    qint64 failed_ = 0;
    bool drawn_ = false;
    qint64 drawnAt_ = -1;
    QElapsedTimer clock_;
};
