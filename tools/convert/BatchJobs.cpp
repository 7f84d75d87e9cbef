#include "BatchJobs.h"

#include "Conversion.h"
#include "text/NativePath.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

BatchJobs::BatchJobs(const BatchOptions& options, const InputList& inputs)
    : options_(options), inputs_(inputs) {
    // The command line's inputs are claimed before any work: no output replaces one of them,
    // whichever comes first. The first of two names for one file keeps it.
    for (qsizetype i = 0; i < inputs.given().size(); ++i)
        if (inputs.given()[i] != QLatin1String("-"))
            seen_.claim(paths_.of(inputs.given()[i]), {false, false, i + 1});
}

QString BatchJobs::nameOf(const SeenFiles::Seen& seen) const {
    if (seen.number == 0)
        return QStringLiteral("a name listed before it");
    if (seen.listed)
        return QStringLiteral("the name on line %1 of the list").arg(seen.number);
    return inputs_.given()[qsizetype(seen.number - 1)];
}

// Why `input` gets no job writing `output`, or an empty string when it gets one.
QString BatchJobs::refusal(const InputList::Input& input, const QString& output) {
    const SeenFiles::Seen self{false, input.listed, input.number};
    const auto isSelf = [&](const SeenFiles::Seen& seen) {
        return !seen.output && seen.listed == self.listed && seen.number == self.number;
    };
    const QByteArray inputPath = paths_.of(input.path);
    const std::optional<SeenFiles::Seen> before =
        input.listed ? seen_.claim(inputPath, self) : seen_.find(inputPath);
    if (before && !isSelf(*before))
        return before->output ? QStringLiteral("cannot convert %1: it is the output of %2")
                                    .arg(input.path, nameOf(*before))
                              : QStringLiteral("cannot convert %1: a duplicate of %2")
                                    .arg(input.path, nameOf(*before));

    const std::optional<SeenFiles::Seen> taken =
        seen_.claim(paths_.of(output), {true, input.listed, input.number});
    if (taken && isSelf(*taken))
        return QStringLiteral("cannot convert %1: its output would replace it").arg(input.path);
    if (taken)
        return QStringLiteral("cannot convert %1: %2 is already %3")
            .arg(input.path, output,
                 taken->output ? QStringLiteral("the output of %1").arg(nameOf(*taken))
                               : QStringLiteral("an input"));
    return {};
}

std::optional<Workers::Job> BatchJobs::admit(const InputList::Input& input, QString* problem) {
    *problem = input.problem;
    if (!problem->isEmpty())
        return std::nullopt;
    const QString output = options_.outputFor(input.path, problem);
    if (output.isEmpty())
        return std::nullopt;
    *problem = refusal(input, output);
    if (!problem->isEmpty())
        return std::nullopt;
    // Beside the inputs, a file already there was not made by this batch: an output made by it
    // is never another input's output.
    const bool replace = options_.overwrite || !options_.outDir.isEmpty();
    struct stat info {};
    if (!replace && ::lstat(NativePath::encode(output).constData(), &info) == 0) {
        *problem = Conversion::kept(input.path, output);
        return std::nullopt;
    }
    const QString folder = QFileInfo(output).path();
    if (options_.keepTree && folder != madeFolder_) {
        const QString reason = makeFolder(folder);
        if (!reason.isEmpty()) {
            *problem = QStringLiteral("cannot convert %1: cannot make the folder %2: %3")
                           .arg(input.path, folder, reason);
            return std::nullopt;
        }
        madeFolder_ = folder;
    }
    return Workers::Job{input.path, output, replace};
}

QString BatchJobs::makeFolder(const QString& path) {
    const QByteArray name = NativePath::encode(QDir::cleanPath(path));
    // Each folder from the top down, as mkdir -p makes them.
    for (qsizetype slash = name.indexOf('/', 1);; slash = name.indexOf('/', slash + 1)) {
        const QByteArray folder = slash < 0 ? name : name.left(slash);
        if (::mkdir(folder.constData(), 0777) != 0) {
            struct stat info {};
            const int failure = errno != EEXIST                          ? errno
                                : ::stat(folder.constData(), &info) != 0 ? errno
                                : !S_ISDIR(info.st_mode)                 ? ENOTDIR
                                                                         : 0;
            if (failure != 0)
                return QString::fromLocal8Bit(std::strerror(failure));
        }
        if (slash < 0)
            return {};
    }
}
