#include "widgets/ruler_drawing.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace sw::widgets {
namespace {

RulerInput horizontal(double width, std::int32_t max, std::int32_t min = 0, std::int32_t offset = 0,
                      double twipsPerPixel = 15) {
    return RulerInput{.width = width,
                      .height = 300,
                      .max = max,
                      .min = min,
                      .offset = offset,
                      .twipsPerPixelX = twipsPerPixel};
}

RulerInput vertical(double height, std::int32_t max) {
    return RulerInput{.width = 300, .height = height, .max = max, .isVertical = true};
}

struct TickCase {
    std::string name;
    RulerInput input;
    bool sparse;  // every second unit only
    std::int32_t step;
    std::int32_t firstValue;
    std::int32_t lastValue;
    std::vector<double> positions;  // of the first drawn units, twips
};

using sw::test::PrintTo;

class RulerTicks : public ::testing::TestWithParam<TickCase> {};

TEST_P(RulerTicks, DrawsTheExpectedUnits) {
    const TickCase& c = GetParam();
    const RulerDrawing d = layoutRuler(c.input);
    EXPECT_EQ(d.sparse, c.sparse);
    EXPECT_EQ(d.step, c.step);
    std::vector<std::int32_t> values;
    std::vector<std::int32_t> expected;
    for (const RulerTick& t : d.ticks) {
        values.push_back(t.value);
    }
    for (std::int32_t v = c.firstValue; v <= c.lastValue; v += c.sparse ? 2 : 1) {
        expected.push_back(v);
    }
    EXPECT_EQ(values, expected);
    for (std::size_t i = 0; i < c.positions.size() && i < d.ticks.size(); ++i) {
        EXPECT_DOUBLE_EQ(d.ticks[i].position, c.positions[i]) << "tick " << i;
    }
}

// 980 pixels at 15 twips per pixel: narrower than 1000 pixels with more than 20 units.
INSTANTIATE_TEST_SUITE_P(
    Layout, RulerTicks,
    ::testing::Values(
        TickCase{
            "Width980pxIsSparse", horizontal(14700, 36, 0, 300), true, 408, 2, 36, {1116, 1932}},
        TickCase{
            "Width1000pxIsDense", horizontal(15000, 36, 0, 300), false, 417, 1, 36, {717, 1134}},
        TickCase{"At120DpiIsDense", horizontal(14700, 36, 0, 300, 12), false, 408, 1, 36, {708}},
        TickCase{"TwentyUnitsNeverSparse", horizontal(3000, 20), false, 150, 1, 20, {150, 300}},
        TickCase{"VerticalShortTwentyDense", vertical(600, 20), false, 30, 1, 20, {30}},
        TickCase{"VerticalTallTwentyDense", vertical(90000, 20), false, 4500, 1, 20, {4500}},
        TickCase{"VerticalTallTwentyOneSparse", vertical(90000, 21), true, 4286, 2, 20, {8572}},
        TickCase{"MinFourLabelsFiveToTen", horizontal(6000, 10, 4), false, 1000, 5, 10, {1000}},
        TickCase{"StepHalfRoundsDownToEven", horizontal(450, 36), true, 12, 2, 36, {24}},
        TickCase{"StepHalfRoundsUpToEven", horizontal(1350, 36), true, 38, 2, 36, {76}},
        TickCase{"NegativeMinCountsFromMin", horizontal(6000, 2, -3), false, 1200, -2, 2, {1200}},
        TickCase{"MaxEqualMinDrawsNoUnit", horizontal(6000, 5, 5), false, 0, 1, 0, {}},
        TickCase{"MaxBelowMinDrawsNoUnit", horizontal(6000, 2, 5), false, 0, 1, 0, {}}),
    sw::test::byName);

TEST(RulerLayout, OffsetBoxRunsAlongTheVerticalRulerAndOutlivesAnEmptyScale) {
    RulerInput v = vertical(9000, 24);
    v.offset = 450;
    EXPECT_EQ(layoutRuler(v).offsetBox, QRectF(QPointF(0, 0), QPointF(300, 450)));
    EXPECT_TRUE(layoutRuler(horizontal(14700, 0, 0, 300)).offsetBox.has_value());
}

TEST(RulerLayout, LinesCrossTheRulerAndLabelsCarryBlanks) {
    const RulerDrawing h = layoutRuler(horizontal(6000, 10, 4));
    ASSERT_FALSE(h.ticks.empty());
    EXPECT_EQ(h.ticks.front().line, QLineF(1000, 0, 1000, 300));
    EXPECT_EQ(h.ticks.front().label, QStringLiteral(" 5 "));
    const RulerDrawing v = layoutRuler(vertical(600, 20));
    EXPECT_EQ(v.ticks.front().line, QLineF(0, 30, 300, 30));
    EXPECT_EQ(layoutRuler(horizontal(6000, 2, -3)).ticks.front().label, QStringLiteral("-2 "));
}

TEST(RulerLayout, RangeWiderThanSixteenBitsDrawsOnlyTheFrame) {
    // Only a damaged property bag can hold such values; the paint must not run for billions of
    // units.
    const RulerDrawing d = layoutRuler(horizontal(14700, 2'000'000'000, -2'000'000'000));
    EXPECT_EQ(d.frame.size(), 3U);
    EXPECT_TRUE(d.ticks.empty());
    const RulerDrawing widest = layoutRuler(horizontal(14700, 32767, -32768));
    EXPECT_EQ(widest.ticks.size(), 65535U / 2);
}

TEST(RulerLayout, UnitsIncreaseAndNeverSitOnTheZero) {
    for (std::int32_t max = 1; max <= 60; ++max) {
        for (const double width : {300.0, 14700.0, 15000.0, 60000.0}) {
            const RulerDrawing d = layoutRuler(horizontal(width, max, 0, 300));
            for (std::size_t i = 0; i < d.ticks.size(); ++i) {
                EXPECT_GT(d.ticks[i].position, 300) << max << " " << width;
                if (i > 0) {
                    EXPECT_GT(d.ticks[i].value, d.ticks[i - 1].value);
                    EXPECT_GE(d.ticks[i].position, d.ticks[i - 1].position);
                }
            }
            const std::size_t expected =
                d.sparse ? static_cast<std::size_t>(max / 2) : static_cast<std::size_t>(max);
            EXPECT_EQ(d.ticks.size(), expected) << max << " " << width;
        }
    }
}

}  // namespace
}  // namespace sw::widgets
