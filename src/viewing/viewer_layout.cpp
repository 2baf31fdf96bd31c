#include "viewing/viewer_layout.h"

#include <cmath>
#include <functional>

#include "base/script_error.h"
#include "base/vb.h"

namespace sw::viewing {
namespace {

enum class Extent { Position, Size };

// Runs one layout assignment with errors ignored: the value is computed (which may throw, for
// example on a 16-bit read), checked the way a child control checks it, and stored only if valid.
void assign(float& field, Extent extent, float tppOfAxis, const std::function<float()>& compute) {
    float value = 0.0F;
    try {
        value = compute();
    } catch (const base::ScriptError&) {
        return;
    }
    if (!std::isfinite(value) || std::abs(value / tppOfAxis) > kMaxControlPixels) {
        return;
    }
    if (extent == Extent::Size && value < 0.0F) {
        return;
    }
    field = value;
}

float offset16(std::int32_t stored) {
    return static_cast<float>(base::vb::toInt16(stored));
}

}  // namespace

ViewerGeometry ArrangeControls(const ViewerGeometry& current, const QRectF& display,
                               TwipsPerPixel tpp) {
    ViewerGeometry g = current;
    const auto dl = static_cast<float>(display.left());
    const auto dt = static_cast<float>(display.top());
    const auto dw = static_cast<float>(display.width());
    const auto dh = static_cast<float>(display.height());
    const float tx = tpp.x;
    const float ty = tpp.y;
    constexpr auto pos = Extent::Position;
    constexpr auto size = Extent::Size;

    assign(g.horRuler.left, pos, tx, [&] { return dl * tx; });
    assign(g.horRuler.top, pos, ty, [&] { return g.toolbar.height; });
    assign(g.horRuler.width, size, tx, [&] { return dw * tx + offset16(g.horRulerOffset); });
    assign(g.vertRuler.left, pos, tx, [] { return 0.0F; });
    assign(g.vertRuler.top, pos, ty,
           [&] { return dt * ty + g.horRuler.height + g.toolbar.height; });
    assign(g.vertRuler.height, size, ty, [&] { return dh * ty + offset16(g.vertRulerOffset); });
    assign(g.viewer.left, pos, tx, [&] { return g.vertRuler.left + g.vertRuler.width; });
    assign(g.viewer.top, pos, ty, [&] { return g.horRuler.top + g.horRuler.height; });
    assign(g.viewer.width, size, tx, [&] { return g.width - g.vertRuler.width; });
    assign(g.viewer.height, size, ty,
           [&] { return g.height - g.horRuler.height - g.status.height - g.toolbar.height; });
    assign(g.progress.width, size, tx, [&] {
        const float r = g.width - g.progress.left - 120.0F;
        return r < 1.0F ? 10.0F : r;
    });
    assign(g.progress.top, pos, ty, [&] { return g.status.top + 65.0F; });
    assign(g.toolbar.width, size, tx, [&] { return g.width; });
    return g;
}

}  // namespace sw::viewing
