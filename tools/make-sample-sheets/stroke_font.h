#pragma once

#include <QPointF>
#include <QString>

class QPainter;

// A single-stroke lettering font, as plotted drawings use it: capitals, digits and the marks that
// appear in dimensions and notes, drawn as polylines with the painter's current pen. It needs no
// font files, so the sheets come out the same on every machine. Lower case is drawn as capitals;
// characters it does not know leave a blank.
namespace sw::tools {

enum class TextAlign { Left, Center, Right };

// Width of `text` at cap height `height` (both in the painter's units).
double strokeTextWidth(const QString& text, double height);

// Draws `text` with its baseline starting at, centred on or ending at `anchor`.
void drawStrokeText(QPainter& painter, const QString& text, QPointF anchor, double height,
                    TextAlign align = TextAlign::Left);

}  // namespace sw::tools
