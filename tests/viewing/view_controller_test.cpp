#include "viewing/view_controller.h"

#include <gtest/gtest.h>

#include "viewing/fakes.h"

namespace sw::viewing {
namespace {

using sw::test::PrintTo;
using test::FakeImagingView;
using test::FakeShell;

constexpr int kFit = ImagingView::kFit;
constexpr int kZoom = ImagingView::kZoom;

// A 36 x 24 inch sheet at 200 dots per inch in a 1000 x 800 pixel viewer.
struct Fixture {
    FakeImagingView view;
    FakeShell shell;
    PointerState pointer;
    ViewController controller{view, shell, pointer};

    explicit Fixture(bool loaded = true) {
        if (loaded) {
            view.loadSheet(7200, 4800, 200);
        }
    }
    void zoomMode(double percent) {
        view.setPaintSizeMode(kZoom);
        view.setZoom(percent);
    }
    // Where the sheet point under `pixels` lies now, as a fraction of the sheet.
    QPointF fractionAt(QPointF pixels) const {
        const QRectF& d = view.display;
        return {(pixels.x() - d.left()) / d.width(), (pixels.y() - d.top()) / d.height()};
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
    sw::test::byName);

TEST(ZoomAtPoint, InFitModeShiftsByTheOffsetsGrownByTenPercent) {
    Fixture f;
    FakeImagingView reference = f.view;  // where the control alone puts the sheet at 110 %
    reference.setPaintSizeMode(kZoom);
    reference.setZoom(110);
    f.controller.ZoomAtPoint(QPointF(500 - 50, 400 - 20));  // 50 left of and 20 above the centre
    EXPECT_EQ(f.view.mode, kZoom);
    EXPECT_DOUBLE_EQ(f.view.percent, 110);
    EXPECT_NEAR(f.view.display.left(), reference.display.left() + 55, 1e-4);
    EXPECT_NEAR(f.view.display.top(), reference.display.top() + 22, 1e-4);
    EXPECT_NEAR(f.view.clip.left(), 55, 1e-4) << "the clip rectangle moves with the sheet";
    EXPECT_NEAR(f.view.clip.top(), 22, 1e-4);
}

TEST(ZoomAtPoint, InZoomModeBringsTheClickedSheetPointToTheCentre) {
    Fixture f;
    f.zoomMode(100);
    const QPointF sheetPoint = f.fractionAt({200, 650});
    f.controller.ZoomAtPoint({200, 650});
    EXPECT_DOUBLE_EQ(f.view.percent, 110);
    EXPECT_NEAR(f.fractionAt({500, 400}).x(), sheetPoint.x(), 1e-9);
    EXPECT_NEAR(f.fractionAt({500, 400}).y(), sheetPoint.y(), 1e-9);
    EXPECT_TRUE(f.view.autoRepaintOn) << "repainting is switched back on";
    EXPECT_EQ(f.shell.refreshes, 1);
}

// In from fit starts at the fitted scale (about 13.9 %); out at 10 % or less fits.
TEST(ZoomAboutPoint, WheelKeepsTheSheetPointUnderThePointer) {
    Fixture f;
    const QPointF pointer(130, 520);
    const QPointF sheetPoint = f.fractionAt(pointer);
    const double fitted = 1000.0 / 7200 * 100;
    const std::pair<bool, double> steps[] = {{true, fitted + 10},
                                             {true, fitted + 20},
                                             {false, fitted + 10},
                                             {false, fitted},
                                             {false, fitted - 10}};
    for (const auto& [in, expected] : steps) {
        f.controller.ZoomAboutPoint(pointer, in);
        ASSERT_EQ(f.view.mode, kZoom);
        EXPECT_NEAR(f.view.percent, expected, 1e-4);
        EXPECT_NEAR(f.fractionAt(pointer).x(), sheetPoint.x(), 1e-6);
        EXPECT_NEAR(f.fractionAt(pointer).y(), sheetPoint.y(), 1e-6);
    }
    f.controller.ZoomAboutPoint(pointer, false);
    EXPECT_EQ(f.view.mode, kFit);
}

TEST(RubberBand, ZoomsToTheBandRoundedToWholePixelsWhenAtLeastOnePixel) {
    Fixture f;
    f.view.bandRect = QRectF(10, 10, 300, 0.4);
    EXPECT_FALSE(f.controller.AreaZoom());
    EXPECT_FALSE(f.controller.pointer().suppressClickZoom);
    f.view.bandRect = QRectF(10.5, 11.5, 2.5, 1.4);
    EXPECT_TRUE(f.controller.AreaZoom());
    EXPECT_EQ(f.view.log.filter("zoomToRect"), QStringList{"zoomToRect 10,12,2,1"});
    EXPECT_TRUE(f.controller.pointer().suppressClickZoom);
    EXPECT_EQ(f.shell.refreshes, 2);
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

// A maximum that does not fit 16 bits leaves the ruler as it was (-1 here).
TEST_P(ResetAfterLoad, FitsTurnsAndSetsTheRulerMaximaInWholeInches) {
    Fixture f;
    const RotationCase& c = GetParam();
    f.view.loadSheet(c.width, c.height, c.dpi);
    f.zoomMode(250);
    f.view.band = false;
    f.shell.horMax = f.shell.vertMax = -1;
    f.shell.projectRotation = c.rotation;
    f.controller.ResetAfterLoad();
    EXPECT_EQ(f.view.mode, kFit);
    EXPECT_TRUE(f.view.band);
    EXPECT_EQ(f.view.log.filter("rotate"),
              QStringList{QString("rotate %1 1 0").arg(c.rotation * 100)});
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
                      RotationCase{"MinusNinety", 7200, 4800, 200, -90, 24, 36},
                      RotationCase{"TooLargeForTheRuler", 7000000, 4800, 200, 0, -1, 24}),
    sw::test::byName);

TEST(ResetAfterFileOpen, FitsWithoutTurningAndTakesTheSheetAsItIs) {
    Fixture f;
    f.view.loadSheet(4800, 7300, 200);  // saved after a quarter turn: 24 x 36.5 inches
    f.zoomMode(300);
    f.view.band = false;
    f.shell.projectRotation = 90;
    f.controller.ResetAfterFileOpen();
    EXPECT_EQ(f.view.mode, kFit);
    EXPECT_TRUE(f.view.band);
    EXPECT_TRUE(f.view.log.filter("rotate").isEmpty());
    EXPECT_EQ(f.shell.sizeText, "24.0 x 36.5");
    EXPECT_EQ(f.shell.horMax, 24);
    EXPECT_EQ(f.shell.vertMax, 36);
}

TEST(RotateQuarter, ExchangesTheRulerMaximaAndBackOnlyWithAnImage) {
    for (const bool loaded : {true, false}) {
        Fixture f(loaded);
        f.shell.horMax = 36;
        f.shell.vertMax = 24;
        f.controller.RotateQuarter(9000);
        EXPECT_EQ(f.shell.horMax, loaded ? 24 : 36);
        f.controller.RotateQuarter(-9000);
        EXPECT_EQ(f.shell.horMax, 36);
        EXPECT_EQ(f.shell.vertMax, 24);
        const QStringList turns = {"rotate 9000 1 0", "rotate -9000 1 0"};
        EXPECT_EQ(f.view.log.filter("rotate"), loaded ? turns : QStringList());
    }
}

// A right drag: 0 stands for "no previous position", so a first position on either axis' zero
// line is not a starting point; positions beyond 16 bits still pan.
struct PanCase {
    const char* name;
    QPointF down;
    std::vector<QPointF> moves;
    QPointF shift;
};

class Pan : public ::testing::TestWithParam<PanCase> {};

TEST_P(Pan, TheSheetFollowsThePointerFromTheSecondMove) {
    Fixture f;
    f.zoomMode(100);
    const QRectF start = f.view.display;
    f.controller.onMouseDown(2, 0, GetParam().down.x(), GetParam().down.y());
    for (const QPointF& at : GetParam().moves) {
        f.controller.onMouseMove(2, 0, at.x(), at.y());
    }
    EXPECT_EQ(f.view.display, start.translated(GetParam().shift));
    EXPECT_EQ(f.view.clip.topLeft(), GetParam().shift);
    f.controller.onMouseUp(2, 0, GetParam().moves.back().x(), GetParam().moves.back().y());
    f.controller.onMouseMove(0, 0, 300, 300);
    EXPECT_EQ(f.view.display, start.translated(GetParam().shift)) << "released: no more panning";
    EXPECT_EQ(f.view.mode, kZoom) << "a right drag never fits";
}

INSTANTIATE_TEST_SUITE_P(
    Table, Pan,
    ::testing::Values(
        PanCase{"FirstMoveOnlyRecords",
                {500, 400},
                {{500, 400}, {470.4, 410.6}, {450, 420}},
                {-50, 20}},
        PanCase{"XIsZero", {0, 0}, {{0, 250}, {300, 300}, {310, 320}}, {10, 20}},
        PanCase{"YIsZero", {0, 0}, {{250, 0}, {300, 300}, {310, 320}}, {10, 20}},
        PanCase{"RoundsToZero", {0, 0}, {{0.4, 250}, {300, 300}, {310, 320}}, {10, 20}},
        PanCase{"BeyondSixteenBits", {0, 0}, {{40000, 50000}, {40100, 50010}}, {100, 10}}),
    sw::test::byName);

TEST(PointerMove, StartsThePopupTimerOnlyWhileATreeIsShown) {
    Fixture f;
    f.controller.onMouseMove(0, 0, 10, 10);
    EXPECT_EQ(f.shell.timerStarts, 0);
    f.shell.shown = true;
    f.controller.onMouseMove(0, 0, 10, 10);
    EXPECT_EQ(f.shell.timerStarts, 1);
}

// Progress shows at once; the loaded sheet's size is read before the project's rotation.
TEST(LoadNotifications, ProgressThenNameSizeAndCounter) {
    Fixture f;
    for (const int percent : {0, 50, 100}) {
        f.controller.onLoadProgress(percent);
        EXPECT_EQ(f.shell.panels[2], QString::number(percent) + '%');
        EXPECT_EQ(f.shell.progress, percent);
    }
    EXPECT_EQ(f.shell.statusRepaints, 3);
    f.shell.labels = {"c1~A-101 Site", "c2~A-102 Roof", {}};
    f.shell.planName = "A-102 Roof";
    f.shell.projectRotation = 90;
    f.controller.onImageLoaded();
    EXPECT_EQ((QStringList{f.shell.panels[1], f.shell.panels[2], f.shell.panels[3]}),
              (QStringList{"A-102 Roof", "36.0 x 24.0", "Plan 2 of 2"}));
    EXPECT_EQ(f.shell.planIndex, 1);
    EXPECT_EQ(f.shell.progress, 0);
    EXPECT_EQ(f.shell.horMax, 24);
}

}  // namespace
}  // namespace sw::viewing
