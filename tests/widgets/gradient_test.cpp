#include "widgets/gradient.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include <QGuiApplication>
#include <QPalette>

namespace sw::widgets {
namespace {

struct StepCase {
    std::string name;
    double height;  // twips
    std::int32_t step;
};

void PrintTo(const StepCase& c, std::ostream* os) {
    *os << c.name;
}

class GradientStep : public ::testing::TestWithParam<StepCase> {};

TEST_P(GradientStep, IsAHundredthOfTheHeightRoundedToEvenAndAtLeastOne) {
    EXPECT_EQ(gradientStep(GetParam().height), GetParam().step);
}

INSTANTIATE_TEST_SUITE_P(
    Heights, GradientStep,
    ::testing::Values(StepCase{"MenuBar30px", 450, 4}, StepCase{"Button32px", 480, 5},
                      StepCase{"HalfDownToEven", 250, 2}, StepCase{"HalfUpToEven", 350, 4},
                      StepCase{"JustUnder100Twips", 99, 1}, StepCase{"BelowHalfATwip", 49, 1},
                      StepCase{"ZeroHeight", 0, 1}, StepCase{"Tall", 30000, 300}),
    [](const ::testing::TestParamInfo<StepCase>& info) { return info.param.name; });

struct LoopCase {
    std::string name;
    bool menuBar;
    double height;
    std::int32_t step;
    std::int32_t lastY;
    std::size_t count;
};

void PrintTo(const LoopCase& c, std::ostream* os) {
    *os << c.name;
}

class GradientLoop : public ::testing::TestWithParam<LoopCase> {};

TEST_P(GradientLoop, BandsRunFromTheTopToTheLoopEnd) {
    const LoopCase& c = GetParam();
    const OleColor start = rgb(221, 236, 254);
    const OleColor end = rgb(129, 169, 226);
    const auto bands = c.menuBar ? menuBarGradientBands(start, end, c.height, 15)
                                 : buttonGradientBands(start, end, c.height);
    ASSERT_TRUE(bands.has_value());
    EXPECT_EQ(bands->step, c.step);
    ASSERT_EQ(bands->bands.size(), c.count);
    EXPECT_EQ(bands->bands.front().y, 0);
    EXPECT_EQ(bands->bands.back().y, c.lastY);
}

INSTANTIATE_TEST_SUITE_P(
    Areas, GradientLoop,
    ::testing::Values(
        // 30 pixels at 15 twips per pixel: the bands stop at 420, where the edge lines begin.
        LoopCase{"MenuBar30px", true, 450, 4, 420, 106},
        LoopCase{"MenuBarUnder100Twips", true, 90, 1, 60, 61},
        LoopCase{"Button32px", false, 480, 5, 480, 97},
        LoopCase{"ButtonUnder100Twips", false, 60, 1, 60, 61},
        LoopCase{"ThousandTwipsGivesAHundredAndOneBands", false, 1000, 10, 1000, 101}),
    [](const ::testing::TestParamInfo<LoopCase>& info) { return info.param.name; });

TEST(Gradient, MenuBarShorterThanItsEdgeHasNoBands) {
    const auto bands = menuBarGradientBands(rgb(0, 0, 0), rgb(255, 255, 255), 15, 15);
    ASSERT_TRUE(bands.has_value());
    EXPECT_TRUE(bands->bands.empty());
}

TEST(Gradient, LoopEndBeyondSixteenBitsPaintsNothing) {
    EXPECT_FALSE(buttonGradientBands(rgb(0, 0, 0), rgb(255, 255, 255), 32768).has_value());
    EXPECT_TRUE(buttonGradientBands(rgb(0, 0, 0), rgb(255, 255, 255), 32767).has_value());
}

TEST(Gradient, StartsAtTheStartAndReachesTheEndAtBandHundred) {
    const auto bands = buttonGradientBands(rgb(221, 236, 254), rgb(129, 169, 226), 1000);
    ASSERT_TRUE(bands.has_value());
    EXPECT_EQ(bands->bands.front().color, QColor(221, 236, 254));
    EXPECT_EQ(bands->bands.at(100).color, QColor(129, 169, 226));
}

TEST(Gradient, ComponentsNeverLeaveTheByteRangePastTheEnd) {
    // 1049 twips: step 10, 105 bands, four increments past the end colour.
    const auto falling = buttonGradientBands(rgb(50, 255, 2), rgb(0, 0, 0), 1049);
    ASSERT_TRUE(falling.has_value());
    ASSERT_EQ(falling->bands.size(), 105U);
    for (const GradientBand& band : falling->bands) {
        ASSERT_TRUE(band.color.isValid()) << band.y;
        EXPECT_GE(band.color.red(), 0);
        EXPECT_GE(band.color.green(), 0);
    }
    EXPECT_EQ(falling->bands.back().color, QColor(0, 0, 0)) << "negative components clamp to 0";
    const auto rising = buttonGradientBands(rgb(0, 0, 0), rgb(255, 255, 255), 1049);
    EXPECT_EQ(rising->bands.back().color, QColor(255, 255, 255)) << "RGB caps at 255";
}

TEST(Gradient, SystemColourStandsForItsPaletteColour) {
    // 15: the button face.
    const auto bands = buttonGradientBands(0x8000000Fu, rgb(0, 0, 0), 1000);
    ASSERT_TRUE(bands.has_value());
    const QColor face = QGuiApplication::palette().color(QPalette::Active, QPalette::Button);
    EXPECT_EQ(bands->bands.front().color.rgb(), face.rgb());
    // An unknown system colour is black.
    EXPECT_EQ(oleColorToQColor(0x800000FEu), QColor(Qt::black));
    EXPECT_EQ(resolveOleColor(rgb(1, 2, 3)), rgb(1, 2, 3));
}

}  // namespace
}  // namespace sw::widgets
