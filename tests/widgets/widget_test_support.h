#pragma once

#include <cstdlib>

#include <QColor>

#include "widgets/twips.h"

namespace sw::widgets::test {

// Pins the screen factor to 15 twips per pixel (96 DPI) for the life of a test, whatever DPI the
// offscreen platform reports.
class PinnedTwips {
public:
    PinnedTwips() { pinTwipsPerPixel(15.0); }
    ~PinnedTwips() { pinTwipsPerPixel(std::nullopt); }
    PinnedTwips(const PinnedTwips&) = delete;
    PinnedTwips& operator=(const PinnedTwips&) = delete;
};

// Colours within `tolerance` per component.
inline bool near(const QColor& a, const QColor& b, int tolerance) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

}  // namespace sw::widgets::test
