#include "text/Runtime.h"

#include "text/Error.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace Runtime {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n';
}

// Walks the leading part of a text the way the leading-number rule reads it: blanks are
// invisible wherever they stand.
class LeadingText {
public:
    explicit LeadingText(const QString& text) : m_at(text.cbegin()), m_end(text.cend()) {}

    QChar peek() {
        while (m_at != m_end && isBlank(*m_at))
            ++m_at;
        return m_at == m_end ? QChar() : *m_at;
    }
    void next() { ++m_at; }
    bool takeDigit(std::string& into) {
        const QChar c = peek();
        if (c < u'0' || c > u'9')
            return false;
        into += char(c.unicode());
        next();
        return true;
    }
    // Peeking ahead for an exponent may find none; the reader then returns here.
    QString::const_iterator position() const { return m_at; }
    void rewind(QString::const_iterator to) { m_at = to; }

private:
    QString::const_iterator m_at;
    QString::const_iterator m_end;
};

int digitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return 99;
}

// "&H" and "&O" numbers are whole numbers of 16 bits when they fit there and of 32 bits
// otherwise, so &HFFFF is -1 and &H10000 is 65536.
double radixNumber(LeadingText& in, int radix) {
    uint64_t value = 0;
    for (int d = digitValue(in.peek()); d < radix; d = digitValue(in.peek())) {
        value = value * radix + d;
        if (value > 0xFFFFFFFFu)
            throw Error::overflow();
        in.next();
    }
    if (value <= 0xFFFF)
        return int16_t(uint16_t(value));
    return int32_t(uint32_t(value));
}

// from_chars reports a number beyond the range of double without saying on which side; the
// position of its first significant digit tells too large (Overflow) from too small (zero).
bool tooLarge(const std::string& mantissa, int exponent) {
    const auto first = mantissa.find_first_of("123456789");
    if (first == std::string::npos)
        return false;
    auto point = mantissa.find('.');
    if (point == std::string::npos)
        point = mantissa.size();
    const long long magnitude =
        first < point ? (long long)(point - first) : -(long long)(first - point - 1);
    return magnitude + exponent > 0;
}

} // namespace

double CDbl(const QString& text) {
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        throw Error::withNumber(Error::TypeMismatch);
    return value;
}

double Val(const QString& text) {
    LeadingText in(text);
    if (in.peek() == u'&') {
        in.next();
        const QChar kind = in.peek().toUpper();
        if (kind != u'H' && kind != u'O')
            return 0;
        in.next();
        return radixNumber(in, kind == u'H' ? 16 : 8);
    }

    std::string mantissa;
    if (in.peek() == u'-' || in.peek() == u'+') {
        if (in.peek() == u'-')
            mantissa += '-';
        in.next();
    }
    bool anyDigit = false;
    while (in.takeDigit(mantissa))
        anyDigit = true;
    if (in.peek() == u'.') {
        mantissa += '.';
        in.next();
        while (in.takeDigit(mantissa))
            anyDigit = true;
    }
    if (!anyDigit)
        return 0;

    std::string exponentDigits;
    bool negativeExponent = false;
    const QChar e = in.peek().toUpper();
    if (e == u'E' || e == u'D') {
        const auto beforeExponent = in.position();
        in.next();
        if (in.peek() == u'-' || in.peek() == u'+') {
            negativeExponent = in.peek() == u'-';
            in.next();
        }
        while (in.takeDigit(exponentDigits))
            ;
        if (exponentDigits.empty())
            in.rewind(beforeExponent);
    }

    std::string number = mantissa;
    if (!exponentDigits.empty())
        number += (negativeExponent ? "e-" : "e") + exponentDigits;
    double value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // An exponent too long for an int is far outside the range either way.
        const int exponent = exponentDigits.size() > 6
                                 ? (negativeExponent ? -999999 : 999999)
                                 : (negativeExponent ? -1 : 1) *
                                       (exponentDigits.empty() ? 0 : std::stoi(exponentDigits));
        if (tooLarge(mantissa, exponent))
            throw Error::overflow();
        return 0;
    }
    return value;
}

namespace {

double roundHalfToEven(double value) {
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0))
        return below + 1;
    return below;
}

template <typename Integer> Integer checkedRound(double value) {
    if (std::isnan(value))
        throw Error::overflow();
    const double rounded = roundHalfToEven(value);
    if (rounded < double(std::numeric_limits<Integer>::min()) ||
        rounded > double(std::numeric_limits<Integer>::max()))
        throw Error::overflow();
    return Integer(rounded);
}

QString plainForm(double value, int significantDigits) {
    if (value == 0)
        return QStringLiteral("0");
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");

    // Scientific form gives the rounded significant digits and the decimal exponent in one go,
    // without depending on the C locale's decimal point.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::scientific, significantDigits - 1);
    const std::string_view scientific(buffer, result.ptr - buffer);
    const auto ePos = scientific.find('e');
    std::string digits;
    for (char c : scientific.substr(0, ePos))
        if (c >= '0' && c <= '9')
            digits += c;
    int exponent = 0;
    const std::string_view exponentText = scientific.substr(ePos + 1);
    std::from_chars(exponentText.data() + (exponentText[0] == '+' ? 1 : 0),
                    exponentText.data() + exponentText.size(), exponent);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string text = value < 0 ? "-" : "";
    if (exponent >= significantDigits || exponent < -4) {
        text += digits[0];
        if (digits.size() > 1)
            text += '.' + digits.substr(1);
        text += exponent < 0 ? "E-" : "E+";
        const std::string magnitude = std::to_string(std::abs(exponent));
        text += (magnitude.size() < 2 ? "0" : "") + magnitude;
    } else if (exponent < 0) {
        text += '.' + std::string(-exponent - 1, '0') + digits;
    } else {
        const size_t whole = size_t(exponent) + 1;
        if (digits.size() <= whole) {
            text += digits + std::string(whole - digits.size(), '0');
        } else {
            text += digits.substr(0, whole) + '.' + digits.substr(whole);
        }
    }
    return QString::fromLatin1(text);
}

QString withSignPlace(const QString& plain) {
    return plain.startsWith(u'-') ? plain : u' ' + plain;
}

} // namespace

int16_t CInt(double value) {
    return checkedRound<int16_t>(value);
}
int32_t CLng(double value) {
    return checkedRound<int32_t>(value);
}

QString CStr(double value) {
    return plainForm(value, 15);
}
QString CStr(float value) {
    return plainForm(double(value), 7);
}
QString Str(double value) {
    return withSignPlace(CStr(value));
}
QString Str(float value) {
    return withSignPlace(CStr(value));
}

int InStr(int start, const QString& text, const QString& find) {
    if (start < 1)
        throw Error::withNumber(Error::InvalidProcedureCall);
    if (find.isEmpty())
        return start <= text.size() + 1 ? start : 0;
    if (start > text.size())
        return 0;
    const qsizetype at = text.indexOf(find, start - 1, Qt::CaseInsensitive);
    return at < 0 ? 0 : int(at + 1);
}

} // namespace Runtime
