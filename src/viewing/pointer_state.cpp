#include "viewing/pointer_state.h"

#include "base/script_error.h"
#include "base/vb.h"

namespace sw::viewing {

void PointerState::pressPointer(int button) {
    if (button == kRight) {
        panning = true;
        panLastX = 0;
        panLastY = 0;
    }
}

std::optional<QPoint> PointerState::movePointer(double x, double y) {
    if (!panning) {
        return std::nullopt;
    }
    std::optional<QPoint> delta;
    try {
        if (panLastX != 0 && panLastY != 0) {
            delta = QPoint(base::vb::toInt32(x - panLastX), base::vb::toInt32(y - panLastY));
        }
        panLastX = base::vb::toInt32(x);
        panLastY = base::vb::toInt32(y);
    } catch (const base::ScriptError&) {
        // A position beyond any screen: this move neither pans nor is recorded.
    }
    return delta;
}

ReleaseAction PointerState::releasePointer(int button, bool toolActive) {
    if (toolActive) {
        suppressClickZoom = true;
        return ReleaseAction::None;
    }
    if (panning) {
        panning = false;
        return ReleaseAction::None;
    }
    if (button == kLeft) {
        const bool zoom = !suppressClickZoom;
        suppressClickZoom = false;
        return zoom ? ReleaseAction::ZoomAtPoint : ReleaseAction::None;
    }
    suppressClickZoom = false;
    return ReleaseAction::Fit;
}

void PointerState::resetPointer() {
    panning = false;
    suppressClickZoom = false;
}

}  // namespace sw::viewing
