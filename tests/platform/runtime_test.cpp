#include "platform/Error.h"
#include "platform/Runtime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

namespace {

const double nan = std::numeric_limits<double>::quiet_NaN();
const double inf = std::numeric_limits<double>::infinity();

int errorNumberOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& error) {
        return error.number;
    }
    return 0;
}

TEST(RuntimeVal, ReadsTheLeadingNumber) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"", 0},
        {"abc", 0},
        {"9000", 9000},
        {"-60", -60},
        {"+5", 5},
        {"- 5", -5},
        {"  12  34", 1234},
        {"\t\n42", 42},
        {"1200\r\n", 1200},
        {".5", 0.5},
        {"5.", 5},
        {"1.25xyz", 1.25},
        {"1,000", 1},
        {"1.2.3", 1.2},
        {"--1", 0},
        {".", 0},
        {"E5", 0},
        {"1E3", 1000},
        {"1d2", 100},
        {"1e-2", 0.01},
        {"1 E - 2", 0.01},
        {"2E+", 2},
        {"2Ex", 2},
        {"1e-400", 0},
        {"&H1F", 31},
        {"&hffff", -1},
        {"&H10000", 65536},
        {"&HFFFFFFFF", -1},
        {"&HFG", 15},
        {"&O17", 15},
        {"&O8", 0},
        {"&Z1", 0},
        {"-&H10", 0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(Runtime::Val(QString::fromLatin1(c.text)), c.value) << c.text;
}

TEST(RuntimeVal, NumbersBeyondTheRangeOverflow) {
    for (const char* text : {"1e400", "-1E309", "&H100000000"})
        EXPECT_EQ(errorNumberOf([&] { Runtime::Val(QString::fromLatin1(text)); }), Error::Overflow)
            << text;
}

TEST(RuntimeCInt, RoundsHalvesToEvenAndChecksTheRange) {
    const struct {
        double value;
        int expected; // 0 with overflow set means the conversion must fail
        bool overflow;
    } cases[] = {
        {2.5, 2, false},         {3.5, 4, false},         {-2.5, -2, false},
        {0.5, 0, false},         {2.4999, 2, false},      {2.5001, 3, false},
        {32766.5, 32766, false}, {32767.4, 32767, false}, {-32768.5, -32768, false},
        {32767.5, 0, true},      {-32768.6, 0, true},     {nan, 0, true},
        {inf, 0, true},
    };
    for (const auto& c : cases) {
        if (c.overflow)
            EXPECT_EQ(errorNumberOf([&] { Runtime::CInt(c.value); }), Error::Overflow) << c.value;
        else
            EXPECT_EQ(Runtime::CInt(c.value), c.expected) << c.value;
    }
}

TEST(RuntimeCLng, UsesThirtyTwoBits) {
    EXPECT_EQ(Runtime::CLng(40000.5), 40000);
    EXPECT_EQ(Runtime::CLng(2147483646.5), 2147483646);
    EXPECT_EQ(Runtime::CLng(-2147483648.5), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(errorNumberOf([] { Runtime::CLng(2147483647.5); }), Error::Overflow);
    EXPECT_EQ(errorNumberOf([] { Runtime::CLng(nan); }), Error::Overflow);
}

TEST(RuntimeCStr, PlainNumberForm) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {0.5, ".5"},
        {-0.5, "-.5"},
        {1.25, "1.25"},
        {100, "100"},
        {0.1 + 0.2, ".3"},
        {1 / 3.0, ".333333333333333"},
        {2 / 3.0, ".666666666666667"},
        {123456789012345, "123456789012345"},
        {1e15, "1E+15"},
        {-1.5e16, "-1.5E+16"},
        {1e100, "1E+100"},
        {0.0001, ".0001"},
        {0.00001, "1E-05"},
        {1.5e-7, "1.5E-07"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Runtime::CStr(c.value), QString::fromLatin1(c.text)) << c.text;
}

