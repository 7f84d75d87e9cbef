#include "dialogs/Inches.h"

#include "text/Error.h"
#include "text/Runtime.h"

#include <limits>

namespace Inches {

namespace {
constexpr int twipsPerInch = 1440;
} // namespace

QString text(int twips) {
    const float inches = float(twips) / float(twipsPerInch);
    const int16_t hundredths = Runtime::CInt(double(inches * 100.0f));
    return Runtime::CStr(float(hundredths) / 100.0f);
}

int16_t fieldTwips(const QString& field) {
    const int16_t twips = Runtime::CInt(Runtime::Val(field) * twipsPerInch);
    // -32768 has no positive counterpart in 16 bits.
    if (twips == std::numeric_limits<int16_t>::min())
        throw Error::overflow();
    return int16_t(twips < 0 ? -twips : twips);
}

} // namespace Inches
