#include "viewing/pointer_gestures.h"

#include "host/script_error.h"
#include "host/vb.h"

namespace sw::viewing {

void PointerGestures::press(int button) {
    if (button == kRight) {
        m_panning = true;
        m_panLastX = 0;
        m_panLastY = 0;
    }
}

std::optional<QPoint> PointerGestures::move(double x, double y) {
    if (!m_panning) {
        return std::nullopt;
    }
    std::optional<QPoint> delta;
    try {
        if (m_panLastX != 0 && m_panLastY != 0) {
            delta = QPoint(host::vb::toInt32(x - m_panLastX), host::vb::toInt32(y - m_panLastY));
        }
        m_panLastX = host::vb::toInt32(x);
        m_panLastY = host::vb::toInt32(y);
    } catch (const host::ScriptError&) {
        // A position beyond any screen: this move neither pans nor is recorded.
    }
    return delta;
}

ReleaseAction PointerGestures::release(int button, bool toolActive) {
    if (toolActive) {
        m_suppressClickZoom = true;
        return ReleaseAction::None;
    }
    if (m_panning) {
        m_panning = false;
        return ReleaseAction::None;
    }
    if (button == kLeft) {
        const bool zoom = !m_suppressClickZoom;
        m_suppressClickZoom = false;
        return zoom ? ReleaseAction::ZoomAtPoint : ReleaseAction::None;
    }
    m_suppressClickZoom = false;
    return ReleaseAction::Fit;
}

void PointerGestures::reset() {
    m_panning = false;
    m_suppressClickZoom = false;
}

}  // namespace sw::viewing
