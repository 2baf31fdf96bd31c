#pragma once

#include <QRectF>
#include <QStringList>

#include "viewing/command_dispatcher.h"

namespace sw::viewing::test {

// An imaging view that records what the logic does. It has no display model of its own: the
// display and clip rectangles stay where the logic puts them, so their shift is the sum of the
// logic's own moves. Turns, rubber-band switches, repaints and the magnifier's start
// and stop are appended to `log`; the magnifier runs from its start to its stop. Area zooms are
// kept in `areaZooms`.
class FakeImagingView : public ImagingView {
public:
    int width = 0;  // sheet pixels; 0 while no image is held
    int height = 0;
    double dpi = 200;
    int mode = kFit;
    double percent = 100;
    bool autoRepaintOn = true;
    QRectF display;
    QRectF clip{0, 0, 1000, 800};
    QRectF bandRect;
    QList<QRectF> areaZooms;
    QStringList log;

    // Holds a sheet shown fitted to the width of a 1000 x 800 pixel window.
    void loadSheet(int w, int h, double dotsPerInch) {
        width = w;
        height = h;
        dpi = dotsPerInch;
        display = QRectF(0, 0, 1000, 1000.0 * h / w);
    }

    int loadedImage() const override { return width > 0 ? 1 : 0; }
    int imageWidth() const override { return width; }
    int imageHeight() const override { return height; }
    double resolutionX() const override { return dpi; }
    double resolutionY() const override { return dpi; }
    void clearImage() override { width = height = 0; }
    int paintSizeMode() const override { return mode; }
    void setPaintSizeMode(int m) override { mode = m; }
    double zoom() const override { return percent; }
    void setZoom(double p) override { percent = p; }
    void setAutoRect(bool) override {}
    void setAutoRepaint(bool on) override { autoRepaintOn = on; }
    QRectF displayRect() const override { return display; }
    void setDisplayRect(const QRectF& r) override { display = r; }
    QRectF clipRect() const override { return clip; }
    void setClipRect(const QRectF& r) override { clip = r; }
    void zoomToRect(const QRectF& r) override { areaZooms << r; }
    void repaintNow() override { log << "repaint"; }
    void rotate(int angle, int flag, QRgb fill) override {
        log << QString::asprintf("rotate %d %d %u", angle, flag, fill);
        if ((angle / 9000) % 2 != 0) {
            std::swap(width, height);
        }
    }
    bool rubberBand() const override { return !log.filter("rubberBand").endsWith("rubberBand 0"); }
    void setRubberBand(bool on) override { log << QString::asprintf("rubberBand %d", on); }
    QRectF rubberBandRect() const override { return bandRect; }
    void setMagnifierNumber(int, int) override {}
    void setMagnifierSwitch(int, bool) override {}
    void startMagnifier(const imaging::MagnifierOptions&) override { log << "startMagnifier"; }
    void stopMagnifier() override { log << "stopMagnifier"; }
    bool toolActive() const override {
        return log.lastIndexOf("startMagnifier") > log.lastIndexOf("stopMagnifier");
    }
};

// The viewer control as the logic sees it (15 twips per pixel), recording what the logic does.
class FakeShell : public ViewerShell {
public:
    std::int16_t maxima[2] = {36, 36};  // horizontal, vertical ruler
    int refreshes = 0;
    bool magnifierButtonOn = false;
    QString panels[6];
    int progress = -1;
    int statusRepaints = 0;
    QStringList labels;
    QString planName;
    QString sizeText;
    int planIndex = -1;
    std::int32_t projectRotation = 0;

    TwipsPerPixel twipsPerPixel() const override { return {15, 15}; }
    QSizeF viewerSizeTwips() const override { return {15000, 12000}; }
    std::int16_t rulerMax(Ruler r) const override { return maxima[int(r)]; }
    void setRulerMax(Ruler r, std::int16_t v) override { maxima[int(r)] = v; }
    QString rulers() const { return QString("%1x%2").arg(maxima[0]).arg(maxima[1]); }
    void refreshRulers() override { ++refreshes; }
    void showMagnifierButton(bool on) override { magnifierButtonOn = on; }
    QString panelText(int panel) const override { return panels[panel]; }
    void setPanelText(int panel, const QString& text) override { panels[panel] = text; }
    void setProgressValue(int percent) override { progress = percent; }
    void repaintStatus() override { ++statusRepaints; }
    bool popupShown() const override { return false; }
    void startPopupTimer() override {}
    QStringList planLabels() const override { return labels; }
    QStringList planFiles() const override { return {}; }
    QString currentPlanName() const override { return planName; }
    void setCurrentPlanName(const QString& name) override { planName = name; }
    void setSheetSizeText(const QString& text) override { sizeText = text; }
    void setCurrentPlanIndex(std::int16_t index) override { planIndex = index; }
    std::int32_t rotation() const override { return projectRotation; }
    void setImage(const QString&) override {}
};

// A 36 x 24 inch sheet at 200 dots per inch (unless `loaded` is false) in the fake imaging view,
// with the viewing logic over it.
struct Fixture {
    FakeImagingView view;
    FakeShell shell;
    PointerState pointer;
    ViewController controller{view, shell, pointer};
    CommandDispatcher dispatcher{controller};

    explicit Fixture(bool loaded = true) {
        if (loaded) {
            view.loadSheet(7200, 4800, 200);
        }
    }
};

}  // namespace sw::viewing::test
