#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

// Arithmetic of the display rectangle: where the whole sheet lies in a window (window pixels).
// Pure functions.
namespace sw::imaging::view {

// The largest zoom, in percent: each sheet pixel a block of 16 x 16 window pixels. Closer views
// show nothing more, and the rulers that run along the whole sheet would keep growing with them.
inline constexpr double kMaxZoomPercent = 1600.0;

// The sheet fitted into the window, aspect ratio kept, centred. Empty for an empty sheet.
QRectF fittedRect(const QSizeF& sheet, const QSizeF& window);

// The display rectangle at `percent` (100 = one sheet pixel per window pixel) that keeps the sheet
// point now under `anchor` (window pixels) where it is. `current` is the display rectangle before
// the change; when it is empty the sheet is centred on the anchor.
QRectF zoomedRect(const QSizeF& sheet, double percent, const QRectF& current,
                  const QPointF& anchor);

// The zoom that makes `band` (window pixels) fill the window, at most kMaxZoomPercent, and the
// display rectangle that centres the band's middle in the window.
struct Zoom {
    double percent = 100;
    QRectF display;
};
Zoom zoomToRect(const QSizeF& sheet, const QRectF& current, const QRectF& band,
                const QSizeF& window);

// The display rectangle after the sheet is turned by quarterTurns (clockwise) in place: same
// scale, and the sheet point that was at `anchor` is still there.
QRectF turnedRect(const QRectF& current, int quarterTurns, const QPointF& anchor);

// The zoom percentage a display rectangle shows a sheet at (its horizontal scale).
double percentOf(const QSizeF& sheet, const QRectF& display);

}  // namespace sw::imaging::view
