#pragma once

#include <QRectF>
#include <QRgb>
#include <QSizeF>

#include "imaging/magnifier_options.h"

namespace sw::viewing {

// What the viewing logic needs of the imaging control that shows the sheet. The widget side
// adapts sw::imaging::ImagingControl to it; tests use a fake.
//
// Units: every rectangle and position is in window pixels of the imaging control; image sizes in
// sheet pixels; resolutions in dots per inch; angles in hundredths of a degree; the zoom in
// percent. Called on the UI thread only.
class ImagingView {
public:
    static constexpr int kFit = 3;   // paint size mode: whole sheet fitted into the window
    static constexpr int kZoom = 4;  // paint size mode: drawn at zoom() percent

    virtual ~ImagingView() = default;

    // 1 or more while an image is held, 0 when none.
    [[nodiscard]] virtual int loadedImage() const = 0;
    [[nodiscard]] virtual int imageWidth() const = 0;
    [[nodiscard]] virtual int imageHeight() const = 0;
    [[nodiscard]] virtual double resolutionX() const = 0;
    [[nodiscard]] virtual double resolutionY() const = 0;
    // Drops the held image (the loaded-image value becomes 0).
    virtual void clearImage() = 0;

    [[nodiscard]] virtual int paintSizeMode() const = 0;
    virtual void setPaintSizeMode(int mode) = 0;
    [[nodiscard]] virtual double zoom() const = 0;
    virtual void setZoom(double percent) = 0;
    virtual void setAutoRect(bool on) = 0;
    virtual void setAutoRepaint(bool on) = 0;

    [[nodiscard]] virtual QRectF displayRect() const = 0;
    virtual void setDisplayRect(const QRectF& rect) = 0;
    [[nodiscard]] virtual QRectF clipRect() const = 0;
    virtual void setClipRect(const QRectF& rect) = 0;
    virtual void zoomToRect(const QRectF& rect) = 0;
    virtual void repaintNow() = 0;

    // Quarter and other turns of the held image.
    virtual void rotate(int hundredthsOfDegree, int flag, QRgb fill) = 0;

    [[nodiscard]] virtual bool rubberBand() const = 0;
    virtual void setRubberBand(bool on) = 0;
    [[nodiscard]] virtual QRectF rubberBandRect() const = 0;

    virtual void setMagnifierNumber(int which, int value) = 0;
    virtual void setMagnifierSwitch(int which, bool on) = 0;
    virtual void startMagnifier(const imaging::MagnifierOptions& options) = 0;
    virtual void stopMagnifier() = 0;
    // True while a tool (the magnifier) owns the pointer; read at pointer release.
    [[nodiscard]] virtual bool toolActive() const = 0;
};

}  // namespace sw::viewing