TEST(RuntimeCStr, SingleKeepsSevenDigits) {
    const struct {
        float value;
        const char* text;
    } cases[] = {
        {0.1f, ".1"},          {1234567.f, "1234567"}, {1e7f, "1E+07"},
        {1 / 3.f, ".3333333"}, {-1.75f, "-1.75"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Runtime::CStr(c.value), QString::fromLatin1(c.text)) << c.text;
}

TEST(RuntimeStr, LeavesABlankInPlaceOfThePlusSign) {
    EXPECT_EQ(Runtime::Str(1.0), " 1");
    EXPECT_EQ(Runtime::Str(-1.0), "-1");
    EXPECT_EQ(Runtime::Str(0.5), " .5");
    EXPECT_EQ(Runtime::Str(0.0), " 0");
    EXPECT_EQ(Runtime::Str(-0.0), " 0");
    EXPECT_EQ(Runtime::Str(12.f), " 12");
    EXPECT_EQ(Runtime::Str(-0.25f), "-.25");
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
    EXPECT_EQ(errorNumberOf([] { Runtime::InStr(0, QStringLiteral("a"), QStringLiteral("a")); }),
              5);
}

class RuntimeFormat : public ::testing::Test {
protected:
    const QLocale english{QLocale::English, QLocale::UnitedStates};
    const QDateTime evening{QDate(2026, 12, 6), QTime(21, 5, 3)};
};

TEST_F(RuntimeFormat, Pictures) {
    const struct {
        const char* picture;
        const char* text;
    } cases[] = {
        {"d-mmm", "6-Dec"},  {"hh:mm AM/PM", "09:05 PM"},  {"h:mm:ss a/p", "9:05:03 p"},
        {"ddd d", "Sun 6"},  {"DD/MM/YYYY", "06/12/2026"}, {"hh:nn", "21:05"},
        {"mm:ss", "12:03"},  {"h \\h m \\m", "21 h 5 m"},  {"\"mm dd\" mm", "mm dd 12"},
        {"Am/Pm h", "Pm 9"}, {"y q w ww", "340 4 1 50"},   {"h.n,s!", "21.5,3!"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Runtime::Format(evening, QString::fromLatin1(c.picture), english),
                  QString::fromLatin1(c.text))
            << c.picture;
}

TEST_F(RuntimeFormat, TwelveHourClockAroundMidnightAndNoon) {
    const QDate day(2026, 1, 1);
    EXPECT_EQ(Runtime::Format({day, QTime(0, 30)}, "h:nn AM/PM", english), "12:30 AM");
    EXPECT_EQ(Runtime::Format({day, QTime(12, 0)}, "h:nn AM/PM", english), "12:00 PM");
    EXPECT_EQ(Runtime::Format({day, QTime(11, 59)}, "hh:nn a/p", english), "11:59 a");
    EXPECT_EQ(Runtime::Format({day, QTime(0, 30)}, "h:nn", english), "0:30");
}

TEST_F(RuntimeFormat, SeparatorsAndNamesComeFromTheLocale) {
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(Runtime::Format(evening, "d/m/yyyy", german), "6.12.2026");
    EXPECT_EQ(Runtime::Format(evening, "mmmm h:mm", german), "Dezember 21:05");
    EXPECT_EQ(Runtime::Format(evening, "dddd", german), "Sonntag");
}

TEST_F(RuntimeFormat, DateStampEntriesUseNamedFormatsAndPictures) {
    const QStringList entries = Runtime::dateStampEntries(evening, english);
    ASSERT_EQ(entries.size(), 10);
    // Named formats ignore letter case.
    EXPECT_EQ(entries[0], Runtime::Format(evening, "Long Time", english));
    EXPECT_TRUE(entries[0].startsWith("9:05:03")) << entries[0].toStdString();
    EXPECT_TRUE(entries[0].endsWith("PM")) << entries[0].toStdString();
    EXPECT_EQ(entries[1], "Sunday, December 6, 2026");
    EXPECT_EQ(entries[1], Runtime::Format(evening, "long date", english));
    EXPECT_EQ(entries[2], "Sunday,December 06,2026");
    EXPECT_EQ(entries[4], entries[2]);
    EXPECT_EQ(entries[3], "12/6/26");
    EXPECT_EQ(entries[9], "6-December 21:05");
}

} // namespace
