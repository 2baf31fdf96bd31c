#include "viewing/status_texts.h"

#include <gtest/gtest.h>

#include "viewing/popup_timer.h"

namespace sw::viewing {
namespace {

using sw::test::PrintTo;

TEST(SheetSizeText, ShowsInchesWithOneDecimal) {
    EXPECT_EQ(SheetSizeText(100, 4800, 200, 200), ".5 x 24.0") << "no leading zero";
    EXPECT_EQ(SheetSizeText(7210, 4830, 200, 200), "36.1 x 24.2") << "halves round up";
    EXPECT_EQ(SheetSizeText(1728, 2200, 204, 196), "8.5 x 11.2") << "each axis its resolution";
    EXPECT_FALSE(SheetSizeText(7200, 4800, 0, 200));
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
    EXPECT_EQ(counter(kThreePlans, "  A-102 Roof "), "1: Plan 2 of 3") << "surrounding blanks";
    EXPECT_EQ(counter(kThreePlans, "A-102  Roof"), "none") << "inner blanks count";
    EXPECT_EQ(counter(kThreePlans, "a-102 roof"), "none") << "case counts";
    EXPECT_EQ(counter({"c1~Same", "c2~Other", "c3~Same", ""}, "Same"), "2: Plan 3 of 3");
    EXPECT_EQ(counter({"broken", "c2~B", ""}, "B"), "1: Plan 2 of 2");
    EXPECT_EQ(counter({}, ""), "none");
}

// The neighbour as "address name", or "none".
QString adjacent(const QString& panel1, bool previous, const QStringList& labels = kThreePlans,
                 const QStringList& files = kThreeFiles) {
    const auto plan = FindAdjacentPlan(labels, files, panel1, previous);
    return plan ? plan->address + ' ' + plan->name.value_or("?") : "none";
}

TEST(FindAdjacentPlan, WrapsAroundBothEnds) {
    EXPECT_EQ(adjacent("A-101 Site", false), "s2.tif A-102 Roof");
    EXPECT_EQ(adjacent("S-201 Frame", false), "s1.tif A-101 Site");
    EXPECT_EQ(adjacent("A-101 Site", true), "s3.tif S-201 Frame");
    EXPECT_EQ(adjacent("A-102Roof ", false), "s3.tif S-201 Frame") << "every blank ignored";
    EXPECT_EQ(adjacent("Z-999", true), "none");
    for (const bool previous : {false, true}) {
        EXPECT_EQ(adjacent("Only", previous, {"c1~Only", ""}, {"only.tif", ""}), "only.tif Only");
    }
}

constexpr QRectF kTree(20, 30, 300, 400.5);  // bottom edge 430.5 rounds (to even) to 430

// Expected as "<hide saved plans><hide plan list> <saved plans shown><plan list shown>", each
// 1 or 0; both trees start shown.
struct TickCase {
    const char* name;
    bool localVisible;
    bool listVisible;
    QPointF pointer;
    const char* result;
};

class PopupTick : public ::testing::TestWithParam<TickCase> {};

TEST_P(PopupTick, HidesTheOpenTreeOnceThePointerIsOutside) {
    const TickCase& c = GetParam();
    const sw::viewing::PopupTick t =
        PopupTimerTick({c.localVisible, kTree, c.listVisible, kTree, c.pointer, true, true});
    EXPECT_EQ(QString::asprintf("%d%d %d%d", t.hideLocalPlans, t.hidePlanList, t.localPlansShown,
                                t.planListShown),
              c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PopupTick,
    ::testing::Values(TickCase{"SavedPlansPointerInsideStaysOpen", true, false, {21, 31}, "00 11"},
                      TickCase{"LeftEdgeIsOutside", true, false, {20, 100}, "10 01"},
                      TickCase{"RightEdgeIsOutside", true, false, {320, 100}, "10 01"},
                      TickCase{"RoundedBottomEdgeIsOutside", true, false, {100, 430}, "10 01"},
                      TickCase{
                          "JustAboveRoundedBottomIsInside", true, false, {100, 429.9}, "00 11"},
                      TickCase{"BothVisibleOnlySavedPlansTested", true, true, {500, 100}, "10 01"},
                      TickCase{"PlanListOnlyClosesIt", false, true, {500, 100}, "01 10"},
                      TickCase{"NeitherVisibleClearsBothFlags", false, false, {100, 100}, "00 00"}),
    sw::test::byName);

}  // namespace
}  // namespace sw::viewing
