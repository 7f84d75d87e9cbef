#include "system/FontFamilies.h"

#include <gtest/gtest.h>

TEST(FontFamilies, EachFamilyOnceByItsPlainName) {
    const QStringList listed{"C059 [UKWN]",        "C059 [urw]",        "DejaVu Sans",
                             "Nimbus Sans [URW ]", "Nimbus Sans [urw]", "Arial",
                             "Odd [name] here",    "[bracketed]"};
    EXPECT_EQ(FontFamilies::plainNames(listed),
              QStringList({"C059", "DejaVu Sans", "Nimbus Sans", "Arial", "Odd [name] here",
                           "[bracketed]"}));
}
