#include "text/Error.h"

#include <gtest/gtest.h>

TEST(Error, KnownNumbersCarryTheirDescriptions) {
    EXPECT_EQ(Error::withNumber(6).description, "Overflow");
    EXPECT_EQ(Error::withNumber(53).description, "File not found");
    EXPECT_EQ(Error::withNumber(75).description, "Path/File access error");
    EXPECT_EQ(Error::withNumber(32755).number, Error::Cancel);
}
