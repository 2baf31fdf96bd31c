#pragma once

#include "imaging/ui/imaging_control.h"
#include "viewing/imaging_view.h"

namespace sw::viewing {

// The viewing logic's view of a real imaging control. Does not own the control, which must
// outlive the adapter. UI thread only.
class ImagingControlView : public ImagingView {
public:
    explicit ImagingControlView(imaging::ImagingControl& control) : m_control(control) {}

    [[nodiscard]] imaging::ImagingControl& control() { return m_control; }

    int loadedImage() const override { return m_control.loadedImage(); }
    int imageWidth() const override { return m_control.imageWidth(); }
    int imageHeight() const override { return m_control.imageHeight(); }
    double resolutionX() const override { return m_control.resolutionX(); }
    double resolutionY() const override { return m_control.resolutionY(); }
    void clearImage() override { m_control.clearImage(); }
    int paintSizeMode() const override { return m_control.paintSizeMode(); }
    void setPaintSizeMode(int mode) override { m_control.setPaintSizeMode(mode); }
    double zoom() const override { return m_control.zoom(); }
    void setZoom(double percent) override { m_control.setZoom(percent); }
    void setAutoRect(bool on) override { m_control.setAutoRect(on); }
    void setAutoRepaint(bool on) override { m_control.setAutoRepaint(on); }
    QRectF displayRect() const override { return m_control.displayRect(); }
    void setDisplayRect(const QRectF& rect) override { m_control.setDisplayRect(rect); }
    QRectF clipRect() const override { return m_control.clipRect(); }
    void setClipRect(const QRectF& rect) override { m_control.setClipRect(rect); }
    void zoomToRect(const QRectF& rect) override { m_control.zoomToRect(rect); }
    void repaintNow() override { m_control.repaintNow(); }
    void rotate(int hundredthsOfDegree, int flag, QRgb fill) override {
        m_control.rotate(hundredthsOfDegree, flag, fill);
    }
    bool rubberBand() const override { return m_control.rubberBand(); }
    void setRubberBand(bool on) override { m_control.setRubberBand(on); }
    QRectF rubberBandRect() const override { return m_control.rubberBandRect(); }
    void setMagnifierNumber(int which, int value) override {
        m_control.setMagnifierNumber(which, value);
    }
    void setMagnifierSwitch(int which, bool on) override {
        m_control.setMagnifierSwitch(which, on);
    }
    void startMagnifier(const imaging::MagnifierOptions& options) override {
        m_control.startMagnifier(options);
    }
    void stopMagnifier() override { m_control.stopMagnifier(); }
    bool toolActive() const override { return m_control.toolActive(); }

private:
    imaging::ImagingControl& m_control;
};

}  // namespace sw::viewing
