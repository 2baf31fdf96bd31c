#include "measure/ui/measure_overlay.h"

#include <QPainter>
#include <QPainterPath>

#include "measure/ui/measure_tool.h"

namespace sw::measure {

namespace {

// Crimson, the colour the measurements print in too: apart from black ink and blue prints.
const QColor kLine(200, 0, 40);
const QColor kSelected(235, 110, 0);
const QColor kLabelGround(255, 255, 255, 225);
constexpr double kLineWidth = 2.0;
constexpr double kSelectedWidth = 3.5;
constexpr double kHandle = 3.0;  // half the side of a corner square, pixels

void drawLabel(QPainter& p, const QString& text, QPointF centre, const QColor& colour) {
    const QFontMetricsF metrics(p.font());
    QRectF box = metrics.boundingRect(text).adjusted(-4, -2, 4, 2);
    box.moveCenter(centre);
    p.setPen(QPen(colour, 1));
    p.setBrush(kLabelGround);
    p.drawRect(box.toAlignedRect());
    p.setPen(colour.darker(130));
    p.drawText(box, Qt::AlignCenter, text);
}

void drawCorners(QPainter& p, const QPolygonF& points, const QColor& colour) {
    p.setPen(QPen(colour, 1));
    p.setBrush(Qt::white);
    for (const QPointF& at : points) {
        p.drawRect(QRectF(at - QPointF(kHandle, kHandle), QSizeF(2 * kHandle, 2 * kHandle)));
    }
}

}  // namespace

MeasureOverlay::MeasureOverlay(QWidget& control, const MeasureTool& tool)
    : QWidget(&control), m_tool(tool) {
    setObjectName(QStringLiteral("MeasureOverlay"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(control.rect());
}

void MeasureOverlay::paintEvent(QPaintEvent* /*event*/) {
    if (m_tool.measurements().items.isEmpty() && m_tool.pendingPoints().isEmpty()) {
        return;
    }
    const std::optional<QTransform> toWindow = m_tool.sheetToWindow();
    if (!toWindow) {
        return;
    }
    // Lines and fills are drawn without antialiasing: wide antialiased strokes take the raster
    // engine's slow path (about 1 ms per long edge), crisp ones keep a repaint with dozens of
    // measurements within a few milliseconds. Text stays antialiased.
    QPainter p(this);
    QFont font = p.font();
    font.setPointSizeF(9);
    p.setFont(font);
    const QList<Mark> marks = m_tool.marks();
    for (qsizetype i = 0; i < marks.size(); ++i) {
        const Mark& mark = marks.at(i);
        const bool selected = i == m_tool.selected();
        const QColor colour = selected ? kSelected : kLine;
        const QPolygonF outline = toWindow->map(mark.outline);
        p.setPen(QPen(colour, selected ? kSelectedWidth : kLineWidth, Qt::SolidLine, Qt::RoundCap,
                      Qt::RoundJoin));
        // Only the selected area is tinted: blending large fills costs more than all the lines.
        p.setBrush(mark.closed && selected
                       ? QBrush(QColor(colour.red(), colour.green(), colour.blue(), 40))
                       : QBrush(Qt::NoBrush));
        mark.closed ? p.drawPolygon(outline) : p.drawPolyline(outline);
        drawCorners(p, outline, colour);
        drawLabel(p, mark.label, toWindow->map(mark.labelAt), colour);
    }
    QPolygonF pending = toWindow->map(QPolygonF(m_tool.pendingPoints()));
    if (pending.isEmpty()) {
        return;
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kLine, kLineWidth));
    p.drawPolyline(pending);
    if (const std::optional<QPointF> at = m_tool.pointer(); at && m_tool.isActive()) {
        p.setPen(QPen(kLine, 1.5, Qt::DashLine));
        p.drawLine(pending.back(), *at);
        if (m_tool.kind() == Kind::Area && !m_tool.calibrating() && pending.size() >= 2) {
            p.drawLine(*at, pending.front());
        }
    }
    drawCorners(p, pending, kLine);
}

}  // namespace sw::measure
