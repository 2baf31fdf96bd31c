#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QColor>
#include <QPaintDevice>

#include "widgets/ole_color.h"

namespace sw::widgets {

// The band arithmetic of ApplyGradient, shared by SWGradientButton and SWMenuBar, as plain values
// so that it can be checked without a window. Coordinates in twips.
//
// The area is cut into horizontal bands `step` = height / 100 twips high (rounded half to even,
// at least 1), starting at y = 0 and continuing while y <= the loop end (a 16-bit counter). Each
// band is filled with the current colour rounded to whole components; after each band the colour
// moves by one hundredth of (end - start), kept in single precision, and a component that went
// below 0 is set to 0. About 101 bands result, so the last band can lie one increment past the end
// colour.
struct GradientBand {
    std::int32_t y = 0;  // top of the band, twips
    QColor color;
};

struct GradientBands {
    std::int32_t step = 1;  // band height, twips
    std::vector<GradientBand> bands;
};

// Band height for an area `areaHeight` twips high.
std::int32_t gradientStep(double areaHeight);

// The bands from `startColor` to `endColor` (OLE colours; system colours resolved first) over an
// area `areaHeight` twips high, the loop running up to `loopEnd` rounded half to even.
// std::nullopt when the loop end does not fit a 16-bit counter: the original control's paint
// fails there and draws nothing.
std::optional<GradientBands> gradientBands(OleColor startColor, OleColor endColor,
                                           double areaHeight, double loopEnd);

// The button's bands: the loop runs to the full height.
std::optional<GradientBands> buttonGradientBands(OleColor startColor, OleColor endColor,
                                                 double areaHeight);

// The menu bar's bands: the loop stops two pixels short of the bottom, where the bar's edge lines
// go; the pixel size is the horizontal twips per pixel rounded half to even.
std::optional<GradientBands> menuBarGradientBands(OleColor startColor, OleColor endColor,
                                                  double areaHeight, double twipsPerPixel);

// Fills the bands on `device`, each from (0, y) to (areaWidth, y + step) twips, in order, so that
// where two bands meet on one pixel row the lower band wins.
void paintGradientBands(QPaintDevice* device, const GradientBands& bands, double areaWidth);

}  // namespace sw::widgets
