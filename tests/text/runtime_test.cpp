#include "text/Error.h"
#include "text/Runtime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <tuple>

namespace {

const double nan = std::numeric_limits<double>::quiet_NaN();
const std::nullopt_t overflow = std::nullopt;

// The action's result, or nullopt when it raised the error `expected`.
template <typename Action>
std::optional<double> unlessRaised(Action action, int expected = Error::Overflow) {
    try {
        return double(action());
    } catch (const Error& error) {
        EXPECT_EQ(error.number, expected);
        return std::nullopt;
    }
}

// Blanks anywhere, signs, points, where reading stops; exponents with E or D, one cut short
// not read; hex and octal, 16 bits when they fit and 32 otherwise.
TEST(RuntimeVal, ReadsTheLeadingNumber) {
    const std::pair<const char*, double> cases[] = {
        {"abc", 0},         {"-60", -60},      {"+5", 5},          {"- 5", -5},
        {"  12  34", 1234}, {"\t\n42", 42},    {"1200\r\n", 1200}, {".5", 0.5},
        {"5.", 5},          {"1.25xyz", 1.25}, {"1,000", 1},       {"1.2.3", 1.2},
        {"--1", 0},         {".", 0},          {"E5", 0},          {"1E3", 1000},
        {"1d2", 100},       {"1 E - 2", 0.01}, {"2E+", 2},         {"1e-400", 0},
        {"&H1F", 31},       {"&hffff", -1},    {"&H10000", 65536}, {"&HFFFFFFFF", -1},
        {"&HFG", 15},       {"&O17", 15},      {"&O8", 0},         {"&Z1", 0},
        {"-&H10", 0},       {"", 0},
    };
    for (const auto& [text, value] : cases)
        EXPECT_DOUBLE_EQ(Runtime::Val(QString::fromLatin1(text)), value) << text;
    for (const char* text : {"1e400", "-1E309", "&H100000000"})
        EXPECT_EQ(unlessRaised([&] { return Runtime::Val(QString::fromLatin1(text)); }), overflow)
            << text;
}

TEST(RuntimeRounding, HalvesGoToEvenAndValuesOutOfRangeOverflow) {
    // Each row: the value, then what CInt (16 bits) and CLng (32 bits) make of it.
    const std::tuple<double, std::optional<double>, std::optional<double>> cases[] = {
        {2.5, 2, 2},
        {3.5, 4, 4},
        {-2.5, -2, -2},
        {2.5001, 3, 3},
        {32767.4, 32767, 32767},
        {32767.5, overflow, 32768},
        {-32768.5, -32768, -32768},
        {-32768.6, overflow, -32769},
        {2147483646.5, overflow, 2147483646},
        {-2147483648.5, overflow, -2147483648.0},
        {2147483647.5, overflow, overflow},
        {nan, overflow, overflow},
    };
    for (const auto& [value, asInteger, asLong] : cases) {
        EXPECT_EQ(unlessRaised([&] { return Runtime::CInt(value); }), asInteger) << value;
        EXPECT_EQ(unlessRaised([&] { return Runtime::CLng(value); }), asLong) << value;
    }
}

// CStr gives the plain form; Str the same with a blank where a plus sign would stand.
template <typename Number> void expectForms(Number value, const char* plain) {
    EXPECT_EQ(Runtime::CStr(value), QLatin1String(plain)) << plain;
    EXPECT_EQ(Runtime::Str(value), QString(value < 0 ? "" : " ") + QLatin1String(plain)) << plain;
}

TEST(RuntimeCStr, FifteenDigitsForDoublesAndSevenForSingles) {
    const std::pair<double, const char*> doubles[] = {
        {0, "0"},           {-0.0, "0"},
        {0.5, ".5"},        {-0.5, "-.5"},
        {1.25, "1.25"},     {100, "100"},
        {0.1 + 0.2, ".3"},  {2 / 3.0, ".666666666666667"},
        {1e15, "1E+15"},    {-1.5e16, "-1.5E+16"},
        {1e100, "1E+100"},  {0.0001, ".0001"},
        {0.00001, "1E-05"}, {123456789012345, "123456789012345"}};
    for (const auto& [value, plain] : doubles)
        expectForms(value, plain);
    const std::pair<float, const char*> singles[] = {{0.1f, ".1"},
                                                     {1234567.f, "1234567"},
                                                     {1e7f, "1E+07"},
                                                     {1 / 3.f, ".3333333"},
                                                     {-0.25f, "-.25"}};
    for (const auto& [value, plain] : singles)
        expectForms(value, plain);
}

TEST(RuntimeInStr, FindsIgnoringCase) {
    const struct {
        int start;
        const char* text;
        const char* find;
        int expected;
    } cases[] = {
        {1, "Hello", "l", 3},  {4, "Hello", "l", 4}, {5, "Hello", "l", 0}, {1, "Hello", "LLO", 3},
        {1, "abc", "abcd", 0}, {9, "Hello", "o", 0}, {3, "Hello", "", 3},  {6, "Hello", "", 6},
        {7, "Hello", "", 0},   {1, "", "", 1},       {1, "", "a", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Runtime::InStr(c.start, QString::fromLatin1(c.text), QString::fromLatin1(c.find)),
                  c.expected)
            << c.start << " " << c.text << " " << c.find;
    EXPECT_EQ(Runtime::InStr(1, QStringLiteral("GROSSE ÄPFEL Öl"), QStringLiteral("äpfel ö")), 8);
    EXPECT_EQ(Runtime::InStr(1, QStringLiteral("ΣΊΣΥΦΟΣ"), QStringLiteral("σύφ")), 0);
    EXPECT_EQ(Runtime::InStr(1, QStringLiteral("ΣΊΣΥΦΟΣ"), QStringLiteral("συφ")), 3);
    // A start below 1 is an invalid procedure call.
    EXPECT_EQ(unlessRaised([] { return Runtime::InStr(0, "a", "a"); }, 5), std::nullopt);
}

const QLocale english{QLocale::English, QLocale::UnitedStates};
const QDateTime evening{QDate(2026, 12, 6), QTime(21, 5, 3)};

TEST(RuntimeFormat, Pictures) {
    const std::pair<const char*, const char*> cases[] = {
        {"d-mmm", "6-Dec"},
        {"hh:mm AM/PM", "09:05 PM"},
        {"h:mm:ss a/p", "9:05:03 p"},
        {"ddd d", "Sun 6"},
        {"DD/MM/YYYY", "06/12/2026"},
        {"hh:nn", "21:05"},
        {"mm:ss", "12:03"},
        {"h \\h m \\m", "21 h 5 m"},
        {"\"mm dd\" mm", "mm dd 12"},
        {"Am/Pm h", "Pm 9"},
        {"y q w ww", "340 4 1 50"},
        {"h.n,s!", "21.5,3!"},
        {"Long Date", "Sunday, December 6, 2026"},
    };
    for (const auto& [picture, text] : cases)
        EXPECT_EQ(Runtime::Format(evening, picture, english), text) << picture;

    // The twelve-hour clock around midnight and noon.
    const QDate day = evening.date();
    EXPECT_EQ(Runtime::Format({day, QTime(0, 30)}, "h:nn AM/PM", english), "12:30 AM");
    EXPECT_EQ(Runtime::Format({day, QTime(12, 0)}, "h:nn AM/PM", english), "12:00 PM");
    EXPECT_EQ(Runtime::Format({day, QTime(0, 30)}, "h:nn", english), "0:30");

    // Separators and names come from the locale.
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(Runtime::Format(evening, "d/m/yyyy", german), "6.12.2026");
    EXPECT_EQ(Runtime::Format(evening, "mmmm h:mm dddd", german), "Dezember 21:05 Sonntag");
}
} // namespace
