#pragma once

#include <functional>

#include <QImage>
#include <QRectF>

#include "imaging/sheet.h"

// The one drawing path of the engine, behind the imaging control, its magnifier, `sheetwise
// render` and the resampling of bilevel sheets.
//
// Placement: the whole sheet is drawn into `display`, a rectangle in output pixels that may extend
// beyond the output on any side; output pixel (x, y) covers the sheet area
// [(x - left) * sx, (x + 1 - left) * sx) with sx = sheet width / display width (likewise in y).
//
// Method: views at 1:1 and closer are drawn straight from the pixels (nearest neighbour). Reduced
// views are area averages ("scale to grey" for bilevel sheets, so that one-pixel lines stay
// visible): taken from the packed bits of the visible part when the reduction is below 4:1, and
// from the sheet's cached pyramid level otherwise, so a frame costs about as much as its output
// size whatever the sheet size. Only the part of the sheet that falls on the requested region is
// computed. Pure functions; any thread (the pyramid cache is thread-safe).
namespace sw::imaging {

// Sheet values of one output row: channels bytes per pixel for pixels [x0, x1) (x0 == x1 when the
// row misses the sheet). Bilevel sheets give ink coverage (0 paper .. 255 ink), grey sheets the
// grey value, colour sheets the four bytes of the 32-bit pixel in memory order.
struct RowSpan {
    int y = 0;
    int x0 = 0;
    int x1 = 0;
    int channels = 1;
    const uchar* values = nullptr;  // values[(x - x0) * channels + c]
};
using RowSink = std::function<void(const RowSpan&)>;

// Computes the rows of `region` (output pixels) in increasing y and hands each to `sink`.
void sampleSheet(const Sheet& sheet, const QRectF& display, const QRect& region,
                 const RowSink& sink);

// Draws the sheet into `target` (Format_RGB32 or Format_ARGB32_Premultiplied; opaque pixels) with
// its top-left output pixel at `origin` in display coordinates: target pixel (i, j) is output pixel
// (origin.x + i, origin.y + j). Output pixels outside the sheet get `background`. Bilevel sheets
// are drawn in their paper and ink colours.
void renderSheet(const Sheet& sheet, QImage& target, const QPoint& origin, const QRectF& display,
                 QRgb background);

// Convenience: a new Format_RGB32 image of `size` with the sheet drawn into `display`.
QImage renderSheet(const Sheet& sheet, const QSize& size, const QRectF& display, QRgb background);

}  // namespace sw::imaging
