#include "viewing/view_controller.h"

#include <gtest/gtest.h>

#include "viewing/fakes.h"
#include "viewing/key_bindings.h"

namespace sw::viewing {
namespace {

using sw::test::PrintTo;
using test::Fixture;

constexpr int kFit = ImagingView::kFit;
constexpr int kZoom = ImagingView::kZoom;

// What the user does, as steps split at blanks, starting zoomed in at 100 % on a sheet fitted to
// the window's width: "F" the sheet is fitted (the control keeps its percent), "z<percent>" it is
// zoomed; "i" and "o" zoom in and out, "w+" and "w-" turn the wheel; "d<button>" and "u<button>"
// press and release, "m<x>,<y>" moves, "c" double-clicks, "b<left>,<top>,<width>,<height>"
// completes a rubber band; "l" the magnifier runs; "n" a new project resets the pointer.
struct StepsCase {
    const char* name;
    const char* steps;
    // "fit|zoom <percent>", then " moved <x>,<y>" (the sheet, by the logic), " area <rectangle>"
    // and " suppressed" where they apply.
    const char* after;
};

class ViewSteps : public ::testing::TestWithParam<StepsCase> {};

// A left click (released at 300, 300 in the 1000 x 800 window) zooms in and brings its point to the
// centre, from a fitted sheet by the offsets grown by ten percent, unless the same gesture already
// zoomed or the magnifier owns it. A right drag pans from its second move; 0 stands for "no
// previous position", so a first position on either axis' zero line is not a starting point;
// positions beyond 16 bits still pan.
TEST_P(ViewSteps, ZoomFitPanAndBandFollowTheirRules) {
    Fixture f;
    f.view.setPaintSizeMode(kZoom);
    for (const QString& step : QString(GetParam().steps).split(' ')) {
        const QStringList v = step.mid(1).split(',');
        const auto n = [&](int i) { return v.value(i).toDouble(); };
        const char kind = step.at(0).toLatin1();
        if (kind == 'F' || kind == 'z') {
            f.view.setPaintSizeMode(kind == 'F' ? kFit : kZoom);
            f.view.setZoom(kind == 'F' ? f.view.percent : n(0));
        } else if (kind == 'i' || kind == 'o') {
            kind == 'i' ? f.controller.ZoomIn() : f.controller.ZoomOut();
        } else if (kind == 'w') {
            f.controller.ZoomAboutPoint({130, 520}, step == "w+");
        } else if (kind == 'd') {
            f.controller.onMouseDown(int(n(0)), 0, 300, 300);
        } else if (kind == 'u') {
            f.controller.onMouseUp(int(n(0)), 0, 300, 300);
        } else if (kind == 'm') {
            f.controller.onMouseMove(0, 0, n(0), n(1));
        } else if (kind == 'c') {
            f.controller.onDblClick();
        } else if (kind == 'b') {
            f.view.bandRect = QRectF(n(0), n(1), n(2), n(3));
            f.controller.onRubberBandCompleted();
        } else if (kind == 'l') {
            f.view.startMagnifier({});
        } else {
            f.pointer.resetPointer();
        }
    }
    QString after = QString("%1 %2").arg(f.view.mode == kFit ? "fit" : "zoom").arg(f.view.percent);
    const QPointF moved = f.view.display.topLeft();
    if (moved.toPoint() != QPoint()) {
        after += QString(" moved %1,%2").arg(moved.x()).arg(moved.y());
    }
    EXPECT_EQ(f.view.clip.topLeft(), moved) << "the clip moves with the sheet";
    for (const QRectF& r : f.view.areaZooms) {
        after += QString::asprintf(" area %g,%g,%g,%g", r.x(), r.y(), r.width(), r.height());
    }
    after += f.pointer.suppressClickZoom ? " suppressed" : "";
    EXPECT_EQ(after, GetParam().after);
    EXPECT_TRUE(f.view.autoRepaintOn);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ViewSteps,
    ::testing::Values(
        StepsCase{"InFromFitContinuesFromTheHeldPercent", "F i", "zoom 110"},
        StepsCase{"InHasNoUpperLimit", "z3200 i", "zoom 3210"},
        StepsCase{"OutAtTenFits", "z10 o", "fit 10"},
        StepsCase{"OutFromTenAndAHalf", "z10.5 o", "zoom 0.5"},
        StepsCase{"OutFromFitStepsTheHeldPercent", "F o", "zoom 90"},
        StepsCase{"WheelInFromFitStartsAtTheFittedScale", "F w+ w+", "zoom 33.8889"},
        StepsCase{"WheelOut", "z20 w-", "zoom 10"},
        StepsCase{"WheelOutAtTenFits", "z10 w-", "fit 10"},
        StepsCase{"LeftClickZoomsAtThePoint", "d1 u1", "zoom 110 moved 200,100"},
        StepsCase{"LeftClickOnAFittedSheet", "F d1 u1", "zoom 110 moved 220,110"},
        StepsCase{"LeftDragZoomsOnlyToTheBandRoundedToWholePixels",
                  "d1 m301,301 b299.5,300.5,1.5,1.4 u1", "zoom 100 area 300,300,2,1"},
        StepsCase{"BandUnderOnePixelDoesNotZoom", "b10,10,300,0.4", "zoom 100"},
        StepsCase{"BandOfZeroWidthZoomsAtTheRelease", "d1 m300,340 b300,300,0,40 u1",
                  "zoom 110 moved 200,100"},
        StepsCase{"DoubleClickEndsFitted", "d1 c u1", "fit 100"},
        StepsCase{"ClickAfterDoubleClickZoomsAgain", "d1 c u1 d1 u1", "zoom 110 moved 220,110"},
        StepsCase{"RightClickDoesNothing", "d2 u2", "zoom 100"},
        StepsCase{"LeftClickWhileRightHeldEndsThePanThenRightReleaseFits", "d2 d1 u1 u2",
                  "fit 100"},
        StepsCase{"MiddleClickFits", "d4 u4", "fit 100"},
        StepsCase{"MagnifierConsumesTheRelease", "l d1 u1", "zoom 100 suppressed"},
        StepsCase{"ANewProjectForgetsAPanAndASuppressedClick", "d2 c n d1 u1",
                  "zoom 110 moved 220,110"},
        StepsCase{"PanFromTheSecondMoveAndNotAfterTheRelease",
                  "d2 m500,400 m470.4,410.6 m450,420 u2 m300,300", "zoom 100 moved -50,20"},
        StepsCase{"PanStartXIsZero", "d2 m0,250 m300,300 m310,320 u2", "zoom 100 moved 10,20"},
        StepsCase{"PanStartYRoundsToZero", "d2 m250,0.4 m300,300 m310,320 u2",
                  "zoom 100 moved 10,20"},
        StepsCase{"PanBeyondSixteenBits", "d2 m40000,50000 m40100,50010 u2",
                  "zoom 100 moved 100,10"}),
    sw::test::byName);

struct ResetCase {
    const char* name;
    int width;
    int height;
    double dpi;
    std::int32_t rotation;
    bool savedFile;      // ResetAfterFileOpen instead of ResetAfterLoad
    const char* rulers;  // horizontal x vertical maximum
};

class Reset : public ::testing::TestWithParam<ResetCase> {};

// A load turns by the project's rotation; a saved file was turned when it was saved and is taken
// as it is. A maximum that does not fit 16 bits leaves the ruler as it was (-1 here).
TEST_P(Reset, FitsTurnsAndSetsTheRulerMaximaInWholeInches) {
    Fixture f;
    const ResetCase& c = GetParam();
    f.view.loadSheet(c.width, c.height, c.dpi);
    f.view.setPaintSizeMode(kZoom);
    f.view.setRubberBand(false);
    f.shell.maxima[0] = f.shell.maxima[1] = -1;
    f.shell.projectRotation = c.rotation;
    c.savedFile ? f.controller.ResetAfterFileOpen() : f.controller.ResetAfterLoad();
    EXPECT_EQ(f.view.mode, kFit);
    EXPECT_TRUE(f.view.rubberBand());
    const QStringList turn = {QString("rotate %1 1 0").arg(c.rotation * 100)};
    EXPECT_EQ(f.view.log.filter("rotate"), c.savedFile ? QStringList() : turn);
    EXPECT_EQ(f.shell.sizeText.isEmpty(), !c.savedFile);
    EXPECT_EQ(f.shell.rulers(), c.rulers);
    EXPECT_EQ(f.shell.refreshes, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Reset,
    ::testing::Values(ResetCase{"HalfInchRoundsToEvenDown", 7300, 4800, 200, 0, false, "36x24"},
                      ResetCase{"HalfInchRoundsToEvenUp", 7500, 4900, 200, 0, false, "38x24"},
                      ResetCase{"RotationReadsTurnedSize", 7200, 4800, 200, 90, false, "24x36"},
                      ResetCase{"HalfTurnKeepsTheSize", 14400, 9600, 400, 180, false, "36x24"},
                      ResetCase{"TooLargeForTheRuler", 7000000, 4800, 200, 0, false, "-1x24"},
                      ResetCase{"SavedFileIsNotTurned", 4800, 7300, 200, 90, true, "24x36"}),
    sw::test::byName);

// Progress shows at once; the loaded sheet's size is read before the project's rotation.
TEST(LoadNotifications, ProgressThenNameSizeAndCounter) {
    Fixture f;
    f.controller.onLoadProgress(50);
    EXPECT_EQ(f.shell.panels[2], "50%");
    EXPECT_EQ(f.shell.progress, 50);
    EXPECT_EQ(f.shell.statusRepaints, 1);
    f.shell.labels = {"c1~A-101 Site", "c2~A-102 Roof", {}};
    f.shell.planName = "A-102 Roof";
    f.shell.projectRotation = 90;
    f.controller.onImageLoaded();
    EXPECT_EQ(
        (QStringList{f.shell.panels[1], f.shell.panels[2], f.shell.panels[3], f.shell.rulers()}),
        (QStringList{"A-102 Roof", "36.0 x 24.0", "Plan 2 of 2", "24x36"}));
    EXPECT_EQ(f.shell.planIndex, 1);
    EXPECT_EQ(f.shell.progress, 0);
}

// Whatever the word, the magnifier is stopped and its button restored before anything else.
TEST(DoCommand, EveryWordRunsThePreambleFirst) {
    const QStringList preamble = {"stopMagnifier", "rubberBand 1", "repaint"};
    for (const char* word : {"In", "Out", "Normal", "Magnify", "Turn Off", "+90", "-90", "Previous",
                             "Next", "Plans", "Saved", "Print", "Save", "next", "", "Unknown"}) {
        SCOPED_TRACE(word);
        Fixture f;
        f.dispatcher.DoCommand("Magnify");
        f.view.log.clear();
        f.dispatcher.DoCommand(word);
        EXPECT_EQ(f.view.log.mid(0, 3), preamble);
        EXPECT_EQ(f.view.toolActive(), QString(word) == "Magnify");
        EXPECT_EQ(f.shell.magnifierButtonOn, QString(word) == "Magnify");
    }
}

// Without an image "Magnify" starts no lens but still shows "Turn Off", and "+90" and "-90" turn
// nothing; with one they turn a quarter each way and exchange the rulers' maxima.
TEST(DoCommand, MagnifyAndQuarterTurnsActOnlyOnAnImage) {
    for (const bool loaded : {true, false}) {
        Fixture f(loaded);
        f.dispatcher.DoCommand("Magnify");
        EXPECT_EQ(f.view.toolActive(), loaded);
        EXPECT_TRUE(f.shell.magnifierButtonOn);
        f.dispatcher.DoCommand("Turn Off");
        EXPECT_FALSE(f.shell.magnifierButtonOn);
        f.shell.maxima[1] = 24;
        f.dispatcher.DoCommand("+90");
        EXPECT_EQ(f.shell.rulers(), loaded ? "24x36" : "36x24");
        f.dispatcher.DoCommand("-90");
        EXPECT_EQ(f.shell.rulers(), "36x24");
        const QStringList turns = {"rotate 9000 1 0", "rotate -9000 1 0"};
        EXPECT_EQ(f.view.log.filter("rotate"), loaded ? turns : QStringList());
    }
}

// A hand-off runs after the preamble, for its exact word only; a later registration replaces it
// and an empty one removes it. Built-in words cannot be taken over.
TEST(HandOff, RunsForItsExactWordUntilReplacedOrRemoved) {
    Fixture f;
    QStringList calls;
    ASSERT_TRUE(f.dispatcher.registerHandOff("Prefs", [&] { calls << "first"; }));
    f.dispatcher.registerHandOff("Prefs", [&] { calls << "second after " + f.view.log.last(); });
    f.dispatcher.DoCommand("prefs");
    f.dispatcher.DoCommand("Prefs");
    f.dispatcher.registerHandOff("Prefs", {});
    f.dispatcher.DoCommand("Prefs");
    EXPECT_EQ(calls, QStringList{"second after repaint"});
    EXPECT_FALSE(f.dispatcher.registerHandOff("Next", [] {}));
}

// The action of a key written as a host call writes it: a toolbar caption, "pan x,y" (the way
// the sheet moves), "none", or "unparsed".
QString action(const QString& keyName) {
    const std::optional<QKeyCombination> key = parseKeyName(keyName);
    const std::optional<KeyAction> action = key ? keyBinding(*key) : std::nullopt;
    if (!action) {
        return key ? "none" : "unparsed";
    }
    const QPoint pan = action->panDirection;
    return pan.isNull() ? action->command : QString("pan %1,%2").arg(pan.x()).arg(pan.y());
}

// Rows "key > action", split at "|"; " > unparsed" is the empty key name.
TEST(KeyBinding, MapsEachKeyToItsCommandOrPan) {
    const QString table =
        "+ > In|= > In|- > Out|0 > Normal|PgUp > Previous|pgdown > Next|r > +90|shift+r > -90|"
        "ctrl+s > Save|Ctrl+P > Print|m > Measure|ctrl+m > none|s > none|ctrl+r > none|"
        "left > pan 1,0|Right > pan -1,0|up > pan 0,1|down > pan 0,-1|alt+left > none|"
        " > unparsed|   > unparsed|nosuchkey > unparsed|ctrl+s, ctrl+p > unparsed";
    for (const QString& row : table.split('|')) {
        const QStringList keyAndAction = row.split(" > ");
        EXPECT_EQ(action(keyAndAction[0]), keyAndAction[1]) << row.toStdString();
    }
}

TEST(KeyBinding, KeypadKeysActLikeTheirMainKeyboardTwins) {
    EXPECT_EQ(keyBinding(QKeyCombination(Qt::KeypadModifier, Qt::Key_0))->command, "Normal");
}

TEST(WindowTitle, LeavesOutEmptyParts) {
    EXPECT_EQ(windowTitle("Main Street School", "A-101"),
              "Sheetwise \u2014 Main Street School \u2014 A-101");
    EXPECT_EQ(windowTitle(QString(), "A-101"), "Sheetwise \u2014 A-101");
    EXPECT_EQ(windowTitle(" ", QString()), "Sheetwise");
}

}  // namespace
}  // namespace sw::viewing
