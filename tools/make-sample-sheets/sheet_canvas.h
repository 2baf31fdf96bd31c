#pragma once

#include "stroke_font.h"

#include <initializer_list>

#include <QPainter>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <QString>

// Drawing helpers for the sample sheets, in design inches: every sheet is laid out as if it were
// at least 36 in wide and 24 in high, and the painter's transform scales that onto the real
// paper and resolution. Line widths are design inches too, never thinner than one pixel, so thin
// lines survive on small, low-resolution sheets.
//
// Drawing is aliased black on white and fully deterministic: the random choices come from Rng,
// whose sequence is fixed by its seed on every platform. One Canvas per sheet and thread.
namespace sw::tools {

// splitmix64: small, fast and the same everywhere (unlike the standard distributions).
class Rng {
public:
    explicit Rng(quint64 seed) : m_state(seed) {}
    quint64 next();
    int below(int n);  // 0 … n−1
    double uniform(double lo, double hi);
    bool chance(double probability);

private:
    quint64 m_state;
};

// FNV-1a of the UTF-8 text, for seeds derived from sheet numbers.
quint64 stableHash(const QString& text);

enum class Weight { Fine, Thin, Medium, Thick, Heavy };

class Canvas {
public:
    // `pixelsPerUnit` is pixels per design inch; the caller has set the painter's transform.
    Canvas(QPainter& painter, double width, double height, double pixelsPerUnit, quint64 seed);

    QPainter& painter() { return m_painter; }
    double width() const { return m_width; }
    double height() const { return m_height; }
    Rng& rng() { return m_rng; }

    QPen pen(Weight weight) const;
    // A dashed pen; `pattern` alternates dash and gap lengths in design inches.
    QPen dashed(Weight weight, std::initializer_list<double> pattern) const;

    void line(QPointF a, QPointF b, Weight weight = Weight::Thin);
    void line(QPointF a, QPointF b, const QPen& pen);
    void rect(const QRectF& r, Weight weight = Weight::Thin);
    void fillRect(const QRectF& r);
    void circle(QPointF center, double radius, Weight weight = Weight::Thin);
    void text(const QString& text, QPointF anchor, double height, TextAlign align = TextAlign::Left,
              Weight weight = Weight::Thin);
    // Text running upwards (rotated a quarter turn counter-clockwise), for vertical dimensions.
    void verticalText(const QString& text, QPointF anchor, double height,
                      TextAlign align = TextAlign::Center);

    // Parallel lines at `angleDeg` every `spacing`, clipped to `area`.
    void hatch(const QPainterPath& area, double angleDeg, double spacing,
               Weight weight = Weight::Fine);
    void hatch(const QRectF& area, double angleDeg, double spacing, Weight weight = Weight::Fine);
    // Concrete: a scatter of dots and small triangles inside `area`.
    void stipple(const QRectF& area, double density);

    // A grid bubble: circle with a label.
    void bubble(QPointF center, double radius, const QString& label);
    // A dimension chain along a horizontal (or vertical) line through `at`, with extension lines
    // back to `from` (the measured edge), slash ticks at every position and the lengths between
    // them written in feet and inches (`feetPerUnit` converts design inches to feet).
    void horizontalDimensions(const QList<double>& xs, double y, double fromY, double feetPerUnit);
    void verticalDimensions(const QList<double>& ys, double x, double fromX, double feetPerUnit);
    // A door: leaf from the hinge, swing arc to the closed position along the wall.
    void door(QPointF hinge, double width, double wallAngleDeg, double swingDeg);
    void northArrow(QPointF center, double radius);
    // "24'-0"" style text of a length in feet, to the nearest inch.
    static QString feetInches(double feet);

private:
    double minWidth() const { return 1.0 / m_pixelsPerUnit; }
    double widthOf(Weight weight) const;

    QPainter& m_painter;
    double m_width;
    double m_height;
    double m_pixelsPerUnit;
    Rng m_rng;
};

}  // namespace sw::tools
