#pragma once

#include <algorithm>
#include <array>
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

// Writes a one-channel span into `out`, an output row `width` pixels long whose first pixel is
// output column `left`: each value through `lut`, the pixels the span misses `background`.
template <class Pixel, class Lut>
void writeSpan(const RowSpan& span, int left, int width, const Lut& lut, Pixel background,
               Pixel* out) {
    const int a = span.x0 - left;
    const int b = span.x1 - left;
    std::fill(out, out + a, background);
    for (int i = a; i < b; ++i) {
        out[i] = lut[span.values[i - a]];
    }
    std::fill(out + b, out + width, background);
}

// Computes the rows of `region` (output pixels) in increasing y and hands each to `sink`. The
// sheet's own pixels: an overlay attached to it plays no part.
void sampleSheet(const Sheet& sheet, const QRectF& display, const QRect& region,
                 const RowSink& sink);

// Ink coverage of something that is not a sheet's own pixels (the ink classes of a comparison),
// offered level by level like a sheet's pyramid: level k is ceil(width / 2^k) x
// ceil(height / 2^k) cells, cell (x, y) the coverage (0 paper .. 255 ink) of the 2^k x 2^k block
// of pixels at (x * 2^k, y * 2^k).
class CoverageSource {
public:
    virtual ~CoverageSource() = default;
    // Level 0, in pixels.
    [[nodiscard]] virtual QSize size() const = 0;
    // Cells [lo, hi) of row j of level k: hi - lo values, valid until the next call.
    virtual const uchar* row(int level, int j, int lo, int hi) = 0;
};

// sampleSheet() over a coverage source: the same placement, level choice and area averaging,
// one channel. `source` is used by this thread for the duration of the call.
void sampleCoverage(CoverageSource& source, const QRectF& display, const QRect& region,
                    const RowSink& sink);

// The colours the renderer gives coverage values 0..255 of ink `ink` on `paper`: coverage darkens
// along a square-root curve, so that a thin line reduced to a fraction of a pixel still reads
// clearly against the paper.
std::array<QRgb, 256> coverageColours(QRgb paper, QRgb ink);

// Draws the sheet into `target` (Format_RGB32 or Format_ARGB32_Premultiplied; opaque pixels) with
// its top-left output pixel at `origin` in display coordinates: target pixel (i, j) is output pixel
// (origin.x + i, origin.y + j). Output pixels outside the sheet get `background`. Bilevel sheets
// are drawn in their paper and ink colours. A sheet with an overlay is drawn by its overlay. A
// Format_Grayscale8 target gets the very pixels of the 32-bit drawing converted by
// QImage::convertToFormat, without a 32-bit image of the whole target in between.
void renderSheet(const Sheet& sheet, QImage& target, const QPoint& origin, const QRectF& display,
                 QRgb background);

// Convenience: a new Format_RGB32 image of `size` with the sheet drawn into `display`.
QImage renderSheet(const Sheet& sheet, const QSize& size, const QRectF& display, QRgb background);

}  // namespace sw::imaging
