#include "app/Startup.h"

namespace Startup {
QString CommandFile;
} // namespace Startup
