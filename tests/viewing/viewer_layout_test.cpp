#include "viewing/viewer_layout.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace sw::viewing {
namespace {

using sw::test::PrintTo;
using G = ViewerGeometry;
using C = ControlGeometry;

// A 1200 x 900 pixel viewer control as the shell arranges it before a layout: toolbar on top,
// status bar at the bottom, rulers and imaging control wherever the previous layout left them.
const G kControl{.width = 18000,
                 .height = 13500,
                 .toolbar = {0, 0, 18000, 720},
                 .horRuler = {111, 222, 333, 300},
                 .vertRuler = {444, 555, 300, 666},
                 .viewer = {1, 2, 3, 4},
                 .status = {0, 13125, 18000, 375},
                 .progress = {10320, 5, 6, 255}};

struct PlacementCase {
    const char* name;
    QRectF display;  // the imaging control's display rectangle, pixels
    TwipsPerPixel tpp{};
};

class RulerPlacement : public ::testing::TestWithParam<PlacementCase> {};

// The rulers' scales must cover exactly the sheet as it lies on screen, wherever that is; the
// horizontal ruler's first 300 twips (its Offset) lie left of its zero.
TEST_P(RulerPlacement, ScalesCoverTheDisplayedSheet) {
    const QRectF d = GetParam().display;
    const TwipsPerPixel tpp = GetParam().tpp;
    const G g = ArrangeControls(kControl, d, tpp);
    EXPECT_FLOAT_EQ(g.horRuler.left + 300.0F, g.viewer.left + static_cast<float>(d.left()) * tpp.x);
    EXPECT_FLOAT_EQ(g.horRuler.width - 300.0F, static_cast<float>(d.width()) * tpp.x);
    EXPECT_FLOAT_EQ(g.vertRuler.top, g.viewer.top + static_cast<float>(d.top()) * tpp.y);
    EXPECT_FLOAT_EQ(g.vertRuler.height, static_cast<float>(d.height()) * tpp.y);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RulerPlacement,
    ::testing::Values(PlacementCase{"FittedNarrowerThanViewer", {235, 0, 710, 820}},
                      PlacementCase{"ZoomedAndPannedUpLeft", {-2400, -1300, 7200, 4800}},
                      PlacementCase{"NoImage", {0, 0, 0, 0}},
                      PlacementCase{"FractionalPixels", {10.5, 20.25, 333.3, 222.2}},
                      PlacementCase{"OtherDensityPerAxis", {-40, 30, 2000, 1000}, {7.5F, 10.0F}}),
    sw::test::byName);

// The status bar is only read; the progress bar's left edge never moves, it keeps 120 twips right
// of it and is at least 10 twips wide.
TEST(ArrangeControls, FillsTheControlAroundTheRulersAndBars) {
    const G g = ArrangeControls(kControl, {0, 0, 100, 100}, {});
    EXPECT_EQ(g.viewer, (C{300, 1020, 17700, 12105}));
    EXPECT_EQ(g.toolbar, (C{0, 0, 18000, 720}));
    EXPECT_EQ(g.progress, (C{10320, 13125 + 65, 7560, 255}));
    EXPECT_EQ(g.status, kControl.status);
    for (const auto& [controlWidth, width] :
         {std::pair{10441.0F, 1.0F}, std::pair{10440.5F, 10.0F}, std::pair{3000.0F, 10.0F}}) {
        G narrow = kControl;
        narrow.width = controlWidth;
        EXPECT_FLOAT_EQ(ArrangeControls(narrow, {}, {}).progress.width, width) << controlWidth;
    }
}

struct FailureCase {
    const char* name;
    std::function<void(G&, QRectF&)> arrange;
    C G::*control;  // the assignment that fails
    float C::*field;
};

class FailingAssignment : public ::testing::TestWithParam<FailureCase> {};

// A failing assignment keeps the control's previous value; every other assignment still runs.
TEST_P(FailingAssignment, KeepsThePreviousValueAndRunsTheRest) {
    const FailureCase& c = GetParam();
    G g = kControl;
    QRectF display(10, 20, 700, 500);
    c.arrange(g, display);
    const G result = ArrangeControls(g, display, {});
    EXPECT_FLOAT_EQ(result.*c.control.*c.field, g.*c.control.*c.field);
    EXPECT_FLOAT_EQ(result.toolbar.width, g.width) << "the last step still ran";
}

INSTANTIATE_TEST_SUITE_P(
    Table, FailingAssignment,
    ::testing::Values(
        FailureCase{"ControlShorterThanBars", [](G& g, QRectF&) { g.height = 1000; }, &G::viewer,
                    &C::height},
        FailureCase{"OffsetBeyondSixteenBits", [](G& g, QRectF&) { g.horRulerOffset = 40000; },
                    &G::horRuler, &C::width},
        FailureCase{"DisplayTooWideForAControl", [](G&, QRectF& d) { d.setWidth(2e9); },
                    &G::horRuler, &C::width},
        FailureCase{"DisplayPositionNotANumber",
                    [](G&, QRectF& d) { d.moveLeft(std::numeric_limits<double>::quiet_NaN()); },
                    &G::horRuler, &C::left}),
    sw::test::byName);

}  // namespace
}  // namespace sw::viewing
