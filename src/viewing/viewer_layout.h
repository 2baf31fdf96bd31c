#pragma once

#include <cstdint>

#include <QRectF>

namespace sw::viewing {

// Position and size of one child control of the viewer, in twips (1440 per inch), held in single
// precision like the layout computes them. Negative positions are allowed (the parent clips).
struct ControlGeometry {
    float left = 0.0F;
    float top = 0.0F;
    float width = 0.0F;
    float height = 0.0F;

    friend bool operator==(const ControlGeometry&, const ControlGeometry&) = default;
};

// The geometry the layout reads and writes: the viewer control's own size and its children.
// `status` is aligned to the bottom edge by its owner and only read here.
struct ViewerGeometry {
    float width = 0.0F;   // W: the viewer control's width, twips
    float height = 0.0F;  // H: its height, twips
    ControlGeometry toolbar;
    ControlGeometry horRuler;
    ControlGeometry vertRuler;
    ControlGeometry viewer;  // the imaging control
    ControlGeometry status;
    ControlGeometry progress;  // the progress bar laid over the status bar's right end
    // The rulers' stored Offset values (32-bit), read as 16-bit integers by the layout.
    std::int32_t horRulerOffset = 300;
    std::int32_t vertRulerOffset = 0;
};

// Screen factors for converting pixels to twips, horizontal for x values and vertical for y.
struct TwipsPerPixel {
    float x = 15.0F;
    float y = 15.0F;
};

// The largest pixel value a child control accepts for a position or size; an assignment beyond
// it (or not a finite number) fails like an overflow. Equals Qt's widget size limit.
inline constexpr float kMaxControlPixels = 16777215.0F;

// ArrangeControls: places the rulers along the sheet as the imaging control currently displays
// it (`display`, window pixels: DL, DT, DW, DH), then the imaging control, the progress bar and
// the toolbar, and returns the new geometry. Every assignment that would fail (a negative width
// or height, a value outside kMaxControlPixels, an Offset outside the 16-bit range) leaves that
// value as it was in `current`; the remaining assignments still run. Never throws.
ViewerGeometry ArrangeControls(const ViewerGeometry& current, const QRectF& display,
                               TwipsPerPixel tpp);

}  // namespace sw::viewing
