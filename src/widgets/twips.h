#pragma once

#include <cstdint>
#include <optional>

// Units of the widgets. Every control geometry and drawing coordinate the widgets accept is in
// twips (1440 per inch); the screen turns them into pixels with its twips per pixel, which is
// 1440 / the screen's logical DPI (15 at 96 DPI). All conversions go through the functions here so
// that a caller (the `sheetwise widgets` gallery, tests) can pin the factor to a known value.
// UI thread only.
namespace sw::widgets {

// Round to the nearest integer, halves to the even neighbour (2.5 -> 2, 4.5 -> 4, 3.5 -> 4).
double roundHalfEven(double value);

// roundHalfEven into 32 bits; values outside the 32-bit range (and NaN) give std::nullopt, the
// conversion the original runtime refuses with an overflow.
std::optional<std::int32_t> toInt32HalfEven(double value);

// Twips per screen pixel along x and along y: the pinned value if one is set, otherwise
// 1440 / the primary screen's logical DPI, and 15 when there is no screen.
double twipsPerPixelX();
double twipsPerPixelY();

// Pins both factors (for example to 15, the 96 DPI figure) until reset with std::nullopt.
// Values that are not positive are ignored.
void pinTwipsPerPixel(std::optional<double> twipsPerPixel);
// The pinned factor, if any (to restore it after pinning another).
std::optional<double> pinnedTwipsPerPixel();

// A coordinate in twips as a pixel index along x or y: twips / factor, rounded half to even.
int twipsToPixelsX(double twips);
int twipsToPixelsY(double twips);

}  // namespace sw::widgets
