#include "Batch.h"

#include "BatchJobs.h"
#include "InputList.h"
#include "Interruption.h"
#include "MessageLine.h"
#include "Progress.h"
#include "Workers.h"

#include <QThread>

#include <cstdio>
#include <unistd.h>

namespace {

void printLine(const QString& message) {
    std::fprintf(stderr, "%s\n", messageLine(message).constData());
}

QString counts(const Progress& progress) {
    return QStringLiteral("%1 converted, %2 failed")
        .arg(progress.done() - progress.failed())
        .arg(progress.failed());
}

} // namespace

int Batch::run(const BatchOptions& options, const QByteArray& program) {
    Interruption::catchSignals();
    if (!options.outDir.isEmpty()) {
        const QString reason = BatchJobs::makeFolder(options.outDir);
        if (!reason.isEmpty()) {
            printLine(QStringLiteral("cannot make the folder %1: %2").arg(options.outDir, reason));
            return 1;
        }
    }

    InputList inputs(options.inputs);
    BatchJobs jobs(options, inputs);
    const bool terminal = ::isatty(STDERR_FILENO) == 1;
    Progress progress(inputs.total(), terminal && !options.quiet);
    const auto finished = [&](const QString& problem) {
        progress.setTotal(inputs.total());
        if (!problem.isEmpty())
            progress.print(messageLine(problem));
        progress.advance(!problem.isEmpty());
    };
    // Inputs refused are reported as they come; the others go to the workers.
    const auto next = [&](Workers::Job& job) {
        InputList::Input input;
        for (;;) {
            switch (inputs.next(input)) {
            case InputList::Status::End:
                return Workers::Supply::End;
            case InputList::Status::Later:
                return Workers::Supply::Later;
            case InputList::Status::Given:
                break;
            }
            QString problem;
            if (std::optional<Workers::Job> admitted = jobs.admit(input, &problem)) {
                job = std::move(*admitted);
                return Workers::Supply::Job;
            }
            finished(problem);
        }
    };
    const int cores = qMax(1, QThread::idealThreadCount());
    Workers::run(program, options.jobs > 0 ? options.jobs : cores, next, STDIN_FILENO,
                 [&](const Workers::Job&, const QString& problem) { finished(problem); });

    progress.finish();
    if (Interruption::signal()) {
        printLine(QStringLiteral("interrupted: %1").arg(counts(progress)));
        Interruption::endBySignal();
    }
    if (!options.quiet)
        printLine(counts(progress));
    return progress.failed() > 0 ? 1 : 0;
}
