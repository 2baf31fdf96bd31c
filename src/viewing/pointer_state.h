#pragma once

#include <cstdint>
#include <optional>

#include <QPoint>

namespace sw::viewing {

// What a pointer release on the sheet asks the viewer to do.
enum class ReleaseAction {
    None,         // consumed: end of a pan, a tool release, or a suppressed click
    ZoomAtPoint,  // a left click: zoom in about the release point
    Fit,          // another button: fit the whole sheet
};

// The pointer fields of the viewer control and the gesture rules over them: a right drag pans, a
// left click zooms at its point unless the same gesture already zoomed (rubber band, double
// click) or a tool owned the pointer, any other click fits. The viewer control carries these
// fields under their own names; positions are window pixels of the imaging control. UI thread.
struct PointerState {
    // Mouse button codes of the imaging control's notifications.
    static constexpr int kLeft = 1;
    static constexpr int kRight = 2;

    bool panning = false;  // a right-button drag is in progress
    // Pointer position at the previous move of the drag, whole pixels; 0 = none recorded. 32-bit
    // so that any screen coordinate fits.
    std::int32_t panLastX = 0;
    std::int32_t panLastY = 0;
    bool suppressClickZoom = false;  // the next left release must not zoom

    // A press: the right button starts panning with no previous position recorded.
    void pressPointer(int button);
    // A move: while panning, returns the whole-pixel distance from the previous recorded position
    // (none on the first move after the press, or when that position had a 0 coordinate, which
    // stands for "no previous position"), then records this position.
    std::optional<QPoint> movePointer(double x, double y);
    // A release, tested in this order: a tool owned the pointer; a pan ends; a left click;
    // anything else.
    ReleaseAction releasePointer(int button, bool toolActive);
    // The double-click notification (which fits the sheet) and a completed area zoom: the release
    // that ends the same gesture must not zoom again.
    void suppressNextClick() { suppressClickZoom = true; }
    // A new project: no pan in progress and no suppressed click.
    void resetPointer();
};

}  // namespace sw::viewing
