#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QLineF>
#include <QRectF>
#include <QString>

namespace sw::widgets {

// What a ruler draws, as a plain value so that the tick arithmetic can be checked without a
// window. All coordinates are twips from the ruler's top-left corner.
struct RulerInput {
    double width = 0;   // W, twips
    double height = 0;  // H, twips
    std::int32_t max = 36;
    std::int32_t min = 0;
    std::int32_t offset = 0;  // twips from the leading edge to the scale's zero
    bool isVertical = false;
    double twipsPerPixelX = 15;  // the screen's horizontal factor, for the sparse test
};

struct RulerTick {
    double position = 0;  // x of a horizontal ruler's line, y of a vertical one; twips
    QLineF line;          // across the ruler, twips
    std::int32_t value = 0;
    QString label;  // the number with its sign place and a blank after: " 12 ", "-3 "
};

struct RulerDrawing {
    std::vector<QLineF> frame;        // top, bottom and leading edge; no line on the far edge
    std::optional<QRectF> offsetBox;  // filled with the foreground colour when Offset > 0
    bool sparse = false;              // only every second unit is drawn
    std::int32_t step = 0;            // twips between units; 0 when no unit is drawn
    std::vector<RulerTick> ticks;     // in order of value
};

// Lays out the ruler: frame lines, the offset box, then one line per whole unit from Min + 1 to
// Max (every unit, or only the even ones counted from Min when the ruler is sparse). A range of
// zero or less gives only the frame and the box; so does a range wider than two 16-bit values can
// span (only a damaged property bag can hold such values), and a size that does not fit 32 bits.
RulerDrawing layoutRuler(const RulerInput& input);

}  // namespace sw::widgets
