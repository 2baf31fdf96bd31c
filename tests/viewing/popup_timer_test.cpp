#include "viewing/popup_timer.h"

#include <gtest/gtest.h>

#include "viewing/qt_printers.h"

namespace sw::viewing {
namespace {

using test::PrintTo;

constexpr QRectF kTree(20, 30, 300, 400.5);  // bottom edge 430.5 rounds (to even) to 430

struct TickCase {
    const char* name;
    bool localVisible;
    bool listVisible;
    QPointF pointer;
    bool hideLocal;
    bool hideList;
    bool localShown;
    bool listShown;
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
    const sw::viewing::PopupTick tick = PopupTimerTick(state);
    EXPECT_EQ(tick.hideLocalPlans, c.hideLocal);
    EXPECT_EQ(tick.hidePlanList, c.hideList);
    EXPECT_EQ(tick.localPlansShown, c.localShown);
    EXPECT_EQ(tick.planListShown, c.listShown);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PopupTick,
    ::testing::Values(
        TickCase{
            "SavedPlansPointerInsideStaysOpen", true, false, {100, 100}, false, false, true, true},
        TickCase{
            "SavedPlansPointerOutsideCloses", true, false, {500, 100}, true, false, false, true},
        TickCase{"LeftEdgeIsOutside", true, false, {20, 100}, true, false, false, true},
        TickCase{"RightEdgeIsOutside", true, false, {320, 100}, true, false, false, true},
        TickCase{"RoundedBottomEdgeIsOutside", true, false, {100, 430}, true, false, false, true},
        TickCase{
            "JustAboveRoundedBottomIsInside", true, false, {100, 429.9}, false, false, true, true},
        TickCase{
            "BothVisibleOnlySavedPlansTested", true, true, {500, 100}, true, false, false, true},
        TickCase{"PlanListOnlyClosesIt", false, true, {500, 100}, false, true, true, false},
        TickCase{"PlanListPointerInsideStaysOpen", false, true, {21, 31}, false, false, true, true},
        TickCase{
            "NeitherVisibleClearsBothFlags", false, false, {100, 100}, false, false, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sw::viewing
