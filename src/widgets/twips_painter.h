#pragma once

#include <QColor>
#include <QFont>
#include <QLineF>
#include <QPainter>
#include <QPointF>
#include <QString>

namespace sw::widgets {

// Draws on a paint device with coordinates in twips, the way the original controls draw on their
// surfaces: every coordinate becomes a pixel index (twips / twips per pixel, rounded half to
// even), lines are one pixel wide and include both end points, boxes include both corners, and
// text is placed by its top-left corner. The twips-per-pixel factors are read once, at
// construction. Does not own the device; lives for one drawing operation on the UI thread.
class TwipsPainter {
public:
    explicit TwipsPainter(QPaintDevice* device);

    [[nodiscard]] bool isActive() const { return m_painter.isActive(); }
    [[nodiscard]] int pixelX(double twips) const;
    [[nodiscard]] int pixelY(double twips) const;

    // How drawn pixels combine with those already there (QPainter's composition and raster-op
    // modes); SourceOver by default.
    void setCompositionMode(QPainter::CompositionMode mode);

    void line(const QLineF& twips, const QColor& color);
    void box(const QPointF& corner1, const QPointF& corner2, const QColor& color, bool filled);
    // `font` in points (as the controls hold it) is drawn at its size on a screen of this factor.
    void text(const QPointF& topLeft, const QString& text, const QFont& font, const QColor& color);
    void clear(const QColor& color);

    // The underlying painter, in pixels, for drawing that has no twips form.
    QPainter& painter() { return m_painter; }

private:
    QPainter m_painter;
    double m_tppX;
    double m_tppY;
};

// A font given in points as the pixel-sized font a screen of `twipsPerPixel` shows (8.25 pt at
// 15 twips per pixel is 11 pixels). Fonts already sized in pixels are returned unchanged.
QFont fontForScreen(const QFont& font, double twipsPerPixel);

}  // namespace sw::widgets
