#include "widgets/gradient.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "widgets/twips.h"
#include "widgets/twips_painter.h"

namespace sw::widgets {

namespace {

constexpr int kBandDivisor = 100;

// A colour component as RGB() takes it: rounded half to even, at most 255. Components below 0
// never reach here: the loop clamps them.
int component(float value) {
    return std::min(255, static_cast<int>(roundHalfEven(static_cast<double>(value))));
}

}  // namespace

std::int32_t gradientStep(double areaHeight) {
    const auto step = toInt32HalfEven(areaHeight / kBandDivisor);
    return std::max<std::int32_t>(1, step.value_or(1));
}

std::optional<GradientBands> gradientBands(OleColor startColor, OleColor endColor,
                                           double areaHeight, double loopEnd) {
    const double end = roundHalfEven(loopEnd);
    if (!(end >= std::numeric_limits<std::int16_t>::min() &&
          end <= std::numeric_limits<std::int16_t>::max())) {
        return std::nullopt;
    }
    const QColor from = oleColorToQColor(startColor);
    const QColor to = oleColorToQColor(endColor);

    GradientBands out;
    out.step = gradientStep(areaHeight);
    const float incRed = static_cast<float>(to.red() - from.red()) / kBandDivisor;
    const float incGreen = static_cast<float>(to.green() - from.green()) / kBandDivisor;
    const float incBlue = static_cast<float>(to.blue() - from.blue()) / kBandDivisor;
    auto red = static_cast<float>(from.red());
    auto green = static_cast<float>(from.green());
    auto blue = static_cast<float>(from.blue());

    for (std::int32_t y = 0; y <= static_cast<std::int32_t>(end); y += out.step) {
        out.bands.push_back({y, QColor(component(red), component(green), component(blue))});
        red = std::max(0.0F, red + incRed);
        green = std::max(0.0F, green + incGreen);
        blue = std::max(0.0F, blue + incBlue);
    }
    return out;
}

std::optional<GradientBands> buttonGradientBands(OleColor startColor, OleColor endColor,
                                                 double areaHeight) {
    return gradientBands(startColor, endColor, areaHeight, areaHeight);
}

std::optional<GradientBands> menuBarGradientBands(OleColor startColor, OleColor endColor,
                                                  double areaHeight, double twipsPerPixel) {
    const double pixel = roundHalfEven(twipsPerPixel);
    return gradientBands(startColor, endColor, areaHeight, areaHeight - 2 * pixel);
}

void paintGradientBands(QPaintDevice* device, const GradientBands& bands, double areaWidth) {
    TwipsPainter painter(device);
    if (!painter.isActive()) {
        return;
    }
    for (const GradientBand& band : bands.bands) {
        painter.box(QPointF(0, band.y), QPointF(areaWidth, band.y + bands.step), band.color, true);
    }
}

}  // namespace sw::widgets
