#pragma once

#include <memory>

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRectF>

namespace sw::imaging {

class Sheet;

// A drawing that stands in for a sheet's own pixels wherever the sheet is drawn or printed: the
// imaging control's view and lens, renderSheet(), and the printed picture. The comparison of a
// sheet with an earlier revision is one (src/compare). It covers exactly the sheet it is attached
// to (Sheet::setOverlay), in that sheet's pixels, and is built for that sheet's pixels: the sheet
// passes itself as `base` to every call.
//
// The sheet transforms of transforms.h keep an overlay: they ask it for its counterpart on the
// transformed sheet (a turned, resampled or cropped view of the comparison). Anything else that
// makes a new sheet (decoding, an angle that is not a quarter turn) leaves it behind.
//
// Immutable; shared by every copy of the sheet, so any thread may call it, as with the sheet.
class SheetOverlay {
public:
    virtual ~SheetOverlay() = default;

    // Draws into `target` exactly as renderSheet() draws a sheet (same placement, formats and
    // background outside the sheet).
    virtual void render(const Sheet& base, QImage& target, const QPoint& origin,
                        const QRectF& display, QRgb background) const = 0;

    // The whole drawing at the sheet's pixel size, for printing: Format_Mono where it has two
    // colours, otherwise an indexed image whose colours are exact (no dithering).
    [[nodiscard]] virtual QImage picture(const Sheet& base) const = 0;

    // The counterparts on `result`: `base` turned clockwise by quarterTurns (1..3), resampled to
    // result's size, cropped to `rect` (whole pixels inside base), or given other colours with
    // the same bits (bilevel sheets only). Null when there is none.
    [[nodiscard]] virtual std::shared_ptr<const SheetOverlay> turned(const Sheet& base,
                                                                     const Sheet& result,
                                                                     int quarterTurns) const = 0;
    [[nodiscard]] virtual std::shared_ptr<const SheetOverlay> resampled(
        const Sheet& base, const Sheet& result) const = 0;
    [[nodiscard]] virtual std::shared_ptr<const SheetOverlay> cropped(const Sheet& base,
                                                                      const Sheet& result,
                                                                      const QRect& rect) const = 0;
    [[nodiscard]] virtual std::shared_ptr<const SheetOverlay> recoloured(
        const Sheet& result) const = 0;
};

}  // namespace sw::imaging
