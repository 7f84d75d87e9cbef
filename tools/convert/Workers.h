#pragma once
#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

// Conversions spread over worker processes, each a copy of this program serving one file at a
// time. A process per core uses every core, one start serves many files, and a file that brings
// its worker down (a crash, the memory limit) fails alone: the next file gets a new worker.
class Workers {
public:
    struct Job {
        QString input;
        QString output;
    };
    // `finished(job, problem)`: the job's outcome as it comes in, problem empty on success.
    using Finished = std::function<void(int job, const QString& problem)>;

    // Runs every job on at most `count` workers started as `program --worker`.
    static void run(const QByteArray& program, int count, const std::vector<Job>& jobs,
                    const Finished& finished);

    // A worker's side: serves jobs from standard input until it closes; returns the exit status.
    static int serve();
};
