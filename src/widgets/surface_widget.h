#pragma once

#include <cstdint>

#include <QImage>
#include <QWidget>

namespace sw::widgets {

// Base of the library's controls (SWRuler, SWGradientButton, SWMenuBar): a widget with its own
// drawing surface, placed by its host in twips.
//
// The surface is an image the size of the widget. On every paint the control's own drawing
// (`paintSurface`) runs into it and the widget shows it. Between paints hosts may draw into the
// surface too (through `hDC` and cBitmap::RenderBitmap, or the control's drawing methods); such
// drawing is shown at once with `showSurface` and lasts until the next paint redraws the control,
// as drawing on the original controls' windows does. The surface is reallocated, blank, when the
// widget is resized.
//
// Geometry in twips: the host states the control's place and size in twips (Left, Top, Width,
// Height); they become pixels with the twips-per-pixel factors of twips.h, rounded half to even.
// Left and Top may be negative (the parent clips). UI thread only.
class SurfaceWidget : public QWidget {
    Q_OBJECT

public:
    explicit SurfaceWidget(QWidget* parent = nullptr);
    ~SurfaceWidget() override;

    // Handle of the drawing surface; handles::drawableFromHandle gives the surface image while the
    // control lives. Stable for the control's life.
    [[nodiscard]] std::int32_t hDC() const { return m_hDC; }
    // The control's window handle (handles::windowHandle).
    [[nodiscard]] std::int32_t hWnd();

    // Place and size in twips. A setter refuses (returns false, nothing changed) a negative width
    // or height and values whose pixels do not fit the widget system; Left/Top may be negative.
    [[nodiscard]] double leftTwips() const;
    [[nodiscard]] double topTwips() const;
    [[nodiscard]] double widthTwips() const;
    [[nodiscard]] double heightTwips() const;
    bool setLeftTwips(double left);
    bool setTopTwips(double top);
    bool setWidthTwips(double width);
    bool setHeightTwips(double height);
    bool setGeometryTwips(double left, double top, double width, double height);

    // The surface as it stands (the control's drawing of the last paint plus any host drawing).
    [[nodiscard]] const QImage& surfaceImage() const { return m_surface; }

protected:
    // The control's drawing, run into the surface on every paint. Implementations draw with their
    // own short-lived painters on `surface()`, so that host drawing through hDC can interleave.
    virtual void paintSurface() = 0;

    QImage& surface() { return m_surface; }
    // Runs the control's drawing now (even while hidden) and shows the result.
    void repaintSurface();
    // Shows the surface as it stands, without running the control's drawing.
    void showSurface();

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ensureSurfaceSize();

    QImage m_surface;
    std::int32_t m_hDC = 0;
    bool m_showOnly = false;
};

}  // namespace sw::widgets
