#pragma once
#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

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
    // The next job, taken when a worker is free for it; nothing when there are no more.
    using Next = std::function<std::optional<Job>()>;
    // `finished(job, problem)`: a job's outcome as it comes in, problem empty on success.
    using Finished = std::function<void(const Job& job, const QString& problem)>;

    // Runs the jobs `next` gives on at most `count` workers started as `program --worker`.
    // Once a signal came (Interruption), the workers still converting are ended, which leaves
    // none of their outputs behind, and their jobs are not reported.
    static void run(const QByteArray& program, int count, const Next& next,
                    const Finished& finished);

    // A worker's side: serves jobs from standard input until it closes; returns the exit status.
    static int serve();
};
