#include "system/FontFamilies.h"

#include <QMap>
#include <gtest/gtest.h>

TEST(FontFamilies, EachFamilyOnceByItsPlainName) {
    const QStringList listed{"C059 [UKWN]",        "C059 [urw]",        "DejaVu Sans",
                             "Nimbus Sans [URW ]", "Nimbus Sans [urw]", "Arial",
                             "Odd [name] here",    "[bracketed]"};
    EXPECT_EQ(FontFamilies::plainNames(listed),
              QStringList({"C059", "DejaVu Sans", "Nimbus Sans", "Arial", "Odd [name] here",
                           "[bracketed]"}));
}

// Documents name Arial, Times New Roman and Courier New: where the system draws them with a
// family of the same metrics the box lists them; a family merely chosen for lack of one
// (DejaVu for anything) is no stand-in, and a family the system has is not listed twice.
TEST(FontFamilies, WindowsNamesListedWhereAStandInHasTheirMetrics) {
    const QMap<QString, QString> drawn{{"Arial", "Nimbus Sans [urw]"},
                                       {"Times New Roman", "DejaVu Serif"},
                                       {"Courier New", "Liberation Mono"}};
    const auto drawnAs = [&](const QString& name) { return drawn.value(name); };
    EXPECT_EQ(FontFamilies::withMetricAliases({"DejaVu Serif", "Nimbus Sans"}, drawnAs),
              QStringList({"DejaVu Serif", "Nimbus Sans", "Arial", "Courier New"}));
    EXPECT_EQ(FontFamilies::withMetricAliases({"Arial"}, drawnAs),
              QStringList({"Arial", "Courier New"}));
}
