#include "viewing/view_controller.h"

#include <gtest/gtest.h>

#include "viewing/fakes.h"
#include "viewing/qt_printers.h"

namespace sw::viewing {
namespace {

using test::PrintTo;

using test::FakeImagingView;
using test::FakeShell;

// A 36 x 24 inch sheet at 200 dots per inch in a 1000 x 800 pixel viewer.
struct Fixture {
    FakeImagingView view;
    FakeShell shell;
    PointerState pointer;
    ViewController controller{view, shell, pointer};

    Fixture() { view.loadSheet(7200, 4800, 200); }
    void zoomMode(double percent) {
        view.setPaintSizeMode(ImagingView::kZoom);
        view.setZoom(percent);
    }
};

struct StepCase {
    const char* name;
    int startMode;
    double startPercent;
    bool in;
    int mode;
    double percent;
};

class ZoomStep : public ::testing::TestWithParam<StepCase> {};

TEST_P(ZoomStep, StepsByTenAndFitsAtTenOrBelow) {
    Fixture f;
    f.view.mode = GetParam().startMode;
    f.view.percent = GetParam().startPercent;
    GetParam().in ? f.controller.ZoomIn() : f.controller.ZoomOut();
    EXPECT_EQ(f.view.mode, GetParam().mode);
    EXPECT_FLOAT_EQ(static_cast<float>(f.view.percent), static_cast<float>(GetParam().percent));
    EXPECT_EQ(f.shell.refreshes, 1);
}

constexpr int kFit = ImagingView::kFit;
constexpr int kZoom = ImagingView::kZoom;

INSTANTIATE_TEST_SUITE_P(
    Table, ZoomStep,
    ::testing::Values(StepCase{"InFromFitContinuesFromTheHeldPercent", kFit, 100, true, kZoom, 110},
                      StepCase{"InHasNoUpperLimit", kZoom, 3200, true, kZoom, 3210},
                      StepCase{"OutFromHundred", kZoom, 100, false, kZoom, 90},
                      StepCase{"OutFromTwenty", kZoom, 20, false, kZoom, 10},
                      StepCase{"OutAtTenFits", kZoom, 10, false, kFit, 10},
                      StepCase{"OutFromTenAndAHalf", kZoom, 10.5, false, kZoom, 0.5},
                      StepCase{"OutFromAHalfFits", kZoom, 0.5, false, kFit, 0.5},
                      StepCase{"OutFromFitStepsTheHeldPercent", kFit, 100, false, kZoom, 90}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ZoomOut, TenStepsFromHundredEndFitted) {
    Fixture f;
    f.zoomMode(100);
    for (int expected = 90; expected >= 10; expected -= 10) {
        f.controller.ZoomOut();
        ASSERT_EQ(f.view.mode, kZoom);
        ASSERT_DOUBLE_EQ(f.view.percent, expected);
    }
    f.controller.ZoomOut();
    EXPECT_EQ(f.view.mode, kFit);
    EXPECT_DOUBLE_EQ(f.view.percent, 10);
}

// Where the control alone puts the sheet after a zoom step of 10, without any shift.
QRectF zoomedWithoutShift(const FakeImagingView& start) {
    FakeImagingView reference = start;
    reference.setPaintSizeMode(kZoom);
    reference.setZoom(start.percent + 10);
    return reference.display;
}

TEST(ZoomAtPoint, InFitModeShiftsByTheOffsetsGrownByTenPercent) {
    Fixture f;
    const QRectF expected = zoomedWithoutShift(f.view).translated(55, 22);
    f.controller.ZoomAtPoint(QPointF(500 - 50, 400 - 20));  // 50 left of and 20 above the centre
    EXPECT_EQ(f.view.mode, kZoom);
    EXPECT_DOUBLE_EQ(f.view.percent, 110);
    EXPECT_NEAR(f.view.display.left(), expected.left(), 1e-4);
    EXPECT_NEAR(f.view.display.top(), expected.top(), 1e-4);
    EXPECT_NEAR(f.view.clip.left(), 55, 1e-4) << "the clip rectangle moves with the sheet";
    EXPECT_NEAR(f.view.clip.top(), 22, 1e-4);
}

TEST(ZoomAtPoint, InZoomModeAtTheCentreOnlyChangesThePercentage) {
    Fixture f;
    f.zoomMode(100);
    const QRectF expected = zoomedWithoutShift(f.view);
    f.controller.ZoomAtPoint(QPointF(500, 400));
    EXPECT_DOUBLE_EQ(f.view.percent, 110);
    EXPECT_EQ(f.view.display, expected);
}

TEST(ZoomAtPoint, InZoomModeBringsTheClickedSheetPointToTheCentre) {
    Fixture f;
    f.zoomMode(100);
    const QPointF click(200, 650);
    const QPointF sheetPoint = click - f.view.display.topLeft();  // sheet pixels at 100 %
    f.controller.ZoomAtPoint(click);
    const QPointF onScreen = f.view.display.topLeft() + sheetPoint * 1.1;
    EXPECT_NEAR(onScreen.x(), 500, 1e-6);
    EXPECT_NEAR(onScreen.y(), 400, 1e-6);
    EXPECT_TRUE(f.view.autoRepaintOn) << "repainting is switched back on";
    EXPECT_EQ(f.shell.refreshes, 1);
}

TEST(ZoomAboutPoint, WheelKeepsTheSheetPointUnderThePointer) {
    Fixture f;
    f.zoomMode(100);
    const QPointF pointer(130, 720);
    const QPointF fraction((pointer.x() - f.view.display.left()) / f.view.display.width(),
                           (pointer.y() - f.view.display.top()) / f.view.display.height());
    for (bool in : {true, true, false}) {
        f.controller.ZoomAboutPoint(pointer, in);
        const QRectF d = f.view.display;
        EXPECT_NEAR(d.left() + fraction.x() * d.width(), pointer.x(), 1e-6);
        EXPECT_NEAR(d.top() + fraction.y() * d.height(), pointer.y(), 1e-6);
    }
    EXPECT_DOUBLE_EQ(f.view.percent, 110);
}

TEST(ZoomAboutPoint, WheelInFromFitStartsAtTheFittedScaleAndOutBelowTenFits) {
    Fixture f;  // fitted: 7200 pixels shown 1000 wide, about 13.9 %
    f.controller.ZoomAboutPoint(QPointF(500, 400), true);
    EXPECT_EQ(f.view.mode, kZoom);
    EXPECT_NEAR(f.view.percent, 1000.0 / 7200 * 100 + 10, 1e-4);
    f.controller.ZoomAboutPoint(QPointF(500, 400), false);
    f.controller.ZoomAboutPoint(QPointF(500, 400), false);
    EXPECT_EQ(f.view.mode, kZoom);
    EXPECT_LT(f.view.percent, 10);
    f.controller.ZoomAboutPoint(QPointF(500, 400), false);
    EXPECT_EQ(f.view.mode, kFit);
}

TEST(RubberBand, ZoomsToTheBandRoundedToWholePixels) {
    Fixture f;
    f.view.bandRect = QRectF(10.5, 11.5, 2.5, 1.4);
    EXPECT_TRUE(f.controller.AreaZoom());
    EXPECT_TRUE(f.view.log.contains(QStringLiteral("zoomToRect 10,12,2,1")));
    EXPECT_TRUE(f.controller.pointer().suppressClickZoom);
    EXPECT_EQ(f.shell.refreshes, 1);
}

TEST(RubberBand, ThinnerThanOnePixelDoesNotZoomButRefreshes) {
    Fixture f;
    f.view.bandRect = QRectF(10, 10, 300, 0.4);
    EXPECT_FALSE(f.controller.AreaZoom());
    EXPECT_FALSE(f.controller.pointer().suppressClickZoom);
    EXPECT_EQ(f.shell.refreshes, 1);
}

struct RotationCase {
    const char* name;
    int width;
    int height;
    double dpi;
    std::int32_t rotation;
    std::int16_t horMax;
    std::int16_t vertMax;
};

class ResetAfterLoad : public ::testing::TestWithParam<RotationCase> {};

TEST_P(ResetAfterLoad, FitsTurnsAndSetsTheRulerMaximaInWholeInches) {
    Fixture f;
    const RotationCase& c = GetParam();
    f.view.loadSheet(c.width, c.height, c.dpi);
    f.zoomMode(250);
    f.view.band = false;
    f.shell.projectRotation = c.rotation;
    f.controller.ResetAfterLoad();
    EXPECT_EQ(f.view.mode, kFit);
    EXPECT_TRUE(f.view.band);
    EXPECT_TRUE(f.view.log.contains(QStringLiteral("rotate %1 1 0").arg(c.rotation * 100)));
    EXPECT_EQ(f.shell.horMax, c.horMax);
    EXPECT_EQ(f.shell.vertMax, c.vertMax);
    EXPECT_EQ(f.shell.refreshes, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ResetAfterLoad,
    ::testing::Values(RotationCase{"ThirtySixByTwentyFour", 7200, 4800, 200, 0, 36, 24},
                      RotationCase{"HalfInchRoundsToEvenDown", 7300, 4800, 200, 0, 36, 24},
                      RotationCase{"HalfInchRoundsToEvenUp", 7500, 4900, 200, 0, 38, 24},
                      RotationCase{"ProjectRotationReadsTurnedSize", 7200, 4800, 200, 90, 24, 36},
                      RotationCase{"HalfTurnKeepsTheSize", 14400, 9600, 400, 180, 36, 24},
                      RotationCase{"MinusNinety", 7200, 4800, 200, -90, 24, 36}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ResetAfterLoad, ASheetTooLargeForTheRulerKeepsItsMaximumAndStillRefreshes) {
    Fixture f;
    f.view.loadSheet(7000000, 4800, 200);  // 35000 inches: beyond a 16-bit maximum
    f.shell.horMax = 17;
    f.controller.ResetAfterLoad();
    EXPECT_EQ(f.shell.horMax, 17);
    EXPECT_EQ(f.shell.vertMax, 24);
    EXPECT_EQ(f.shell.refreshes, 1);
}

TEST(ResetAfterFileOpen, FitsWithoutTurningAndTakesTheSheetAsItIs) {
    Fixture f;
    f.view.loadSheet(4800, 7300, 200);  // saved after a quarter turn: 24 x 36.5 inches
    f.zoomMode(300);
    f.view.band = false;
    f.shell.projectRotation = 90;
    f.controller.ResetAfterFileOpen();
    EXPECT_EQ(f.view.mode, kFit);
    EXPECT_TRUE(f.view.band);
    EXPECT_TRUE(f.view.log.filter(QStringLiteral("rotate")).isEmpty());
    EXPECT_EQ(f.shell.sizeText, QStringLiteral("24.0 x 36.5"));
    EXPECT_EQ(f.shell.horMax, 24);
    EXPECT_EQ(f.shell.vertMax, 36);
    EXPECT_EQ(f.shell.refreshes, 1);
}

TEST(RotateQuarter, ExchangesTheRulerMaximaAndBack) {
    Fixture f;
    f.shell.horMax = 36;
    f.shell.vertMax = 24;
    f.controller.RotateQuarter(9000);
    EXPECT_EQ(f.shell.horMax, 24);
    EXPECT_EQ(f.shell.vertMax, 36);
    f.controller.RotateQuarter(-9000);
    EXPECT_EQ(f.shell.horMax, 36);
    EXPECT_EQ(f.shell.vertMax, 24);
    EXPECT_EQ(f.view.log.filter(QStringLiteral("rotate")),
              (QStringList{QStringLiteral("rotate 9000 1 0"), QStringLiteral("rotate -9000 1 0")}));
}

TEST(RotateQuarter, WithoutAnImageChangesNothing) {
    FakeImagingView view;
    FakeShell shell;
    shell.horMax = 36;
    shell.vertMax = 24;
    PointerState pointer;
    ViewController controller(view, shell, pointer);
    controller.RotateQuarter(9000);
    EXPECT_EQ(shell.horMax, 36);
    EXPECT_EQ(shell.vertMax, 24);
    EXPECT_TRUE(view.log.filter(QStringLiteral("rotate")).isEmpty());
    EXPECT_EQ(shell.refreshes, 0);
}

TEST(Pan, TheFirstMoveOnlyRecordsThenTheSheetFollowsThePointer) {
    Fixture f;
    f.zoomMode(100);
    const QRectF start = f.view.display;
    f.controller.onMouseDown(2, 0, 500, 400);
    f.controller.onMouseMove(2, 0, 500, 400);
    EXPECT_EQ(f.view.display, start);
    f.controller.onMouseMove(2, 0, 470.4, 410.6);  // rounded: 470, 411
    f.controller.onMouseMove(2, 0, 450, 420);
    EXPECT_EQ(f.view.display, start.translated(-50, 20));
    EXPECT_EQ(f.view.clip.topLeft(), QPointF(-50, 20));
    EXPECT_EQ(f.shell.refreshes, 2);
    f.controller.onMouseUp(2, 0, 450, 420);
    f.controller.onMouseMove(0, 0, 300, 300);
    EXPECT_EQ(f.view.display, start.translated(-50, 20)) << "released: no more panning";
    EXPECT_EQ(f.view.mode, kZoom) << "a right drag never fits";
}

struct ZeroCase {
    const char* name;
    QPointF first;
};

class PanFromZero : public ::testing::TestWithParam<ZeroCase> {};

// 0 stands for "no previous position", so a first position on either axis' zero line is not a
// starting point for the next move.
TEST_P(PanFromZero, DoesNotMoveOnTheFollowingMove) {
    Fixture f;
    f.zoomMode(100);
    const QRectF start = f.view.display;
    f.controller.onMouseDown(2, 0, 0, 0);
    f.controller.onMouseMove(2, 0, GetParam().first.x(), GetParam().first.y());
    f.controller.onMouseMove(2, 0, 300, 300);
    EXPECT_EQ(f.view.display, start);
    f.controller.onMouseMove(2, 0, 310, 320);
    EXPECT_EQ(f.view.display, start.translated(10, 20));
}

INSTANTIATE_TEST_SUITE_P(Table, PanFromZero,
                         ::testing::Values(ZeroCase{"XIsZero", {0, 250}},
                                           ZeroCase{"YIsZero", {250, 0}},
                                           ZeroCase{"RoundsToZero", {0.4, 250}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Pan, PositionsBeyondSixteenBitsStillPan) {
    Fixture f;
    f.zoomMode(100);
    const QRectF start = f.view.display;
    f.controller.onMouseDown(2, 0, 0, 0);
    f.controller.onMouseMove(2, 0, 40000, 50000);
    f.controller.onMouseMove(2, 0, 40100, 50010);
    EXPECT_EQ(f.view.display, start.translated(100, 10));
}

TEST(PointerMove, StartsThePopupTimerOnlyWhileATreeIsShown) {
    Fixture f;
    f.controller.onMouseMove(0, 0, 10, 10);
    EXPECT_EQ(f.shell.timerStarts, 0);
    f.shell.shown = true;
    f.controller.onMouseMove(0, 0, 10, 10);
    EXPECT_EQ(f.shell.timerStarts, 1);
}

TEST(LoadNotifications, ProgressShowsThePercentageAtOnce) {
    Fixture f;
    for (int percent : {0, 50, 100}) {
        f.controller.onLoadProgress(percent);
        EXPECT_EQ(f.shell.panels[2], QString::number(percent) + QLatin1Char('%'));
        EXPECT_EQ(f.shell.progress, percent);
    }
    EXPECT_EQ(f.shell.statusRepaints, 3);
}

TEST(LoadNotifications, LoadedShowsNameSizeAndCounterThenClearsTheProgress) {
    Fixture f;
    f.shell.labels = {QStringLiteral("c1~A-101 Site"), QStringLiteral("c2~A-102 Roof"), {}};
    f.shell.planName = QStringLiteral("A-102 Roof");
    f.shell.panels[1] = QStringLiteral("s2.tif");
    f.shell.progress = 100;
    f.shell.projectRotation = 90;
    f.zoomMode(300);
    f.controller.onImageLoaded();
    EXPECT_EQ(f.shell.panels[1], QStringLiteral("A-102 Roof"));
    EXPECT_EQ(f.shell.panels[2], QStringLiteral("36.0 x 24.0")) << "size before the rotation";
    EXPECT_EQ(f.shell.sizeText, QStringLiteral("36.0 x 24.0"));
    EXPECT_EQ(f.shell.panels[3], QStringLiteral("Plan 2 of 2"));
    EXPECT_EQ(f.shell.planIndex, 1);
    EXPECT_EQ(f.shell.progress, 0);
    EXPECT_EQ(f.view.mode, kFit);
    EXPECT_EQ(f.shell.horMax, 24);
}

TEST(LoadNotifications, AFailedLoadShowsItsReason) {
    Fixture f;
    f.shell.progress = 40;
    f.controller.onLoadFailed(QStringLiteral("HTTP 404 Not Found"));
    EXPECT_EQ(f.shell.panels[2], QStringLiteral("HTTP 404 Not Found"));
    EXPECT_EQ(f.shell.progress, 0);
}

}  // namespace
}  // namespace sw::viewing
