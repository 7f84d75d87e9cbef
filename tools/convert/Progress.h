#pragma once
#include <QElapsedTimer>
#include <QString>

// A batch's progress on standard error: a bar with the files done, the failures and the time
// left, redrawn in place. Drawn only on a terminal; messages printed through it appear above it.
class Progress {
public:
    Progress(int total, bool shown);
    void advance(bool failed);
    // Prints a line of its own, the bar following it.
    void print(const QByteArray& line);
    // Clears the bar for good.
    void finish();

    int done() const { return done_; }
    int failed() const { return failed_; }

    // The bar's text for `done` of `total` files with `failed` failures, `elapsedMs` in.
    static QByteArray bar(int done, int failed, int total, qint64 elapsedMs);

private:
    void draw(bool always);
    void clear();
    int total_;
    bool shown_;
    int done_ = 0;
    int failed_ = 0;
    bool drawn_ = false;
    qint64 drawnAt_ = -1;
    QElapsedTimer clock_;
};
