#include "widgets/twips_painter.h"

#include <algorithm>

#include <QFontMetrics>

#include "widgets/twips.h"

namespace sw::widgets {

namespace {

constexpr double kTwipsPerPoint = 20.0;

int toPixel(double twips, double factor) {
    const double pixel = roundHalfEven(twips / factor);
    // Far outside any surface: keep within int so that QPainter clips instead of overflowing.
    return static_cast<int>(std::clamp(pixel, -1.0e8, 1.0e8));
}

}  // namespace

TwipsPainter::TwipsPainter(QPaintDevice* device)
    : m_painter(device), m_tppX(twipsPerPixelX()), m_tppY(twipsPerPixelY()) {
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
}

int TwipsPainter::pixelX(double twips) const {
    return toPixel(twips, m_tppX);
}

int TwipsPainter::pixelY(double twips) const {
    return toPixel(twips, m_tppY);
}

void TwipsPainter::setCompositionMode(QPainter::CompositionMode mode) {
    m_painter.setCompositionMode(mode);
}

void TwipsPainter::line(const QLineF& twips, const QColor& color) {
    const int x1 = pixelX(twips.x1());
    const int y1 = pixelY(twips.y1());
    const int x2 = pixelX(twips.x2());
    const int y2 = pixelY(twips.y2());
    if (x1 == x2 || y1 == y2) {
        // Axis-parallel lines, the common case, as exact pixel rows and columns.
        m_painter.fillRect(QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
                                 QPoint(std::max(x1, x2), std::max(y1, y2))),
                           color);
        return;
    }
    m_painter.setPen(QPen(color, 0));
    m_painter.drawLine(x1, y1, x2, y2);
}

void TwipsPainter::box(const QPointF& corner1, const QPointF& corner2, const QColor& color,
                       bool filled) {
    const QRect rect = QRect(QPoint(pixelX(corner1.x()), pixelY(corner1.y())),
                             QPoint(pixelX(corner2.x()), pixelY(corner2.y())))
                           .normalized();
    if (filled) {
        m_painter.fillRect(rect, color);
        return;
    }
    m_painter.setPen(QPen(color, 0));
    m_painter.setBrush(Qt::NoBrush);
    // drawRect covers width + 1 pixels with a cosmetic pen: shrink by one to keep both corners.
    m_painter.drawRect(rect.adjusted(0, 0, -1, -1));
}

void TwipsPainter::text(const QPointF& topLeft, const QString& text, const QFont& font,
                        const QColor& color) {
    const QFont screenFont = fontForScreen(font, m_tppY);
    m_painter.setFont(screenFont);
    m_painter.setPen(color);
    const QFontMetrics metrics(screenFont, m_painter.device());
    m_painter.drawText(QPoint(pixelX(topLeft.x()), pixelY(topLeft.y()) + metrics.ascent()), text);
}

void TwipsPainter::clear(const QColor& color) {
    const QPainter::CompositionMode mode = m_painter.compositionMode();
    m_painter.setCompositionMode(QPainter::CompositionMode_Source);
    m_painter.fillRect(QRect(0, 0, m_painter.device()->width(), m_painter.device()->height()),
                       color);
    m_painter.setCompositionMode(mode);
}

QFont fontForScreen(const QFont& font, double twipsPerPixel) {
    if (font.pointSizeF() <= 0 || twipsPerPixel <= 0) {
        return font;
    }
    QFont sized = font;
    sized.setPixelSize(std::max(
        1, static_cast<int>(roundHalfEven(font.pointSizeF() * kTwipsPerPoint / twipsPerPixel))));
    return sized;
}

}  // namespace sw::widgets
