#include "app/Module1.h"

namespace Module1 {
void Main() {}
} // namespace Module1
