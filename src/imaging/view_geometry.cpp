#include "imaging/view_geometry.h"

#include <algorithm>

namespace sw::imaging::view {

QRectF fittedRect(const QSizeF& sheet, const QSizeF& window) {
    if (sheet.isEmpty() || window.isEmpty()) {
        return {};
    }
    const double scale = std::min(window.width() / sheet.width(), window.height() / sheet.height());
    const QSizeF size = sheet * scale;
    return {(window.width() - size.width()) / 2, (window.height() - size.height()) / 2,
            size.width(), size.height()};
}

QRectF zoomedRect(const QSizeF& sheet, double percent, const QRectF& current,
                  const QPointF& anchor) {
    const QSizeF size = sheet * (percent / 100.0);
    if (current.isEmpty()) {
        return {anchor.x() - size.width() / 2, anchor.y() - size.height() / 2, size.width(),
                size.height()};
    }
    const double u = (anchor.x() - current.left()) / current.width();
    const double v = (anchor.y() - current.top()) / current.height();
    return {anchor.x() - u * size.width(), anchor.y() - v * size.height(), size.width(),
            size.height()};
}

Zoom zoomToRect(const QSizeF& sheet, const QRectF& current, const QRectF& band,
                const QSizeF& window) {
    Zoom z;
    if (sheet.isEmpty() || current.isEmpty() || band.isEmpty()) {
        return z;
    }
    const double factor = std::min(window.width() / band.width(), window.height() / band.height());
    z.percent = std::min(percentOf(sheet, current) * factor, kMaxZoomPercent);
    const QPointF middle = band.center();
    const double u = (middle.x() - current.left()) / current.width();
    const double v = (middle.y() - current.top()) / current.height();
    const QSizeF size = sheet * (z.percent / 100.0);
    z.display = QRectF(window.width() / 2 - u * size.width(),
                       window.height() / 2 - v * size.height(), size.width(), size.height());
    return z;
}

QRectF turnedRect(const QRectF& current, int quarterTurns, const QPointF& anchor) {
    const int turns = ((quarterTurns % 4) + 4) % 4;
    if (current.isEmpty() || turns == 0) {
        return current;
    }
    // Anchor in sheet fractions before the turn.
    const double u = (anchor.x() - current.left()) / current.width();
    const double v = (anchor.y() - current.top()) / current.height();
    double u2 = u;
    double v2 = v;
    QSizeF size = current.size();
    switch (turns) {
        case 1:  // clockwise: (u, v) -> (1 - v, u)
            u2 = 1 - v;
            v2 = u;
            size.transpose();
            break;
        case 2:
            u2 = 1 - u;
            v2 = 1 - v;
            break;
        default:  // counter-clockwise: (u, v) -> (v, 1 - u)
            u2 = v;
            v2 = 1 - u;
            size.transpose();
    }
    return {anchor.x() - u2 * size.width(), anchor.y() - v2 * size.height(), size.width(),
            size.height()};
}

double percentOf(const QSizeF& sheet, const QRectF& display) {
    return sheet.width() > 0 ? display.width() / sheet.width() * 100.0 : 100.0;
}

}  // namespace sw::imaging::view
