#include "sheet_canvas.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include <QPainterPath>

namespace sw::tools {

namespace {

constexpr double kTickLength = 0.12;
constexpr double kExtensionGap = 0.06;
constexpr double kExtensionOvershoot = 0.08;
constexpr double kDimensionTextHeight = 0.1;

QPointF polar(QPointF origin, double length, double angleDeg) {
    const double radians = angleDeg * std::numbers::pi / 180;
    return origin + QPointF(length * std::cos(radians), length * std::sin(radians));
}

}  // namespace

quint64 Rng::next() {
    quint64 z = (m_state += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

int Rng::below(int n) {
    return n <= 0 ? 0 : static_cast<int>(next() % static_cast<quint64>(n));
}

double Rng::uniform(double lo, double hi) {
    return lo + (hi - lo) * static_cast<double>(next() >> 11) * 0x1.0p-53;
}

bool Rng::chance(double probability) {
    return uniform(0, 1) < probability;
}

quint64 stableHash(const QString& text) {
    quint64 hash = 0xcbf29ce484222325ULL;
    for (const char byte : text.toUtf8()) {
        hash = (hash ^ static_cast<unsigned char>(byte)) * 0x100000001b3ULL;
    }
    return hash;
}

Canvas::Canvas(QPainter& painter, double width, double height, double pixelsPerUnit, quint64 seed)
    : m_painter(painter),
      m_width(width),
      m_height(height),
      m_pixelsPerUnit(pixelsPerUnit),
      m_rng(seed) {}

double Canvas::widthOf(Weight weight) const {
    static constexpr double kWidths[] = {0.004, 0.007, 0.012, 0.02, 0.035};
    return std::max(kWidths[static_cast<int>(weight)], minWidth());
}

QPen Canvas::pen(Weight weight) const {
    QPen result(Qt::black, widthOf(weight), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    return result;
}

QPen Canvas::dashed(Weight weight, std::initializer_list<double> pattern) const {
    QPen result = pen(weight);
    result.setCapStyle(Qt::FlatCap);
    QList<qreal> dashes;
    for (const double length : pattern) {
        dashes.append(std::max(length / result.widthF(), 1.0));
    }
    result.setDashPattern(dashes);
    return result;
}

void Canvas::line(QPointF a, QPointF b, Weight weight) {
    line(a, b, pen(weight));
}

void Canvas::line(QPointF a, QPointF b, const QPen& pen) {
    m_painter.setPen(pen);
    m_painter.drawLine(a, b);
}

void Canvas::rect(const QRectF& r, Weight weight) {
    m_painter.setPen(pen(weight));
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawRect(r);
}

void Canvas::fillRect(const QRectF& r) {
    m_painter.fillRect(r, Qt::black);
}

void Canvas::circle(QPointF center, double radius, Weight weight) {
    m_painter.setPen(pen(weight));
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawEllipse(center, radius, radius);
}

void Canvas::text(const QString& text, QPointF anchor, double height, TextAlign align,
                  Weight weight) {
    QPen textPen = pen(weight);
    textPen.setWidthF(std::max(std::min(textPen.widthF(), height / 7), minWidth()));
    m_painter.setPen(textPen);
    drawStrokeText(m_painter, text, anchor, height, align);
}

void Canvas::verticalText(const QString& text, QPointF anchor, double height, TextAlign align) {
    m_painter.save();
    m_painter.translate(anchor);
    m_painter.rotate(-90);
    this->text(text, QPointF(0, 0), height, align);
    m_painter.restore();
}

void Canvas::hatch(const QPainterPath& area, double angleDeg, double spacing, Weight weight) {
    const QRectF bounds = area.boundingRect();
    const double reach = std::hypot(bounds.width(), bounds.height());
    const QPointF center = bounds.center();
    m_painter.save();
    m_painter.setClipPath(area, Qt::IntersectClip);
    m_painter.setPen(pen(weight));
    for (double offset = -reach / 2; offset <= reach / 2; offset += spacing) {
        const QPointF foot = polar(center, offset, angleDeg + 90);
        m_painter.drawLine(polar(foot, reach / 2, angleDeg), polar(foot, -reach / 2, angleDeg));
    }
    m_painter.restore();
}

void Canvas::hatch(const QRectF& area, double angleDeg, double spacing, Weight weight) {
    QPainterPath path;
    path.addRect(area);
    hatch(path, angleDeg, spacing, weight);
}

void Canvas::stipple(const QRectF& area, double density) {
    const int count = static_cast<int>(area.width() * area.height() * density);
    m_painter.setPen(pen(Weight::Fine));
    m_painter.setBrush(Qt::black);
    for (int i = 0; i < count; ++i) {
        const QPointF p(m_rng.uniform(area.left(), area.right()),
                        m_rng.uniform(area.top(), area.bottom()));
        if (m_rng.chance(0.85)) {
            m_painter.drawEllipse(p, 0.006, 0.006);
        } else {
            const double size = m_rng.uniform(0.03, 0.06);
            const double turn = m_rng.uniform(0, 120);
            const QPointF corners[] = {polar(p, size, turn), polar(p, size, turn + 120),
                                       polar(p, size, turn + 240)};
            m_painter.setBrush(Qt::NoBrush);
            m_painter.drawPolygon(corners, 3);
            m_painter.setBrush(Qt::black);
        }
    }
    m_painter.setBrush(Qt::NoBrush);
}

void Canvas::bubble(QPointF center, double radius, const QString& label) {
    circle(center, radius, Weight::Medium);
    text(label, center + QPointF(0, radius * 0.4), radius * 0.8, TextAlign::Center, Weight::Medium);
}

void Canvas::horizontalDimensions(const QList<double>& xs, double y, double fromY,
                                  double feetPerUnit) {
    if (xs.size() < 2) {
        return;
    }
    const double direction = y < fromY ? -1 : 1;
    for (const double x : xs) {
        line(QPointF(x, fromY + direction * kExtensionGap),
             QPointF(x, y + direction * kExtensionOvershoot), Weight::Fine);
        line(QPointF(x - kTickLength / 2, y + kTickLength / 2),
             QPointF(x + kTickLength / 2, y - kTickLength / 2), Weight::Medium);
    }
    line(QPointF(xs.first() - kExtensionOvershoot, y), QPointF(xs.last() + kExtensionOvershoot, y),
         Weight::Fine);
    for (qsizetype i = 1; i < xs.size(); ++i) {
        text(feetInches((xs[i] - xs[i - 1]) * feetPerUnit),
             QPointF((xs[i] + xs[i - 1]) / 2, y - 0.05), kDimensionTextHeight, TextAlign::Center);
    }
}

void Canvas::verticalDimensions(const QList<double>& ys, double x, double fromX,
                                double feetPerUnit) {
    if (ys.size() < 2) {
        return;
    }
    const double direction = x < fromX ? -1 : 1;
    for (const double y : ys) {
        line(QPointF(fromX + direction * kExtensionGap, y),
             QPointF(x + direction * kExtensionOvershoot, y), Weight::Fine);
        line(QPointF(x - kTickLength / 2, y + kTickLength / 2),
             QPointF(x + kTickLength / 2, y - kTickLength / 2), Weight::Medium);
    }
    line(QPointF(x, ys.first() - kExtensionOvershoot), QPointF(x, ys.last() + kExtensionOvershoot),
         Weight::Fine);
    for (qsizetype i = 1; i < ys.size(); ++i) {
        verticalText(feetInches((ys[i] - ys[i - 1]) * feetPerUnit),
                     QPointF(x - 0.05, (ys[i] + ys[i - 1]) / 2), kDimensionTextHeight);
    }
}

void Canvas::door(QPointF hinge, double width, double wallAngleDeg, double swingDeg) {
    const QPointF open = polar(hinge, width, wallAngleDeg + swingDeg);
    line(hinge, open, Weight::Medium);
    QPainterPath arc(polar(hinge, width, wallAngleDeg));
    constexpr int kSteps = 16;
    for (int i = 1; i <= kSteps; ++i) {
        arc.lineTo(polar(hinge, width, wallAngleDeg + swingDeg * i / kSteps));
    }
    m_painter.setPen(pen(Weight::Fine));
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawPath(arc);
}

void Canvas::northArrow(QPointF center, double radius) {
    circle(center, radius, Weight::Thin);
    const QPointF tip = center + QPointF(0, -radius * 1.25);
    const QPointF left = center + QPointF(-radius * 0.35, radius * 0.6);
    const QPointF right = center + QPointF(radius * 0.35, radius * 0.6);
    QPainterPath filled(tip);
    filled.lineTo(center + QPointF(0, radius * 0.35));
    filled.lineTo(right);
    filled.closeSubpath();
    m_painter.setPen(pen(Weight::Thin));
    m_painter.setBrush(Qt::black);
    m_painter.drawPath(filled);
    m_painter.setBrush(Qt::NoBrush);
    const QPointF outline[] = {tip, left, center + QPointF(0, radius * 0.35)};
    m_painter.drawPolyline(outline, 3);
    text(QStringLiteral("N"), tip + QPointF(0, -0.08), radius * 0.5, TextAlign::Center,
         Weight::Medium);
}

QString Canvas::feetInches(double feet) {
    const long inches = std::lround(feet * 12);
    return QStringLiteral("%1'-%2\"").arg(inches / 12).arg(inches % 12);
}

}  // namespace sw::tools
