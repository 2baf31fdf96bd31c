#include "widgets/twips.h"

#include <cmath>
#include <limits>

#include <QGuiApplication>
#include <QScreen>

namespace sw::widgets {

namespace {

std::optional<double> g_pinned;

constexpr double kTwipsPerInch = 1440.0;
constexpr double kFallbackTwipsPerPixel = 15.0;

double screenTwipsPerPixel(bool horizontal) {
    if (g_pinned) {
        return *g_pinned;
    }
    const QScreen* screen = qGuiApp != nullptr ? QGuiApplication::primaryScreen() : nullptr;
    if (screen == nullptr) {
        return kFallbackTwipsPerPixel;
    }
    const double dpi = horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
    return dpi > 0 ? kTwipsPerInch / dpi : kFallbackTwipsPerPixel;
}

int toPixels(double twips, double factor) {
    const double pixels = roundHalfEven(twips / factor);
    if (!(pixels > std::numeric_limits<int>::min() && pixels < std::numeric_limits<int>::max())) {
        return pixels > 0 ? std::numeric_limits<int>::max() : std::numeric_limits<int>::min();
    }
    return static_cast<int>(pixels);
}

}  // namespace

double roundHalfEven(double value) {
    if (!std::isfinite(value)) {
        return value;
    }
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction > 0.5) {
        return lower + 1.0;
    }
    if (fraction < 0.5) {
        return lower;
    }
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

std::optional<std::int32_t> toInt32HalfEven(double value) {
    const double rounded = roundHalfEven(value);
    if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
          rounded <= std::numeric_limits<std::int32_t>::max())) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(rounded);
}

double twipsPerPixelX() {
    return screenTwipsPerPixel(true);
}

double twipsPerPixelY() {
    return screenTwipsPerPixel(false);
}

void pinTwipsPerPixel(std::optional<double> twipsPerPixel) {
    if (!twipsPerPixel) {
        g_pinned.reset();
    } else if (*twipsPerPixel > 0) {
        g_pinned = twipsPerPixel;
    }
}

std::optional<double> pinnedTwipsPerPixel() {
    return g_pinned;
}

int twipsToPixelsX(double twips) {
    return toPixels(twips, twipsPerPixelX());
}

int twipsToPixelsY(double twips) {
    return toPixels(twips, twipsPerPixelY());
}

}  // namespace sw::widgets
