#include "viewing/viewer_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "viewing/qt_printers.h"

namespace sw::viewing {
namespace {

using test::PrintTo;

constexpr TwipsPerPixel kTpp{15.0F, 15.0F};

// A 1200 x 900 pixel viewer control as the shell arranges it before a layout: toolbar on top,
// status bar at the bottom, rulers and imaging control wherever the previous layout left them.
ViewerGeometry typicalControl() {
    ViewerGeometry g;
    g.width = 18000;
    g.height = 13500;
    g.toolbar = {0, 0, 18000, 720};
    g.horRuler = {111, 222, 333, 300};
    g.vertRuler = {444, 555, 300, 666};
    g.viewer = {1, 2, 3, 4};
    g.status = {0, 13125, 18000, 375};
    g.progress = {10320, 5, 6, 255};
    g.horRulerOffset = 300;
    g.vertRulerOffset = 0;
    return g;
}

struct PlacementCase {
    const char* name;
    QRectF display;  // the imaging control's display rectangle, pixels
};

class RulerPlacement : public ::testing::TestWithParam<PlacementCase> {};

// The rulers' scales must cover exactly the sheet as it lies on screen, wherever that is.
TEST_P(RulerPlacement, ScalesCoverTheDisplayedSheet) {
    const QRectF d = GetParam().display;
    const ViewerGeometry g = ArrangeControls(typicalControl(), d, kTpp);
    const float sheetLeft = g.viewer.left + static_cast<float>(d.left()) * kTpp.x;
    const float sheetTop = g.viewer.top + static_cast<float>(d.top()) * kTpp.y;
    EXPECT_FLOAT_EQ(g.horRuler.left + 300.0F, sheetLeft) << "zero of the horizontal scale";
    EXPECT_FLOAT_EQ(g.horRuler.width - 300.0F, static_cast<float>(d.width()) * kTpp.x);
    EXPECT_FLOAT_EQ(g.vertRuler.top, sheetTop) << "zero of the vertical scale";
    EXPECT_FLOAT_EQ(g.vertRuler.height, static_cast<float>(d.height()) * kTpp.y);
    EXPECT_FLOAT_EQ(g.horRuler.top + g.horRuler.height, g.viewer.top) << "ruler sits on viewer";
    EXPECT_FLOAT_EQ(g.vertRuler.left + g.vertRuler.width, g.viewer.left);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RulerPlacement,
    ::testing::Values(PlacementCase{"FittedNarrowerThanViewer", {235, 0, 710, 820}},
                      PlacementCase{"FittedShorterThanViewer", {0, 140, 1180, 500}},
                      PlacementCase{"ZoomedAndPannedUpLeft", {-2400, -1300, 7200, 4800}},
                      PlacementCase{"PannedBeyondBottomRight", {900, 700, 7200, 4800}},
                      PlacementCase{"NoImage", {0, 0, 0, 0}},
                      PlacementCase{"FractionalPixels", {10.5, 20.25, 333.3, 222.2}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ArrangeControls, PanningLeftMovesTheRulerLeftByThePannedTwips) {
    const ViewerGeometry before = ArrangeControls(typicalControl(), {20, 0, 7200, 4800}, kTpp);
    const ViewerGeometry after = ArrangeControls(before, {-80, 0, 7200, 4800}, kTpp);
    EXPECT_FLOAT_EQ(after.horRuler.left, before.horRuler.left - 100 * kTpp.x);
    EXPECT_LT(after.horRuler.left, 0.0F);
}

TEST(ArrangeControls, FillsTheControlAroundTheRulersAndBars) {
    const ViewerGeometry g = ArrangeControls(typicalControl(), {0, 0, 100, 100}, kTpp);
    EXPECT_EQ(g.viewer, (ControlGeometry{300, 1020, 17700, 12105}));
    EXPECT_FLOAT_EQ(g.toolbar.width, 18000);
    EXPECT_FLOAT_EQ(g.progress.top, 13125 + 65);
    EXPECT_FLOAT_EQ(g.progress.left, 10320) << "the progress bar's left edge never moves";
    EXPECT_EQ(g.status, typicalControl().status) << "the status bar is only read";
}

struct ProgressCase {
    const char* name;
    float controlWidth;
    float expectedWidth;
};

class ProgressWidth : public ::testing::TestWithParam<ProgressCase> {};

TEST_P(ProgressWidth, FollowsTheControlDownToTheMinimum) {
    ViewerGeometry g = typicalControl();
    g.width = GetParam().controlWidth;
    EXPECT_FLOAT_EQ(ArrangeControls(g, {}, kTpp).progress.width, GetParam().expectedWidth);
}

// 10320 twips is the bar's left edge and 120 twips its right margin.
INSTANTIATE_TEST_SUITE_P(Table, ProgressWidth,
                         ::testing::Values(ProgressCase{"Wide", 18000, 7560},
                                           ProgressCase{"ExactlyOne", 10441, 1},
                                           ProgressCase{"BelowOne", 10440.5F, 10},
                                           ProgressCase{"Zero", 10440, 10},
                                           ProgressCase{"NarrowerThanTheBarsLeftEdge", 3000, 10}),
                         [](const auto& info) { return std::string(info.param.name); });

struct FailureCase {
    const char* name;
    std::function<void(ViewerGeometry&, QRectF&)> arrange;
    std::function<float(const ViewerGeometry&)> field;  // the assignment that fails
};

class FailingAssignment : public ::testing::TestWithParam<FailureCase> {};

// A failing assignment keeps the control's previous value; every other assignment still runs.
TEST_P(FailingAssignment, KeepsThePreviousValueAndRunsTheRest) {
    ViewerGeometry g = typicalControl();
    QRectF display(10, 20, 700, 500);
    GetParam().arrange(g, display);
    const ViewerGeometry result = ArrangeControls(g, display, kTpp);
    EXPECT_FLOAT_EQ(GetParam().field(result), GetParam().field(g));
    EXPECT_FLOAT_EQ(result.toolbar.width, g.width) << "the last step still ran";
    EXPECT_FLOAT_EQ(result.progress.top, g.status.top + 65);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FailingAssignment,
    ::testing::Values(FailureCase{"ControlShorterThanBars",
                                  [](ViewerGeometry& g, QRectF&) { g.height = 1000; },
                                  [](const ViewerGeometry& g) { return g.viewer.height; }},
                      FailureCase{"ControlNarrowerThanVerticalRuler",
                                  [](ViewerGeometry& g, QRectF&) { g.width = 200; },
                                  [](const ViewerGeometry& g) { return g.viewer.width; }},
                      FailureCase{"OffsetBeyondSixteenBits",
                                  [](ViewerGeometry& g, QRectF&) { g.horRulerOffset = 40000; },
                                  [](const ViewerGeometry& g) { return g.horRuler.width; }},
                      FailureCase{"VerticalOffsetBeyondSixteenBits",
                                  [](ViewerGeometry& g, QRectF&) { g.vertRulerOffset = -40000; },
                                  [](const ViewerGeometry& g) { return g.vertRuler.height; }},
                      FailureCase{"DisplayTooWideForAControl",
                                  [](ViewerGeometry&, QRectF& d) { d.setWidth(2e9); },
                                  [](const ViewerGeometry& g) { return g.horRuler.width; }},
                      FailureCase{"DisplayPositionNotANumber",
                                  [](ViewerGeometry&, QRectF& d) {
                                      d.moveLeft(std::numeric_limits<double>::quiet_NaN());
                                  },
                                  [](const ViewerGeometry& g) { return g.horRuler.left; }},
                      FailureCase{"NegativeDisplayHeight",
                                  [](ViewerGeometry&, QRectF& d) { d.setHeight(-50); },
                                  [](const ViewerGeometry& g) { return g.vertRuler.height; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ArrangeControls, OtherScreenDensitiesConvertEachAxisWithItsOwnFactor) {
    const TwipsPerPixel tpp{7.5F, 10.0F};
    const ViewerGeometry g = ArrangeControls(typicalControl(), {-40, 30, 2000, 1000}, tpp);
    EXPECT_FLOAT_EQ(g.horRuler.left, -300);
    EXPECT_FLOAT_EQ(g.horRuler.width, 2000 * 7.5F + 300);
    EXPECT_FLOAT_EQ(g.vertRuler.height, 10000);
}

}  // namespace
}  // namespace sw::viewing
