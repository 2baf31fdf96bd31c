#pragma once

#include <QRectF>
#include <QRgb>

#include "imaging/sheet.h"

// Transforms of whole sheets. Each returns a new sheet and leaves the input alone. Bilevel sheets
// stay packed throughout (quarter turns move 8 x 8 bit blocks; nothing expands the whole sheet).
// Throw ImagingError when the result cannot be made (out of memory, empty crop). A drawing overlay
// of the sheet (sheet_overlay.h) follows quarter turns, resampling, crops and recolouring. Any
// thread.
namespace sw::imaging {

// Turned by hundredths of a degree, positive clockwise on screen. Multiples of 9000 are exact
// quarter turns (width/height and the two resolutions swap on odd ones). Other angles give the
// bounding box of the turned sheet, its corners filled with `fill` (for a bilevel sheet: with the
// paper or the ink, whichever is nearer to `fill` in brightness).
Sheet rotated(const Sheet& sheet, int hundredthsOfDegree, QRgb fill);

// Resampled to width x height pixels: area averaging when shrinking (a bilevel sheet stays bilevel,
// with a threshold that keeps one-pixel lines), nearest neighbour when enlarging. The resolution
// is kept unless keepPhysicalSize, in which case it is scaled so the size in inches stays.
Sheet resampled(const Sheet& sheet, int width, int height, bool keepPhysicalSize);

// The part inside `rect` (sheet pixels, rounded to whole pixels and clamped to the sheet).
Sheet cropped(const Sheet& sheet, const QRectF& rect);

// Reduced to one bit per pixel with a two-colour palette: dark pixels (grey below 128, or the ink
// of a bilevel sheet) become `ink`, the rest `paper`. No dithering. Resolution kept.
Sheet reducedToBilevel(const Sheet& sheet, QRgb ink, QRgb paper);

}  // namespace sw::imaging
