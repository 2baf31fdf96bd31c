#pragma once

#include <QRectF>
#include <QStringList>

#include "viewing/imaging_view.h"
#include "viewing/viewer_shell.h"

namespace sw::viewing::test {

// An imaging view that behaves like the imaging control's display model: with the automatic
// rectangle switch on, a change of paint size mode or zoom recomputes the display rectangle (fit
// centres the sheet in the window; zoom keeps the sheet point at the window centre in place).
// Every call that changes state is appended to `log`.
class FakeImagingView : public ImagingView {
public:
    QSizeF window{1000, 800};  // the imaging control's client size, pixels
    int loaded = 0;
    int width = 0;
    int height = 0;
    double dpiX = 200;
    double dpiY = 200;
    int mode = kFit;
    double percent = 100;
    bool autoRectOn = true;
    bool autoRepaintOn = true;
    QRectF display;
    QRectF clip;
    bool band = true;
    QRectF bandRect;
    bool magnifier = false;
    QStringList log;

    void loadSheet(int w, int h, double dpi) {
        loaded = 1;
        width = w;
        height = h;
        dpiX = dpiY = dpi;
        recompute();
    }

    int loadedImage() const override { return loaded; }
    int imageWidth() const override { return width; }
    int imageHeight() const override { return height; }
    double resolutionX() const override { return dpiX; }
    double resolutionY() const override { return dpiY; }
    void clearImage() override { loaded = width = height = 0; }
    int paintSizeMode() const override { return mode; }
    void setPaintSizeMode(int m) override {
        log << QString::asprintf("mode %d", m);
        mode = m;
        recompute();
    }
    double zoom() const override { return percent; }
    void setZoom(double p) override {
        log << QString::asprintf("zoom %g", p);
        percent = p;
        recompute();
    }
    void setAutoRect(bool on) override { autoRectOn = on; }
    void setAutoRepaint(bool on) override {
        log << QString::asprintf("autoRepaint %d", on);
        autoRepaintOn = on;
    }
    QRectF displayRect() const override { return display; }
    void setDisplayRect(const QRectF& r) override { display = r; }
    QRectF clipRect() const override { return clip; }
    void setClipRect(const QRectF& r) override { clip = r; }
    void zoomToRect(const QRectF& r) override {
        log << QString::asprintf("zoomToRect %g,%g,%g,%g", r.left(), r.top(), r.width(),
                                 r.height());
        mode = kZoom;
    }
    void repaintNow() override { log << QStringLiteral("repaint"); }
    void rotate(int angle, int flag, QRgb fill) override {
        log << QString::asprintf("rotate %d %d %u", angle, flag, fill);
        if (loaded > 0 && (angle / 9000) % 2 != 0) {
            std::swap(width, height);
            std::swap(dpiX, dpiY);
        }
    }
    bool rubberBand() const override { return band; }
    void setRubberBand(bool on) override {
        log << QString::asprintf("rubberBand %d", on);
        band = on;
    }
    QRectF rubberBandRect() const override { return bandRect; }
    void setMagnifierNumber(int, int) override { log << QStringLiteral("magnifierNumber"); }
    void setMagnifierSwitch(int, bool) override { log << QStringLiteral("magnifierSwitch"); }
    void startMagnifier(const imaging::MagnifierOptions&) override {
        log << QStringLiteral("startMagnifier");
        magnifier = true;
    }
    void stopMagnifier() override {
        log << QStringLiteral("stopMagnifier");
        magnifier = false;
    }
    bool toolActive() const override { return magnifier; }

private:
    void recompute() {
        if (!autoRectOn || width <= 0 || height <= 0) {
            return;
        }
        if (mode == kFit) {
            const double scale = std::min(window.width() / width, window.height() / height);
            const QSizeF s(width * scale, height * scale);
            display = QRectF(
                QPointF((window.width() - s.width()) / 2, (window.height() - s.height()) / 2), s);
        } else {
            const QPointF centre(window.width() / 2, window.height() / 2);
            const double fx =
                display.width() > 0 ? (centre.x() - display.left()) / display.width() : 0.5;
            const double fy =
                display.height() > 0 ? (centre.y() - display.top()) / display.height() : 0.5;
            const QSizeF s(width * percent / 100, height * percent / 100);
            display = QRectF(QPointF(centre.x() - fx * s.width(), centre.y() - fy * s.height()), s);
        }
        clip = QRectF(QPointF(0, 0), window);
    }
};

// The viewer control as the logic sees it, recording what the logic does.
class FakeShell : public ViewerShell {
public:
    TwipsPerPixel tpp{15, 15};
    QSizeF viewerTwips{15000, 12000};  // 1000 x 800 pixels at 15 twips per pixel
    std::int16_t horMax = 36;
    std::int16_t vertMax = 36;
    int refreshes = 0;
    bool magnifierButtonOn = false;
    QString panels[6];
    int progress = -1;
    int statusRepaints = 0;
    bool shown = false;
    int timerStarts = 0;
    QStringList labels;
    QStringList files;
    QString planName;
    QString sizeText;
    int planIndex = -1;
    std::int32_t projectRotation = 0;
    QStringList loads;

    TwipsPerPixel twipsPerPixel() const override { return tpp; }
    QSizeF viewerSizeTwips() const override { return viewerTwips; }
    std::int16_t rulerMax(Ruler r) const override {
        return r == Ruler::Horizontal ? horMax : vertMax;
    }
    void setRulerMax(Ruler r, std::int16_t v) override {
        (r == Ruler::Horizontal ? horMax : vertMax) = v;
    }
    void refreshRulers() override { ++refreshes; }
    void showMagnifierButton(bool on) override { magnifierButtonOn = on; }
    QString panelText(int panel) const override { return panels[panel]; }
    void setPanelText(int panel, const QString& text) override { panels[panel] = text; }
    void setProgressValue(int percent) override { progress = percent; }
    void repaintStatus() override { ++statusRepaints; }
    bool popupShown() const override { return shown; }
    void startPopupTimer() override { ++timerStarts; }
    QStringList planLabels() const override { return labels; }
    QStringList planFiles() const override { return files; }
    QString currentPlanName() const override { return planName; }
    void setCurrentPlanName(const QString& name) override { planName = name; }
    void setSheetSizeText(const QString& text) override { sizeText = text; }
    void setCurrentPlanIndex(std::int16_t index) override { planIndex = index; }
    std::int32_t rotation() const override { return projectRotation; }
    void setImage(const QString& path) override { loads << path; }
};

}  // namespace sw::viewing::test
