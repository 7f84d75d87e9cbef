#pragma once

#include <QString>
#include <cstdint>

// Lengths as the paragraph and tab dialogs show and read them: inches rounded to hundredths in
// the plain number form, typed back as text whose leading number counts.
namespace Inches {

// `twips` in inches rounded to hundredths, halves to the even hundredth, in the plain number
// form: 720 gives ".5", 180 ".12", -720 "-.5". Worked in single precision, so that a value
// shows the same digits every time. Throws Error (Overflow) beyond 327.67 inches.
QString text(int twips);

// The leading number of `field` (".5 Inch" reads .5, "abc" 0) as whole twips, halves to the
// even one, with the sign dropped: "-1" gives 1440. Throws Error (Overflow) from 22.76 inches on,
// where twips no longer fit 16 bits.
int16_t fieldTwips(const QString& field);

} // namespace Inches
