#pragma once

struct Error;

namespace Common {
// The standard report of a failed operation; a cancelled dialog (32755) and error 0 show nothing.
void ReportError(const Error& error);
} // namespace Common
