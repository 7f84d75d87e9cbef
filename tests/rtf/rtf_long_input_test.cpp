// Inputs long enough that reading them once cost the square of their length: what the linear
// reading must still get right.
#include "support/rtf_test_support.h"

#include "bench/HostileInputs.h"

#include <QSet>
#include <gtest/gtest.h>

using rtftest::readRtf;

// Each run "tK " is in font K, "Font K" in the table, but for fonts past the 32768 a document
// keeps: those take the default font, "Font 0". Runs of one font next to each other make one
// fragment.
TEST(RtfLongInputs, RunsAmongManyFontsKeepTheirOwnFont) {
    QByteArray rtf = hostile::fontSwitches(33'000, 30'000).chopped(1);
    rtf += "\\f32767 t32767 \\f32768 t32768 }";
    auto document = readRtf(rtf);
    int runs = 0;
    QSet<QString> used;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            const QStringList families = format.fontFamilies().toStringList();
            ASSERT_EQ(families.size(), 1) << runs;
            // What the layout draws with, not only what the format says.
            ASSERT_EQ(format.font().families(), families) << runs;
            used << families.first();
            for (const QString& word : it.fragment().text().split(u' ', Qt::SkipEmptyParts)) {
                const int font = word.mid(1).toInt();
                ASSERT_EQ(families.first(), QStringLiteral("Font %1").arg(font < 32768 ? font : 0))
                    << runs;
                ++runs;
            }
        }
    }
    EXPECT_EQ(runs, 30'002);
    // Runs of one font share one format, as they would with fewer fonts.
    EXPECT_LE(document->allFormats().size(), used.size() + 16);
}
