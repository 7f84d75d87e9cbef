#pragma once
#include "BatchOptions.h"

#include <QByteArray>

// quillet-convert --to FORMAT ...: converts every input, one line on standard error for each
// that fails, a last line counting them; the exit status is 1 when any failed.
namespace Batch {
int run(const BatchOptions& options, const QByteArray& program);
} // namespace Batch
