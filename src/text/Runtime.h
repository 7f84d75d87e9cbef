#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <cstdint>

// The conversions between numbers, dates and text that the program relies on. Their rules
// (leading-number parse, banker's rounding with Overflow, the plain number form without a
// leading zero, date pictures) are what the settings file, the dialogs and the date box show,
// and they differ from Qt's and the standard library's.
namespace Runtime {

// The number at the start of text: blanks (space, tab, line feed) are skipped anywhere in it,
// then an optional sign, digits, a decimal point with digits and an E or D exponent; "&H" and
// "&O" introduce hexadecimal and octal whole numbers. Text without a number gives 0.
// Throws Error::overflow() when the number does not fit a double.
double Val(const QString& text);

// The whole text as a number, blanks around it allowed; anything else (empty text included)
// throws Error TypeMismatch. Where Val reads what it can, this refuses what it cannot.
double CDbl(const QString& text);

// Rounds to the nearest whole number, halves to the even one, and throws Error::overflow()
// when the result does not fit (NaN never fits).
int16_t CInt(double value);
int32_t CLng(double value);

// The plain number form: "." as decimal point, no leading zero below 1 (".5", "-.5"), no
// trailing zeros, exponent form ("1E+16", "1.5E-07") outside the fixed range. Doubles keep 15
// significant digits, floats 7.
QString CStr(double value);
QString CStr(float value);
// As CStr, with a blank in place of the sign for numbers that are not negative (" 1", " .5").
QString Str(double value);
QString Str(float value);

// 1-based position of find in text at or after start, letter case ignored; 0 when absent.
// An empty find is found at start. Throws error 5 for a start below 1.
int InStr(int start, const QString& text, const QString& find);

// A date/time picture ("dddd,mmmm dd,yyyy", "hh:mm AM/PM", ...) or a named format
// ("long date", "long time", "short date", "short time", "general date") applied to when.
// Names of months and weekdays and the date and time separators come from locale.
QString Format(const QDateTime& when, const QString& picture,
               const QLocale& locale = QLocale::system());

// The date/time box's ten entries, all made from now.
QStringList dateStampEntries(const QDateTime& now, const QLocale& locale = QLocale::system());

} // namespace Runtime
