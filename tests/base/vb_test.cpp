#include "base/vb.h"

#include <gtest/gtest.h>

#include "base/script_error.h"

namespace sw::base::vb {
namespace {

TEST(RoundHalfEven, RoundsHalvesToTheEvenNeighbour) {
    const std::pair<double, double> cases[] = {{0.5, 0},   {1.5, 2},    {2.5, 2},
                                               {36.5, 36}, {37.5, 38},  {-0.5, 0},
                                               {-1.5, -2}, {2.4999, 2}, {2.5001, 3}};
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(roundHalfEven(in), out) << in;
    }
}

TEST(SixteenBits, OverflowPastTheRangeAfterRounding) {
    EXPECT_EQ(toInt16(32767.4), 32767);
    EXPECT_EQ(toInt16(-32768.0), -32768);
    EXPECT_THROW(toInt16(32767.5), ScriptError);  // rounds to 32768
    EXPECT_EQ(add16(32766, 1), 32767);
    try {
        add16(32767, 1);
        FAIL() << "no overflow";
    } catch (const ScriptError& e) {
        EXPECT_EQ(QString::number(e.number()) + " " + e.description(), "6 Overflow");
    }
}

// Numbers shown to the user and texts read from pages and settings.
TEST(TextConversions, FollowTheDisplayPatternAndReadOnlyWhatTheyShould) {
    const struct {
        double in;
        int decimals;
        const char* out;
    } fixed[] = {{36.0, 1, "36.0"}, {0.5, 1, ".5"},  {0.04, 1, ".0"},   {36.25, 1, "36.3"},
                 {8.5, 2, "8.50"},  {0.5, 2, ".50"}, {-0.25, 1, "-.3"}, {2.05, 1, "2.1"}};
    for (const auto& c : fixed) {
        EXPECT_EQ(formatFixed(c.in, c.decimals), c.out) << c.in;
    }
    EXPECT_EQ(doubleText(3.0) + " " + doubleText(0.75), "3 0.75");
    EXPECT_TRUE(split(QString(), ",").isEmpty());
    EXPECT_EQ(split("a,,b~", ","), QStringList({"a", "", "b~"}));
    EXPECT_EQ(split("a~", "~"), QStringList({"a", ""}));
    EXPECT_EQ(split("abc", QString()), QStringList{"abc"});
    EXPECT_EQ(QStringList({trimBlanks("  a b  "), trimBlanks("\ta\t"), trimLeadingBlanks("  a ")}),
              QStringList({"a b", "\ta\t", "a "}));
    EXPECT_EQ(parseNumber(" 80 "), 80.0);
    EXPECT_EQ(parseNumber("-2.5"), -2.5);
    for (const char* text : {"none", "80%", ""}) {
        EXPECT_FALSE(parseNumber(text).has_value()) << text;
    }
}

}  // namespace
}  // namespace sw::base::vb
