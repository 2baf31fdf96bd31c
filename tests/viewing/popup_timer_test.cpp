#include "viewing/popup_timer.h"

#include <gtest/gtest.h>

namespace sw::viewing {
namespace {

using sw::test::PrintTo;

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
    PopupState state;
    state.localPlansVisible = c.localVisible;
    state.localPlansRect = kTree;
    state.planListVisible = c.listVisible;
    state.planListRect = kTree;
    state.pointer = c.pointer;
    state.localPlansShown = true;
    state.planListShown = true;
    const sw::viewing::PopupTick t = PopupTimerTick(state);
    EXPECT_EQ(QString("%1%2 %3%4")
                  .arg(int(t.hideLocalPlans))
                  .arg(int(t.hidePlanList))
                  .arg(int(t.localPlansShown))
                  .arg(int(t.planListShown)),
              c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PopupTick,
    ::testing::Values(
        TickCase{"SavedPlansPointerInsideStaysOpen", true, false, {100, 100}, "00 11"},
        TickCase{"SavedPlansPointerOutsideCloses", true, false, {500, 100}, "10 01"},
        TickCase{"LeftEdgeIsOutside", true, false, {20, 100}, "10 01"},
        TickCase{"RightEdgeIsOutside", true, false, {320, 100}, "10 01"},
        TickCase{"RoundedBottomEdgeIsOutside", true, false, {100, 430}, "10 01"},
        TickCase{"JustAboveRoundedBottomIsInside", true, false, {100, 429.9}, "00 11"},
        TickCase{"BothVisibleOnlySavedPlansTested", true, true, {500, 100}, "10 01"},
        TickCase{"PlanListOnlyClosesIt", false, true, {500, 100}, "01 10"},
        TickCase{"PlanListPointerInsideStaysOpen", false, true, {21, 31}, "00 11"},
        TickCase{"NeitherVisibleClearsBothFlags", false, false, {100, 100}, "00 00"}),
    sw::test::byName);

}  // namespace
}  // namespace sw::viewing
