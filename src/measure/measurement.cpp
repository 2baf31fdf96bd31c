#include "measure/measurement.h"

#include <cmath>

namespace sw::measure {

namespace {

struct KindInfo {
    Kind kind;
    const char* name;
    const char* title;
};

constexpr KindInfo kKinds[] = {
    {Kind::Length, "length", "Length"},
    {Kind::Path, "path", "Path"},
    {Kind::Area, "area", "Area"},
};

QPointF inches(const QPointF& p, Resolution dpi) {
    return {p.x() / dpi.x, p.y() / dpi.y};
}

double distance(const QPointF& a, const QPointF& b) {
    return std::hypot(b.x() - a.x(), b.y() - a.y());
}

// Twice the signed area of the polygon, in the points' own units.
double doubleSignedArea(const QList<QPointF>& points) {
    double sum = 0;
    for (qsizetype i = 0; i < points.size(); ++i) {
        const QPointF& a = points.at(i);
        const QPointF& b = points.at((i + 1) % points.size());
        sum += a.x() * b.y() - b.x() * a.y();
    }
    return sum;
}

}  // namespace

QString kindName(Kind kind) {
    return QString::fromLatin1(kKinds[static_cast<int>(kind)].name);
}

QString kindTitle(Kind kind) {
    return QString::fromLatin1(kKinds[static_cast<int>(kind)].title);
}

std::optional<Kind> parseKind(const QString& name) {
    for (const KindInfo& k : kKinds) {
        if (name.trimmed().compare(QLatin1String(k.name), Qt::CaseInsensitive) == 0) {
            return k.kind;
        }
    }
    return std::nullopt;
}

bool isComplete(const Measurement& m) {
    switch (m.kind) {
        case Kind::Length:
            return m.points.size() == 2;
        case Kind::Path:
            return m.points.size() >= 2;
        case Kind::Area:
            return m.points.size() >= 3;
    }
    return false;
}

double paperLength(const QList<QPointF>& points, Resolution dpi, bool closed) {
    double total = 0;
    for (qsizetype i = 1; i < points.size(); ++i) {
        total += distance(inches(points.at(i - 1), dpi), inches(points.at(i), dpi));
    }
    if (closed && points.size() > 2) {
        total += distance(inches(points.back(), dpi), inches(points.front(), dpi));
    }
    return total;
}

double paperArea(const QList<QPointF>& points, Resolution dpi) {
    return std::abs(doubleSignedArea(points)) / 2.0 / (dpi.x * dpi.y);
}

Value valueOf(const Measurement& m, Resolution dpi, const DrawingScale& scale) {
    if (m.kind == Kind::Area) {
        return {paperArea(m.points, dpi) * scale.ratio * scale.ratio,
                paperLength(m.points, dpi, true) * scale.ratio};
    }
    return {paperLength(m.points, dpi, false) * scale.ratio, 0};
}

QString labelOf(const Measurement& m, Resolution dpi, const DrawingScale& scale, Unit unit) {
    const Value v = valueOf(m, dpi, scale);
    if (m.kind == Kind::Area) {
        return formatArea(v.real, unit) + QStringLiteral(", perimeter ") +
               formatLength(v.perimeter, unit);
    }
    return formatLength(v.real, unit);
}

QPointF labelAnchor(const Measurement& m) {
    if (m.points.isEmpty()) {
        return {};
    }
    if (m.kind == Kind::Area) {
        const double a2 = doubleSignedArea(m.points);
        QPointF centre;
        if (std::abs(a2) > 1e-9) {
            for (qsizetype i = 0; i < m.points.size(); ++i) {
                const QPointF& a = m.points.at(i);
                const QPointF& b = m.points.at((i + 1) % m.points.size());
                const double cross = a.x() * b.y() - b.x() * a.y();
                centre += (a + b) * cross;
            }
            return centre / (3.0 * a2);
        }
        for (const QPointF& p : m.points) {
            centre += p;
        }
        return centre / static_cast<double>(m.points.size());
    }
    double half = 0;
    for (qsizetype i = 1; i < m.points.size(); ++i) {
        half += distance(m.points.at(i - 1), m.points.at(i));
    }
    half /= 2;
    for (qsizetype i = 1; i < m.points.size(); ++i) {
        const double step = distance(m.points.at(i - 1), m.points.at(i));
        if (step >= half && step > 0) {
            return m.points.at(i - 1) + (m.points.at(i) - m.points.at(i - 1)) * (half / step);
        }
        half -= step;
    }
    return m.points.front();
}

}  // namespace sw::measure
