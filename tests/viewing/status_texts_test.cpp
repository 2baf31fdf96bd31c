#include "viewing/status_texts.h"

#include <gtest/gtest.h>

#include "viewing/qt_printers.h"

namespace sw::viewing {
namespace {

using test::PrintTo;

struct SizeCase {
    const char* name;
    int width;
    int height;
    double dpiX;
    double dpiY;
    const char* text;
};

class SheetSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(SheetSize, ShowsInchesWithOneDecimal) {
    const SizeCase& c = GetParam();
    EXPECT_EQ(SheetSizeText(c.width, c.height, c.dpiX, c.dpiY), QString::fromLatin1(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    Table, SheetSize,
    ::testing::Values(SizeCase{"ArchD", 7200, 4800, 200, 200, "36.0 x 24.0"},
                      SizeCase{"ArchDAt400", 14400, 9600, 400, 400, "36.0 x 24.0"},
                      SizeCase{"HalfInchHasNoLeadingZero", 100, 4800, 200, 200, ".5 x 24.0"},
                      SizeCase{"HalvesRoundAwayFromZero", 7210, 4830, 200, 200, "36.1 x 24.2"},
                      SizeCase{"EachAxisItsOwnResolution", 1728, 2200, 204, 196, "8.5 x 11.2"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SheetSize, ZeroResolutionGivesNoText) {
    EXPECT_FALSE(SheetSizeText(7200, 4800, 0, 200));
}

TEST(PointerText, WritesTwipsAsShortestSingleText) {
    EXPECT_EQ(PointerText(1230, 450), QStringLiteral("(1230,450)"));
    EXPECT_EQ(PointerText(7.5F, 0), QStringLiteral("(7.5,0)"));
}

const QStringList kThreePlans = {QStringLiteral("c1~A-101 Site"), QStringLiteral("c2~A-102 Roof"),
                                 QStringLiteral("c4~S-201 Frame"), QString()};
const QStringList kThreeFiles = {QStringLiteral("s1.tif"), QStringLiteral("s2.tif"),
                                 QStringLiteral("s3.tif"), QString()};

struct CounterCase {
    const char* name;
    QStringList labels;
    const char* panel1;
    int index;  // -1: no counter
    const char* text;
};

class PlanCounterTable : public ::testing::TestWithParam<CounterCase> {};

TEST_P(PlanCounterTable, FindsThePlanOfPanelOne) {
    const CounterCase& c = GetParam();
    const auto counter = ShowPlanCounter(c.labels, QString::fromUtf8(c.panel1));
    if (c.index < 0) {
        EXPECT_FALSE(counter);
        return;
    }
    ASSERT_TRUE(counter);
    EXPECT_EQ(counter->index, c.index);
    EXPECT_EQ(counter->text, QString::fromLatin1(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    Table, PlanCounterTable,
    ::testing::Values(CounterCase{"First", kThreePlans, "A-101 Site", 0, "Plan 1 of 3"},
                      CounterCase{"Second", kThreePlans, "A-102 Roof", 1, "Plan 2 of 3"},
                      CounterCase{"Last", kThreePlans, "S-201 Frame", 2, "Plan 3 of 3"},
                      CounterCase{"SurroundingBlanksIgnored", kThreePlans, "  A-102 Roof ", 1,
                                  "Plan 2 of 3"},
                      CounterCase{"InnerBlanksCount", kThreePlans, "A-102  Roof", -1, ""},
                      CounterCase{"CaseCounts", kThreePlans, "a-102 roof", -1, ""},
                      CounterCase{"NotInTheList", kThreePlans, "Z-999", -1, ""},
                      CounterCase{"DuplicateNamesShowTheLast",
                                  {QStringLiteral("c1~Same"), QStringLiteral("c2~Other"),
                                   QStringLiteral("c3~Same"), QString()},
                                  "Same",
                                  2,
                                  "Plan 3 of 3"},
                      CounterCase{"EntryWithoutNameSkipped",
                                  {QStringLiteral("broken"), QStringLiteral("c2~B"), QString()},
                                  "B",
                                  1,
                                  "Plan 2 of 2"},
                      CounterCase{"EmptyList", {QString()}, "", -1, ""},
                      CounterCase{"NoListAtAll", {}, "A", -1, ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct AdjacentCase {
    const char* name;
    const char* panel1;
    bool previous;
    const char* address;  // nullptr: nothing found
    const char* newName;
};

class AdjacentPlanTable : public ::testing::TestWithParam<AdjacentCase> {};

TEST_P(AdjacentPlanTable, WrapsAroundBothEnds) {
    const AdjacentCase& c = GetParam();
    const auto plan =
        FindAdjacentPlan(kThreePlans, kThreeFiles, QString::fromUtf8(c.panel1), c.previous);
    if (c.address == nullptr) {
        EXPECT_FALSE(plan);
        return;
    }
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->address, QString::fromLatin1(c.address));
    EXPECT_EQ(plan->name, QString::fromLatin1(c.newName));
}

INSTANTIATE_TEST_SUITE_P(
    Table, AdjacentPlanTable,
    ::testing::Values(
        AdjacentCase{"NextFromFirst", "A-101 Site", false, "s2.tif", "A-102 Roof"},
        AdjacentCase{"NextFromLastWrapsToFirst", "S-201 Frame", false, "s1.tif", "A-101 Site"},
        AdjacentCase{"PreviousFromFirstWrapsToLast", "A-101 Site", true, "s3.tif", "S-201 Frame"},
        AdjacentCase{"PreviousFromLast", "S-201 Frame", true, "s2.tif", "A-102 Roof"},
        AdjacentCase{"EveryBlankIgnored", "A-102Roof ", false, "s3.tif", "S-201 Frame"},
        AdjacentCase{"UnknownPlanFindsNothing", "Z-999", false, nullptr, ""},
        AdjacentCase{"UnknownPlanFindsNothingBackwards", "Z-999", true, nullptr, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FindAdjacentPlan, ASinglePlanIsItsOwnNeighbour) {
    const QStringList labels = {QStringLiteral("c1~Only"), QString()};
    const QStringList files = {QStringLiteral("only.tif"), QString()};
    for (bool previous : {false, true}) {
        const auto plan = FindAdjacentPlan(labels, files, QStringLiteral("Only"), previous);
        ASSERT_TRUE(plan);
        EXPECT_EQ(plan->address, QStringLiteral("only.tif"));
    }
}

// Walking "Next" N times from any plan comes back to it, and "Previous" undoes "Next".
TEST(FindAdjacentPlan, NextAndPreviousAreInverseAndCycleThroughEveryPlan) {
    for (qsizetype start = 0; start < 3; ++start) {
        QString name = kThreePlans.at(start).section(QLatin1Char('~'), 1);
        QStringList visited;
        for (int step = 0; step < 3; ++step) {
            const auto next = FindAdjacentPlan(kThreePlans, kThreeFiles, name, false);
            ASSERT_TRUE(next && next->name);
            const auto back = FindAdjacentPlan(kThreePlans, kThreeFiles, *next->name, true);
            ASSERT_TRUE(back && back->name);
            EXPECT_EQ(*back->name, name);
            name = *next->name;
            visited << next->address;
        }
        EXPECT_EQ(name, kThreePlans.at(start).section(QLatin1Char('~'), 1));
        visited.sort();
        EXPECT_EQ(visited, kThreeFiles.mid(0, 3));
    }
}

}  // namespace
}  // namespace sw::viewing
