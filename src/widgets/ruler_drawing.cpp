#include "widgets/ruler_drawing.h"

#include "widgets/twips.h"

namespace sw::widgets {

namespace {

// The widest range two 16-bit values can span: 32767 - (-32768).
constexpr std::int64_t kMaxRange = 65535;
constexpr double kSparsePixelWidth = 1000;
constexpr std::int64_t kSparseRange = 20;

}  // namespace

RulerDrawing layoutRuler(const RulerInput& input) {
    RulerDrawing out;
    const auto w11 = toInt32HalfEven(input.width - 11);
    const auto h11 = toInt32HalfEven(input.height - 11);
    if (!w11 || !h11) {
        return out;
    }
    const double w = input.width;
    const double h = input.height;
    out.frame = {QLineF(0, 0, w, 0), QLineF(*w11, *h11, 0, *h11), QLineF(0, *h11, 0, 0)};

    if (input.offset > 0) {
        out.offsetBox = input.isVertical ? QRectF(QPointF(0, 0), QPointF(w, input.offset))
                                         : QRectF(QPointF(0, 0), QPointF(input.offset, *h11));
    }

    const std::int64_t range = std::int64_t{input.max} - input.min;
    if (input.isVertical) {
        out.sparse = range > kSparseRange;
    } else {
        out.sparse = range > kSparseRange && (w / input.twipsPerPixelX) < kSparsePixelWidth;
    }
    if (range <= 0 || range > kMaxRange) {
        return out;
    }
    const auto step = toInt32HalfEven((input.isVertical ? h : w) / static_cast<double>(range));
    if (!step) {
        return out;
    }
    out.step = *step;

    bool alternate = true;
    for (std::int64_t i = 1; i <= range; ++i) {
        if (!out.sparse || !alternate) {
            const auto pos = static_cast<double>(i * out.step + input.offset);
            RulerTick tick;
            tick.position = pos;
            tick.line = input.isVertical ? QLineF(0, pos, w, pos) : QLineF(pos, 0, pos, h);
            tick.value = static_cast<std::int32_t>(input.min + i);
            // A printed number takes a blank for its sign, and a blank after it.
            tick.label = tick.value < 0 ? QStringLiteral("%1 ").arg(tick.value)
                                        : QStringLiteral(" %1 ").arg(tick.value);
            out.ticks.push_back(tick);
        }
        alternate = !alternate;
    }
    return out;
}

}  // namespace sw::widgets
