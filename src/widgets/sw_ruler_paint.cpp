// SWRuler's drawing: the ruler itself on every paint, and the surface methods Circle_ and Cls.
#include <cmath>
#include <numbers>

#include <QFontMetrics>

#include "widgets/ruler_drawing.h"
#include "widgets/sw_ruler.h"
#include "widgets/twips.h"
#include "widgets/twips_painter.h"

namespace sw::widgets {

namespace {

const OleColor kRulerBackColor = rgb(213, 212, 211);
const OleColor kRulerForeColor = rgb(0, 0, 0);

// How lines combine with the surface for the DrawMode values the original surface knows; the
// ones with no raster equivalent here draw as copies (13).
QPainter::CompositionMode compositionForDrawMode(int drawMode) {
    switch (drawMode) {
        case 4:  // not copy pen
            return QPainter::RasterOp_NotSource;
        case 6:  // invert
            return QPainter::RasterOp_NotDestination;
        case 7:  // xor pen
            return QPainter::RasterOp_SourceXorDestination;
        case 9:  // mask pen
            return QPainter::RasterOp_SourceAndDestination;
        case 15:  // merge pen
            return QPainter::RasterOp_SourceOrDestination;
        default:
            return QPainter::CompositionMode_SourceOver;
    }
}

Qt::PenStyle penStyleForDrawStyle(int drawStyle) {
    switch (drawStyle) {
        case 1:
            return Qt::DashLine;
        case 2:
            return Qt::DotLine;
        case 3:
            return Qt::DashDotLine;
        case 4:
            return Qt::DashDotDotLine;
        case 5:
            return Qt::NoPen;
        default:
            return Qt::SolidLine;
    }
}

QBrush brushForFill(int fillStyle, const QColor& color) {
    static constexpr Qt::BrushStyle kStyles[] = {
        Qt::SolidPattern, Qt::NoBrush,      Qt::HorPattern,   Qt::VerPattern,
        Qt::BDiagPattern, Qt::FDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
    if (fillStyle < 0 || fillStyle >= static_cast<int>(std::size(kStyles))) {
        return Qt::NoBrush;
    }
    return {color, kStyles[fillStyle]};
}

// Qt's arc angles: sixteenths of a degree, counter-clockwise, as the radians of the original.
int sixteenthDegrees(double radians) {
    return static_cast<int>(std::lround(radians * 180.0 / std::numbers::pi * 16.0));
}

}  // namespace

void SWRuler::Refresh() {
    repaintSurface();
}

void SWRuler::paintSurface() {
    m_foreColor = kRulerForeColor;
    m_backColor = kRulerBackColor;
    const QColor fore = oleColorToQColor(m_foreColor);

    TwipsPainter painter(&surface());
    if (!painter.isActive()) {
        return;
    }
    painter.clear(oleColorToQColor(m_backColor));
    painter.setCompositionMode(compositionForDrawMode(m_drawMode));

    RulerInput input;
    input.width = widthTwips();
    input.height = heightTwips();
    input.max = m_max;
    input.min = m_min;
    input.offset = m_offset;
    input.isVertical = m_isVertical;
    input.twipsPerPixelX = twipsPerPixelX();
    const RulerDrawing drawing = layoutRuler(input);

    for (const QLineF& line : drawing.frame) {
        painter.line(line, fore);
    }
    if (drawing.offsetBox) {
        painter.box(drawing.offsetBox->topLeft(), drawing.offsetBox->bottomRight(), fore, true);
    }
    const double lineHeight =
        QFontMetrics(fontForScreen(m_font, twipsPerPixelY())).height() * twipsPerPixelY();
    for (const RulerTick& tick : drawing.ticks) {
        painter.line(tick.line, fore);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.text(tick.line.p1(), tick.label, m_font, fore);
        painter.setCompositionMode(compositionForDrawMode(m_drawMode));
        // Printing leaves the text position at the start of the next line.
        m_currentX = 0;
        m_currentY = tick.line.p1().y() + lineHeight;
    }
}

void SWRuler::Circle_(double x, double y, double Radius, std::optional<OleColor> Color,
                      std::optional<double> StartPos, std::optional<double> EndPos,
                      std::optional<double> Aspect) {
    constexpr double kTurn = 2 * std::numbers::pi;
    const double start = StartPos.value_or(0);
    const double end = EndPos.value_or(kTurn);
    if (std::abs(start) > kTurn || std::abs(end) > kTurn || !std::isfinite(Radius)) {
        return;
    }
    const double aspect = Aspect.value_or(1.0);
    const double radiusX = aspect <= 1.0 ? Radius : Radius / aspect;
    const double radiusY = aspect <= 1.0 ? Radius * aspect : Radius;

    TwipsPainter twips(&surface());
    if (!twips.isActive()) {
        return;
    }
    QPainter& painter = twips.painter();
    painter.setCompositionMode(compositionForDrawMode(m_drawMode));
    painter.setPen(
        QPen(oleColorToQColor(Color.value_or(m_foreColor)), 0, penStyleForDrawStyle(m_drawStyle)));
    painter.setBrush(brushForFill(m_fillStyle, oleColorToQColor(m_fillColor)));
    const QPoint centre(twips.pixelX(x), twips.pixelY(y));
    const int rx = twips.pixelX(radiusX);
    const int ry = twips.pixelY(radiusY);
    const QRect bounds(centre.x() - rx, centre.y() - ry, 2 * rx, 2 * ry);

    if (!StartPos && !EndPos) {
        painter.drawEllipse(bounds);
    } else {
        const double from = std::abs(start);
        double span = std::abs(end) - from;
        if (span <= 0) {
            span += kTurn;
        }
        if (start < 0 && end < 0) {
            painter.drawPie(bounds, sixteenthDegrees(from), sixteenthDegrees(span));
        } else {
            painter.drawArc(bounds, sixteenthDegrees(from), sixteenthDegrees(span));
            for (const double angle : {start, end}) {
                if (angle < 0) {
                    const double a = std::abs(angle);
                    painter.drawLine(centre, centre + QPoint(static_cast<int>(rx * std::cos(a)),
                                                             static_cast<int>(-ry * std::sin(a))));
                }
            }
        }
    }
    m_currentX = x;
    m_currentY = y;
    showSurface();
}

void SWRuler::Cls() {
    surface().fill(oleColorToQColor(m_backColor));
    m_currentX = 0;
    m_currentY = 0;
    showSurface();
}

}  // namespace sw::widgets
