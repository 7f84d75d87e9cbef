#pragma once
#include "BatchOptions.h"
#include "CanonicalPaths.h"
#include "InputList.h"
#include "SeenFiles.h"
#include "Workers.h"

#include <optional>

// Each input of a batch made into a job, or refused with the reason: an input given twice, an
// output that would replace an input or another input's output, an output outside the output
// folder, a file beside the inputs that was there before (kept unless --overwrite), a folder
// that cannot be made. The inputs of the command line are all known before the first job; a
// name read from a list is checked against the names before it.
class BatchJobs {
public:
    BatchJobs(const BatchOptions& options, const InputList& inputs);

    // The job for `input`, or nothing with the reason in `problem`.
    std::optional<Workers::Job> admit(const InputList::Input& input, QString* problem);

    // Makes the folder `path` and those it is in; the system's reason when it cannot.
    static QString makeFolder(const QString& path);

private:
    QString refusal(const InputList::Input& input, const QString& output);
    QString nameOf(const SeenFiles::Seen& seen) const;

    const BatchOptions& options_;
    const InputList& inputs_;
    CanonicalPaths paths_;
    SeenFiles seen_;
    QString madeFolder_; // the output folder made last
};
