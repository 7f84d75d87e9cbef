#include "Batch.h"

#include "Progress.h"
#include "Workers.h"
#include "text/NativePath.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QThread>

#include <cstdio>
#include <unistd.h>

namespace {

QByteArray line(const QString& message) {
    return "quillet-convert: " + NativePath::encode(message);
}

// The paths listed on standard input, one a line.
QStringList listedPaths() {
    QStringList paths;
    QByteArray path;
    for (int c; (c = std::getchar()) != EOF;) {
        if (c != '\n') {
            path += char(c);
            continue;
        }
        if (!path.isEmpty())
            paths << NativePath::decode(path);
        path.clear();
    }
    if (!path.isEmpty())
        paths << NativePath::decode(path);
    return paths;
}

// Where two names reach the same file, the one the system resolves them to.
QString sameFileKey(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

} // namespace

int Batch::run(const BatchOptions& options, const QByteArray& program) {
    QStringList inputs;
    for (const QString& input : options.inputs)
        if (input == QLatin1String("-"))
            inputs += listedPaths();
        else
            inputs << input;

    if (!options.outDir.isEmpty() && !QDir().mkpath(options.outDir)) {
        std::fprintf(
            stderr, "%s\n",
            line(QStringLiteral("cannot make the folder %1").arg(options.outDir)).constData());
        return 1;
    }

    const bool terminal = ::isatty(STDERR_FILENO) == 1;
    Progress progress(int(inputs.size()), terminal && !options.quiet);
    const auto finished = [&](const QString& problem) {
        if (!problem.isEmpty())
            progress.print(line(problem));
        progress.advance(!problem.isEmpty());
    };

    // Outputs that would replace an input, or another input's output, fail before any work.
    std::vector<Workers::Job> jobs;
    QHash<QString, QString> inputOfOutput;
    for (const QString& input : inputs)
        inputOfOutput.insert(sameFileKey(input), input);
    for (const QString& input : inputs) {
        const QString output = options.outputFor(input);
        const QString key = sameFileKey(output);
        const auto taken = inputOfOutput.constFind(key);
        if (taken == inputOfOutput.constEnd()) {
            inputOfOutput.insert(key, input);
            jobs.push_back({input, output});
        } else if (taken.value() == input) {
            finished(QStringLiteral("cannot convert %1: its output would replace it").arg(input));
        } else {
            finished(QStringLiteral("cannot convert %1: %2 is already %3")
                         .arg(input, output,
                              sameFileKey(taken.value()) == key
                                  ? QStringLiteral("an input")
                                  : QStringLiteral("the output of %1").arg(taken.value())));
        }
    }

    const int cores = qMax(1, QThread::idealThreadCount());
    Workers::run(program, options.jobs > 0 ? options.jobs : cores, jobs,
                 [&](int, const QString& problem) { finished(problem); });

    progress.finish();
    if (!options.quiet)
        std::fprintf(stderr, "%s\n",
                     line(QStringLiteral("%1 converted, %2 failed")
                              .arg(progress.done() - progress.failed())
                              .arg(progress.failed()))
                         .constData());
    return progress.failed() > 0 ? 1 : 0;
}
