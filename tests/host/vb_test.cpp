#include "host/vb.h"

#include <gtest/gtest.h>

#include "host/script_error.h"

namespace sw::host::vb {
namespace {

struct RoundCase {
    double in;
    double out;
};

class RoundHalfEven : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundHalfEven, RoundsHalvesToEven) {
    EXPECT_EQ(roundHalfEven(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(Table, RoundHalfEven,
                         ::testing::Values(RoundCase{0.5, 0}, RoundCase{1.5, 2}, RoundCase{2.5, 2},
                                           RoundCase{36.5, 36}, RoundCase{37.5, 38},
                                           RoundCase{-0.5, 0}, RoundCase{-1.5, -2},
                                           RoundCase{2.4999, 2}, RoundCase{2.5001, 3}));

TEST(ToInt16, OverflowsPastTheSixteenBitRange) {
    EXPECT_EQ(toInt16(32767.4), 32767);
    EXPECT_EQ(toInt16(-32768.0), -32768);
    EXPECT_THROW(toInt16(32767.5), ScriptError);  // rounds to 32768
    EXPECT_THROW(toInt16(40000), ScriptError);
    try {
        toInt16(36000);
        FAIL();
    } catch (const ScriptError& e) {
        EXPECT_EQ(e.description(), QStringLiteral("Overflow"));
        EXPECT_EQ(e.number(), 6);
    }
}

TEST(Add16, CounterFailsAtTheTop) {
    EXPECT_EQ(add16(32766, 1), 32767);
    EXPECT_THROW(add16(32767, 1), ScriptError);
}

struct FormatCase {
    double in;
    int decimals;
    const char* out;
};

class FormatFixed : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatFixed, MatchesTheDisplayPattern) {
    EXPECT_EQ(formatFixed(GetParam().in, GetParam().decimals), QString::fromLatin1(GetParam().out));
}

INSTANTIATE_TEST_SUITE_P(Table, FormatFixed,
                         ::testing::Values(FormatCase{36.0, 1, "36.0"}, FormatCase{24.0, 1, "24.0"},
                                           FormatCase{0.5, 1, ".5"}, FormatCase{0.04, 1, ".0"},
                                           FormatCase{36.25, 1, "36.3"}, FormatCase{8.5, 2, "8.50"},
                                           FormatCase{0.5, 2, ".50"}, FormatCase{11, 2, "11.00"},
                                           FormatCase{-0.25, 1, "-.3"},
                                           FormatCase{2.05, 1, "2.1"}));

TEST(SingleText, ShortestForm) {
    EXPECT_EQ(singleText(1230.0F), QStringLiteral("1230"));
    EXPECT_EQ(singleText(450.0F), QStringLiteral("450"));
    EXPECT_EQ(singleText(12.5F), QStringLiteral("12.5"));
    EXPECT_EQ(singleText(0.0F), QStringLiteral("0"));
}

TEST(DoubleText, NoTrailingZeros) {
    EXPECT_EQ(doubleText(3.0), QStringLiteral("3"));
    EXPECT_EQ(doubleText(0.75), QStringLiteral("0.75"));
}

TEST(Split, EmptyTextHasNoFields) {
    EXPECT_TRUE(split(QString(), QStringLiteral(",")).isEmpty());
    EXPECT_EQ(split(QStringLiteral("a,,b"), QStringLiteral(",")).size(), 3);
    EXPECT_EQ(split(QStringLiteral("a~"), QStringLiteral("~")),
              (QStringList{QStringLiteral("a"), QString()}));
    EXPECT_EQ(split(QStringLiteral("abc"), QString()), QStringList{QStringLiteral("abc")});
}

TEST(TrimBlanks, OnlySpaces) {
    EXPECT_EQ(trimBlanks(QStringLiteral("  a b  ")), QStringLiteral("a b"));
    EXPECT_EQ(trimBlanks(QStringLiteral("\ta\t")), QStringLiteral("\ta\t"));
    EXPECT_EQ(trimLeadingBlanks(QStringLiteral("  a ")), QStringLiteral("a "));
}

TEST(ParseNumber, AcceptsOnlyNumbers) {
    EXPECT_EQ(parseNumber(QStringLiteral(" 80 ")), 80.0);
    EXPECT_EQ(parseNumber(QStringLiteral("-2.5")), -2.5);
    EXPECT_FALSE(parseNumber(QStringLiteral("none")).has_value());
    EXPECT_FALSE(parseNumber(QStringLiteral("80%")).has_value());
    EXPECT_FALSE(parseNumber(QString()).has_value());
}

}  // namespace
}  // namespace sw::host::vb
