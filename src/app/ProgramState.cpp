#include "app/Module1.h"

namespace Module1 {
int16_t ReadingFile = False;
QString CommandFile;
} // namespace Module1
