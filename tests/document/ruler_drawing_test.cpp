#include "document/RulerDrawing.h"

#include "text/Error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {
// Fixed metrics, so nothing depends on the fonts of the machine: every character 100 twips
// wide, text 225 twips high.
RulerDrawing::FontMetrics fixedMetrics() {
    return {[](const QString& s) { return 100.0 * s.size(); },
            [](const QString&) { return 225.0; }};
}

RulerDrawing::TabStops stops(QList<double> positions) {
    return {int(positions.size()), [positions](int i) { return positions.at(i); }};
}

RulerDrawing draw(float inches, const RulerDrawing::TabStops& tabs = stops({}), int height = 390) {
    return RulerDrawing::compute(height, inches, tabs, fixedMetrics());
}
} // namespace

TEST(RulerDrawing, MarksEveryEighthInchOnTheBaseLineAndLabelsTheWholeInches) {
    const RulerDrawing ruler = draw(7.0f);
    ASSERT_EQ(ruler.lines.size(), 57);
    // Whole inches (0 included), halves, quarters, odd eighths.
    const std::pair<int, double> lengths[] = {{0, 160}, {8, 160}, {56, 160}, {4, 144},
                                              {2, 80},  {6, 80},  {1, 48},   {7, 48}};
    for (const auto& [mark, length] : lengths) {
        const auto& line = ruler.lines.at(mark);
        EXPECT_DOUBLE_EQ(line.from.x(), 30 + 180 * mark) << mark;
        EXPECT_DOUBLE_EQ(line.to.x(), line.from.x()) << mark;
        EXPECT_DOUBLE_EQ(line.from.y(), 360) << mark;
        EXPECT_DOUBLE_EQ(line.from.y() - line.to.y(), length) << mark;
    }
    EXPECT_TRUE(ruler.squares.isEmpty());

    ASSERT_EQ(ruler.texts.size(), 7);
    EXPECT_EQ(ruler.texts.at(0).text, QStringLiteral(" 1Inch"));

    // Half an inch more adds marks but no label.
    const RulerDrawing longer = draw(7.5f);
    EXPECT_EQ(longer.lines.size(), 61);
    EXPECT_DOUBLE_EQ(longer.lines.last().from.x(), 30 + 180 * 60);
    EXPECT_EQ(longer.texts.size(), 7);
}

TEST(RulerDrawing, TabStopsBecomeSquaresCentredOnTheirMarkWhenTheyCanBeShown) {
    const RulerDrawing ruler = draw(7.0f, stops({720, 1440}));
    ASSERT_EQ(ruler.squares.size(), 2);
    EXPECT_EQ(ruler.squares.at(0), (RulerDrawing::Square{{720, 300}, {780, 360}}));
    EXPECT_EQ(ruler.squares.at(1), (RulerDrawing::Square{{1440, 300}, {1500, 360}}));
    // Centred on the half-inch and one-inch marks.
    EXPECT_DOUBLE_EQ(ruler.squares.at(0).from.x() + 30, ruler.lines.at(4).from.x());

    // A selection with mixed stops shows none.
    const RulerDrawing::TabStops mixed{std::nullopt, [](int) -> double {
                                           ADD_FAILURE() << "no position of a mixed selection";
                                           return 0;
                                       }};
    EXPECT_EQ(draw(7.0f, mixed), draw(7.0f));
    // The last stop whose square fits the integer arithmetic, then two that do not.
    const RulerDrawing far = draw(7.0f, stops({32707, 32708, 40000}));
    ASSERT_EQ(far.squares.size(), 1);
    EXPECT_DOUBLE_EQ(far.squares.at(0).to.x(), 32767);
}

TEST(RulerDrawing, OverflowingLayoutValuesRaiseOverflow) {
    const auto overflow = testing::Throws<Error>(testing::Field(&Error::number, Error::Overflow));
    EXPECT_THAT([] { draw(5000.0f); }, overflow);
    EXPECT_THAT([] { draw(7.0f, stops({720}), 40000); }, overflow);
    // 4095.9375 inches is 32767.5 marks, which rounds to even: one past the limit.
    EXPECT_THAT([] { draw(4095.9375f); }, overflow);
}
