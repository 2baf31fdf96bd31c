#include "viewing/view_controller.h"

#include <exception>

#include "base/script_error.h"
#include "base/vb.h"
#include "viewing/status_texts.h"

namespace sw::viewing {

namespace vb = base::vb;

void runIgnoringErrors(const std::function<void()>& step) {
    try {
        step();
    } catch (const std::exception&) {
        // Background steps are skipped on error; the next step still runs.
    }
}

ViewController::ViewController(ImagingView& view, ViewerShell& shell, PointerState& pointer)
    : m_view(view), m_shell(shell), m_pointer(pointer) {}

void ViewController::ZoomIn() {
    m_view.setAutoRect(true);
    m_view.setPaintSizeMode(ImagingView::kZoom);
    m_view.setZoom(static_cast<float>(m_view.zoom()) + 10.0F);
    m_shell.refreshRulers();
}

void ViewController::ZoomOut() {
    m_view.setAutoRect(true);
    m_view.setPaintSizeMode(ImagingView::kZoom);
    const auto percent = static_cast<float>(m_view.zoom());
    if (percent > 10.0F) {
        m_view.setZoom(percent - 10.0F);
    } else {
        m_view.setPaintSizeMode(ImagingView::kFit);
    }
    m_shell.refreshRulers();
}

void ViewController::Fit() {
    m_view.setPaintSizeMode(ImagingView::kFit);
    m_shell.refreshRulers();
}

void ViewController::moveRects(double dx, double dy) {
    m_view.setDisplayRect(m_view.displayRect().translated(dx, dy));
    m_view.setClipRect(m_view.clipRect().translated(dx, dy));
}

void ViewController::ZoomAtPoint(QPointF pixels) {
    const TwipsPerPixel tpp = m_shell.twipsPerPixel();
    const QSizeF viewer = m_shell.viewerSizeTwips();
    const bool wasFit = m_view.paintSizeMode() == ImagingView::kFit;
    const float cx = static_cast<float>(viewer.width()) / tpp.x / 2.0F;
    const float cy = static_cast<float>(viewer.height()) / tpp.y / 2.0F;
    float dx = cx - static_cast<float>(pixels.x());
    float dy = cy - static_cast<float>(pixels.y());
    m_view.setAutoRepaint(false);
    if (!wasFit) {
        moveRects(dx, dy);
    }
    m_view.setAutoRect(true);
    m_view.setPaintSizeMode(ImagingView::kZoom);
    m_view.setZoom(static_cast<float>(m_view.zoom()) + 10.0F);
    if (wasFit) {
        dx *= 1.1F;
        dy *= 1.1F;
        moveRects(dx, dy);
    }
    m_view.repaintNow();
    m_view.setAutoRepaint(true);
    m_shell.refreshRulers();
}

bool ViewController::AreaZoom() {
    bool zoomed = false;
    runIgnoringErrors([&] {
        const QRectF band = m_view.rubberBandRect();
        const std::int32_t left = vb::toInt32(band.left());
        const std::int32_t top = vb::toInt32(band.top());
        const std::int32_t width = vb::toInt32(band.width());
        const std::int32_t height = vb::toInt32(band.height());
        if (height >= 1 && width >= 1) {
            m_view.zoomToRect(QRectF(left, top, width, height));
            m_view.repaintNow();
            m_pointer.suppressNextClick();
            zoomed = true;
        }
    });
    m_shell.refreshRulers();
    return zoomed;
}

void ViewController::RotateQuarter(int hundredthsOfDegree) {
    if (m_view.loadedImage() < 1) {
        return;
    }
    m_view.rotate(hundredthsOfDegree, 1, 0);
    const std::int16_t horizontal = m_shell.rulerMax(Ruler::Horizontal);
    const std::int16_t vertical = m_shell.rulerMax(Ruler::Vertical);
    m_shell.setRulerMax(Ruler::Horizontal, vertical);
    m_shell.setRulerMax(Ruler::Vertical, horizontal);
    m_shell.refreshRulers();
}

void ViewController::ResetAfterLoad() {
    runIgnoringErrors([&] { m_view.setPaintSizeMode(ImagingView::kFit); });
    runIgnoringErrors([&] { m_view.setRubberBand(true); });
    runIgnoringErrors([&] {
        const auto angle = static_cast<std::int64_t>(m_shell.rotation()) * 100;
        m_view.rotate(vb::toInt32(static_cast<double>(angle)), 1, 0);
    });
    runIgnoringErrors([&] {
        m_shell.setRulerMax(Ruler::Horizontal,
                            vb::toInt16(m_view.imageWidth() / m_view.resolutionX()));
    });
    runIgnoringErrors([&] {
        m_shell.setRulerMax(Ruler::Vertical,
                            vb::toInt16(m_view.imageHeight() / m_view.resolutionY()));
    });
    runIgnoringErrors([&] { m_shell.refreshRulers(); });
}

void ViewController::ResetAfterFileOpen() {
    const std::optional<QString> size = SheetSizeText(m_view.imageWidth(), m_view.imageHeight(),
                                                      m_view.resolutionX(), m_view.resolutionY());
    if (!size) {
        throw base::ScriptError::divisionByZero();
    }
    m_shell.setSheetSizeText(*size);
    m_view.setPaintSizeMode(ImagingView::kFit);
    m_view.setRubberBand(true);
    m_shell.setRulerMax(Ruler::Horizontal, vb::toInt16(m_view.imageWidth() / m_view.resolutionX()));
    m_shell.setRulerMax(Ruler::Vertical, vb::toInt16(m_view.imageHeight() / m_view.resolutionY()));
    m_view.repaintNow();
    m_shell.refreshRulers();
}

void ViewController::PanBy(QPoint delta) {
    moveRects(delta.x(), delta.y());
    m_view.repaintNow();
    m_shell.refreshRulers();
}

void ViewController::ZoomAboutPoint(QPointF pixels, bool in) {
    const QRectF before = m_view.displayRect();
    const bool wasFit = m_view.paintSizeMode() == ImagingView::kFit;
    if (!in && (wasFit || static_cast<float>(m_view.zoom()) <= 10.0F)) {
        Fit();
        return;
    }
    float start = static_cast<float>(m_view.zoom());
    if (wasFit && m_view.imageWidth() > 0 && before.width() > 0) {
        start = static_cast<float>(before.width() / m_view.imageWidth() * 100.0);
    }
    m_view.setAutoRepaint(false);
    m_view.setAutoRect(true);
    m_view.setPaintSizeMode(ImagingView::kZoom);
    m_view.setZoom(in ? start + 10.0F : start - 10.0F);
    const QRectF after = m_view.displayRect();
    if (before.width() > 0 && before.height() > 0) {
        // The sheet point under the pointer, as a fraction of the sheet, stays under the pointer.
        const double fx = (pixels.x() - before.left()) / before.width();
        const double fy = (pixels.y() - before.top()) / before.height();
        moveRects(pixels.x() - fx * after.width() - after.left(),
                  pixels.y() - fy * after.height() - after.top());
    }
    m_view.repaintNow();
    m_view.setAutoRepaint(true);
    m_shell.refreshRulers();
}

void ViewController::onMouseDown(int button, int /*shift*/, double /*x*/, double /*y*/) {
    m_pointer.pressPointer(button);
}

void ViewController::panStep(double x, double y) {
    const std::optional<QPoint> delta = m_pointer.movePointer(x, y);
    if (delta) {
        PanBy(*delta);
    }
}

void ViewController::onMouseMove(int /*button*/, int /*shift*/, double x, double y) {
    if (m_tool != nullptr) {
        runIgnoringErrors([&] { m_tool->pointerMoved(QPointF(x, y)); });
    }
    runIgnoringErrors([&] {
        if (m_shell.popupShown()) {
            m_shell.startPopupTimer();
        }
    });
    if (m_pointer.panning) {
        runIgnoringErrors([&] { panStep(x, y); });
    }
}

void ViewController::onMouseUp(int button, int /*shift*/, double x, double y) {
    if (m_tool != nullptr && button == PointerState::kLeft && !m_pointer.panning &&
        !m_view.toolActive() && m_tool->takeClick(QPointF(x, y))) {
        m_pointer.suppressClickZoom = false;
        return;
    }
    switch (m_pointer.releasePointer(button, m_view.toolActive())) {
        case ReleaseAction::ZoomAtPoint:
            runIgnoringErrors([&] { ZoomAtPoint(QPointF(x, y)); });
            break;
        case ReleaseAction::Fit:
            runIgnoringErrors([&] { Fit(); });
            break;
        case ReleaseAction::None:
            break;
    }
}

void ViewController::onDblClick() {
    if (m_tool != nullptr && m_tool->takeDoubleClick()) {
        return;
    }
    m_pointer.suppressNextClick();
    runIgnoringErrors([&] { Fit(); });
}

void ViewController::onRubberBandCompleted() {
    AreaZoom();
}

void ViewController::onViewChanged() {
    runIgnoringErrors([&] { m_shell.refreshRulers(); });
}

void ViewController::onLoadProgress(int percent) {
    runIgnoringErrors([&] { m_shell.setPanelText(2, ProgressText(percent)); });
    runIgnoringErrors([&] { m_shell.setProgressValue(percent); });
    runIgnoringErrors([&] { m_shell.repaintStatus(); });
}

void ViewController::onImageLoaded() {
    runIgnoringErrors([&] {
        const std::optional<QString> size = SheetSizeText(
            m_view.imageWidth(), m_view.imageHeight(), m_view.resolutionX(), m_view.resolutionY());
        if (size) {
            m_shell.setSheetSizeText(*size);
        }
        m_shell.setPanelText(1, m_shell.currentPlanName());
        if (size) {
            m_shell.setPanelText(2, *size);
        }
    });
    ResetAfterLoad();
    runIgnoringErrors([&] { showPlanCounter(); });
    runIgnoringErrors([&] { m_shell.setProgressValue(0); });
}

// The failed sheet is the one the viewer is on: it is named and counted like a loaded one (so
// "Previous" and "Next" move from it), the reason stands in the size panel, and the earlier
// sheet is no longer shown under its name.
void ViewController::onLoadFailed(const QString& reason) {
    runIgnoringErrors([&] { m_view.clearImage(); });
    runIgnoringErrors([&] { m_shell.setRulerMax(Ruler::Horizontal, 0); });
    runIgnoringErrors([&] { m_shell.setRulerMax(Ruler::Vertical, 0); });
    runIgnoringErrors([&] { m_shell.setPanelText(1, m_shell.currentPlanName()); });
    runIgnoringErrors([&] { m_shell.setPanelText(2, reason); });
    runIgnoringErrors([&] { showPlanCounter(); });
    runIgnoringErrors([&] { m_shell.setProgressValue(0); });
    runIgnoringErrors([&] { m_shell.refreshRulers(); });
    runIgnoringErrors([&] { m_shell.repaintStatus(); });
}

void ViewController::showPlanCounter() {
    const std::optional<PlanCounter> counter =
        ShowPlanCounter(m_shell.planLabels(), m_shell.panelText(1));
    if (counter) {
        m_shell.setCurrentPlanIndex(counter->index);
        m_shell.setPanelText(3, counter->text);
    }
}

}  // namespace sw::viewing
