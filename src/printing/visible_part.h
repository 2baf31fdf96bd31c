#pragma once

#include <cstdint>

#include <QRectF>
#include <QSize>
#include <QSizeF>

namespace sw::printing {

// The part of a zoomed sheet that is visible in the viewer, in sheet pixels, as the print
// hand-off cuts it out for "Print Selected Area Only": from the display rectangle (where the
// whole sheet is drawn, window pixels, left and top negative when scrolled), the displayed
// source size and the visible client size. Computed in single precision; the height is a
// 16-bit integer (rounded half to even, "Overflow" beyond). A zero display size fails with
// "Division by zero".
struct VisiblePart {
    float x0 = 0;
    float y0 = 0;
    float width = 0;
    std::int16_t height = 0;
};
VisiblePart visiblePart(const QRectF& display, const QSizeF& source, const QSize& visible);

}  // namespace sw::printing
