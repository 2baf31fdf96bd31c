#include <gtest/gtest.h>

#include "viewing/fakes.h"
#include "viewing/view_controller.h"

namespace sw::viewing {
namespace {

using sw::test::PrintTo;
using test::FakeImagingView;
using test::FakeShell;

// One notification of the imaging control, in the order it delivers them.
struct Event {
    enum Kind { Down, Move, Up, DblClick, Band } kind;
    int button = 0;
    QPointF at{300, 300};
    QRectF band{};  // for Band: the rectangle the drag produced
};

const auto down = [](int b) { return Event{Event::Down, b}; };
const auto move = [](QPointF at) { return Event{Event::Move, 0, at}; };
const auto up = [](int b, QPointF at = {300, 300}) { return Event{Event::Up, b, at}; };
const auto dbl = [] { return Event{Event::DblClick}; };
const auto band = [](QRectF r) { return Event{Event::Band, 0, {}, r}; };

// What the gesture left: paint size mode, zoom percentage, area zooms and a suppressed click.
struct GestureCase {
    const char* name;
    std::vector<Event> events;
    const char* after;  // "fit|zoom <percent>", then " area" and " suppressed" where they apply
    bool magnifierRunning = false;
};

constexpr int kFit = ImagingView::kFit;

class Gesture : public ::testing::TestWithParam<GestureCase> {};

// Starts zoomed in at 100 % on a 36 x 24 inch sheet, so that both a zoom and a fit are visible.
TEST_P(Gesture, TriggersOneActionPerGesture) {
    FakeImagingView view;
    FakeShell shell;
    PointerState pointer;
    ViewController controller(view, shell, pointer);
    view.loadSheet(7200, 4800, 200);
    view.setPaintSizeMode(ImagingView::kZoom);
    view.magnifier = GetParam().magnifierRunning;
    for (const Event& e : GetParam().events) {
        switch (e.kind) {
            case Event::Down:
                controller.onMouseDown(e.button, 0, e.at.x(), e.at.y());
                break;
            case Event::Move:
                controller.onMouseMove(e.button, 0, e.at.x(), e.at.y());
                break;
            case Event::Up:
                controller.onMouseUp(e.button, 0, e.at.x(), e.at.y());
                break;
            case Event::DblClick:
                controller.onDblClick();
                break;
            case Event::Band:
                view.bandRect = e.band;
                controller.onRubberBandCompleted();
                break;
        }
    }
    QString after = QString("%1 %2").arg(view.mode == kFit ? "fit" : "zoom").arg(view.percent);
    after += view.log.filter("zoomToRect").isEmpty() ? "" : " area";
    after += controller.pointer().suppressClickZoom ? " suppressed" : "";
    EXPECT_EQ(after, GetParam().after);
    EXPECT_FALSE(controller.pointer().panning);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Gesture,
    ::testing::Values(
        GestureCase{"LeftClickZoomsAtThePoint", {down(1), up(1)}, "zoom 110"},
        GestureCase{"LeftDragWithOnePixelBandZoomsOnlyToTheBand",
                    {down(1), move({301, 301}), band({300, 300, 1, 1}), up(1, {301, 301})},
                    "zoom 100 area"},
        GestureCase{"DragWithZeroWidthBandZoomsAtTheRelease",
                    {down(1), move({300, 340}), band({300, 300, 0, 40}), up(1, {300, 340})},
                    "zoom 110"},
        GestureCase{"DoubleClickEndsFitted", {down(1), up(1), down(1), dbl(), up(1)}, "fit 110"},
        GestureCase{"ClickAfterDoubleClickZoomsAgain",
                    {down(1), up(1), down(1), dbl(), up(1), down(1), up(1)},
                    "zoom 120"},
        GestureCase{
            "RightDragOnlyPans", {down(2), move({310, 310}), move({330, 290}), up(2)}, "zoom 100"},
        GestureCase{"RightClickDoesNothing", {down(2), up(2)}, "zoom 100"},
        GestureCase{"LeftClickWhileRightHeldEndsThePanThenRightReleaseFits",
                    {down(2), down(1), up(1), up(2)},
                    "fit 100"},
        GestureCase{"MiddleClickFits", {down(4), up(4)}, "fit 100"},
        GestureCase{"MagnifierConsumesTheRelease", {down(1), up(1)}, "zoom 100 suppressed", true},
        GestureCase{
            "MagnifierConsumesAMiddleClick", {down(4), up(4)}, "zoom 100 suppressed", true}),
    sw::test::byName);

TEST(Gesture, ANewProjectForgetsAPanAndASuppressedClick) {
    PointerState pointer;
    pointer.pressPointer(PointerState::kRight);
    pointer.suppressNextClick();
    pointer.resetPointer();
    EXPECT_FALSE(pointer.panning);
    EXPECT_EQ(pointer.releasePointer(PointerState::kLeft, false), ReleaseAction::ZoomAtPoint);
}

}  // namespace
}  // namespace sw::viewing
