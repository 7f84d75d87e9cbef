#pragma once
#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

// Conversions spread over worker processes, each a copy of this program serving one file at a
// time. A process per core uses every core, one start serves many files, and a file that brings
// its worker down (a crash, the memory limit) fails alone: the next file gets a new worker.
class Workers {
public:
    struct Job {
        QString input;
        QString output;
        bool replace = true; // else a file already at the output's name is kept
    };
    enum class Supply {
        Job,   // the next job
        Later, // none yet: more may come once `waitOn` (given to run()) becomes readable
        End,   // no more jobs
    };
    // The next job, into `job`, asked for when a worker is free for it; never waits.
    using Next = std::function<Supply(Job& job)>;
    // `finished(job, problem)`: a job's outcome as it comes in, problem empty on success.
    using Finished = std::function<void(const Job& job, const QString& problem)>;

    // Runs the jobs `next` gives on at most `count` workers started as `program --worker`,
    // waiting for the workers' answers and for `waitOn` (a descriptor, -1 for none) at once.
    // Once a signal came (Interruption), the workers still converting are ended, which leaves
    // none of their outputs behind, and their jobs are not reported.
    static void run(const QByteArray& program, int count, const Next& next, int waitOn,
                    const Finished& finished);

    // A worker's side: serves jobs from standard input until it closes; returns the exit status.
    static int serve();
};
