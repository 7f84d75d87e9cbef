#include "dialogs/Inches.h"

#include "text/Error.h"

#include <gtest/gtest.h>

#include <optional>

// Hundredths halve to the even one (12.5 to 12, 37.5 to 38), in single precision: 828 twips are
// 57.4999... hundredths in double precision but 57.5 in single, which rounds to 58.
TEST(Inches, TextIsHundredthsInThePlainNumberForm) {
    const std::pair<int, const char*> cases[] = {
        {720, ".5"},    {1440, "1"},   {1800, "1.25"},   {0, "0"},
        {180, ".12"},   {540, ".38"},  {-720, "-.5"},    {828, ".58"},
        {1692, "1.17"}, {2160, "1.5"}, {32760, "22.75"}, {471844, "327.67"},
    };
    for (const auto& [twips, text] : cases)
        EXPECT_EQ(Inches::text(twips), QString::fromLatin1(text)) << twips;
    EXPECT_THROW(Inches::text(480000), Error);
}

TEST(Inches, FieldsReadTheLeadingNumberAsPositiveTwips) {
    const std::pair<const char*, std::optional<int>> cases[] = {
        {".5 Inch", 720},
        {"2", 2880},
        {"abc", 0},
        {"", 0},
        {"-1", 1440},
        {".12 Inch", 173},
        {"-.5 Inch", 720},
        {" 1.25", 1800},
        {"22.75", 32760},
        {"-22.75", 32760},
        {"22.7552", 32767},
        {"22.76", std::nullopt},
        {"-22.76", std::nullopt},
        {"-22.7556", std::nullopt},
        {"1e400", std::nullopt},
    };
    for (const auto& [field, twips] : cases) {
        try {
            EXPECT_EQ(std::optional<int>(Inches::fieldTwips(QString::fromLatin1(field))), twips)
                << field;
        } catch (const Error& error) {
            EXPECT_EQ(twips, std::nullopt) << field;
            EXPECT_EQ(error.number, Error::Overflow) << field;
        }
    }
}
