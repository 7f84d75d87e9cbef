#include "app/Startup.h"

namespace Module1 {
QString CommandFile;
} // namespace Module1
