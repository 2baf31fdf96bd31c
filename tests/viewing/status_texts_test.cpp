#include "viewing/status_texts.h"

#include <gtest/gtest.h>

namespace sw::viewing {
namespace {

TEST(SheetSizeText, ShowsInchesWithOneDecimal) {
    EXPECT_EQ(SheetSizeText(7200, 4800, 200, 200), "36.0 x 24.0");
    EXPECT_EQ(SheetSizeText(14400, 9600, 400, 400), "36.0 x 24.0");
    EXPECT_EQ(SheetSizeText(100, 4800, 200, 200), ".5 x 24.0") << "no leading zero";
    EXPECT_EQ(SheetSizeText(7210, 4830, 200, 200), "36.1 x 24.2") << "halves round up";
    EXPECT_EQ(SheetSizeText(1728, 2200, 204, 196), "8.5 x 11.2") << "each axis its resolution";
    EXPECT_FALSE(SheetSizeText(7200, 4800, 0, 200));
}

TEST(PointerText, WritesTwipsAsShortestSingleText) {
    EXPECT_EQ(PointerText(1230, 450), "(1230,450)");
    EXPECT_EQ(PointerText(7.5F, 0), "(7.5,0)");
}

const QStringList kThreePlans = {"c1~A-101 Site", "c2~A-102 Roof", "c4~S-201 Frame", ""};
const QStringList kThreeFiles = {"s1.tif", "s2.tif", "s3.tif", ""};

// The counter as "index: text", or "none".
QString counter(const QStringList& labels, const QString& panel1) {
    const auto found = ShowPlanCounter(labels, panel1);
    return found ? QString("%1: %2").arg(found->index).arg(found->text) : "none";
}

TEST(ShowPlanCounter, FindsThePlanOfPanelOne) {
    EXPECT_EQ(counter(kThreePlans, "A-101 Site"), "0: Plan 1 of 3");
    EXPECT_EQ(counter(kThreePlans, "S-201 Frame"), "2: Plan 3 of 3");
    EXPECT_EQ(counter(kThreePlans, "  A-102 Roof "), "1: Plan 2 of 3") << "surrounding blanks";
    EXPECT_EQ(counter(kThreePlans, "A-102  Roof"), "none") << "inner blanks count";
    EXPECT_EQ(counter(kThreePlans, "a-102 roof"), "none") << "case counts";
    EXPECT_EQ(counter(kThreePlans, "Z-999"), "none");
    EXPECT_EQ(counter({"c1~Same", "c2~Other", "c3~Same", ""}, "Same"), "2: Plan 3 of 3");
    EXPECT_EQ(counter({"broken", "c2~B", ""}, "B"), "1: Plan 2 of 2");
    EXPECT_EQ(counter({""}, ""), "none");
    EXPECT_EQ(counter({}, "A"), "none");
}

// The neighbour as "address name", or "none".
QString adjacent(const QStringList& labels, const QStringList& files, const QString& panel1,
                 bool previous) {
    const auto plan = FindAdjacentPlan(labels, files, panel1, previous);
    return plan ? plan->address + ' ' + plan->name.value_or("?") : "none";
}

TEST(FindAdjacentPlan, WrapsAroundBothEnds) {
    EXPECT_EQ(adjacent(kThreePlans, kThreeFiles, "A-101 Site", false), "s2.tif A-102 Roof");
    EXPECT_EQ(adjacent(kThreePlans, kThreeFiles, "S-201 Frame", false), "s1.tif A-101 Site");
    EXPECT_EQ(adjacent(kThreePlans, kThreeFiles, "A-101 Site", true), "s3.tif S-201 Frame");
    EXPECT_EQ(adjacent(kThreePlans, kThreeFiles, "A-102Roof ", false), "s3.tif S-201 Frame")
        << "every blank ignored";
    EXPECT_EQ(adjacent(kThreePlans, kThreeFiles, "Z-999", false), "none");
    EXPECT_EQ(adjacent(kThreePlans, kThreeFiles, "Z-999", true), "none");
    for (const bool previous : {false, true}) {
        EXPECT_EQ(adjacent({"c1~Only", ""}, {"only.tif", ""}, "Only", previous), "only.tif Only");
    }
}

// Walking "Next" N times from any plan comes back to it, and "Previous" undoes "Next".
TEST(FindAdjacentPlan, NextAndPreviousAreInverseAndCycleThroughEveryPlan) {
    for (qsizetype start = 0; start < 3; ++start) {
        QString name = kThreePlans.at(start).section('~', 1);
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
        EXPECT_EQ(name, kThreePlans.at(start).section('~', 1));
        visited.sort();
        EXPECT_EQ(visited, kThreeFiles.mid(0, 3));
    }
}

}  // namespace
}  // namespace sw::viewing
