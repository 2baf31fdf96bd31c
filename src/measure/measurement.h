#pragma once

#include <optional>

#include <QList>
#include <QPointF>
#include <QPolygonF>
#include <QString>

#include "measure/drawing_scale.h"
#include "measure/units.h"

// Measurements taken on a sheet and their values. Points are in the pixels of the sheet as first
// fetched (imaging::Sheet::Source: unturned, edges at whole numbers), so turning, zooming or
// resizing the view never changes a value; real values come from the sheet's resolution and the
// drawing scale. Pure functions.
namespace sw::measure {

enum class Kind {
    Length,  // two points
    Path,    // a polyline of two or more points
    Area,    // a closed polygon of three or more points; its perimeter is shown too
};

// "length", "path", "area"; and back (letter case ignored).
QString kindName(Kind kind);
std::optional<Kind> parseKind(const QString& name);
// "Length", "Path", "Area", for labels and lists.
QString kindTitle(Kind kind);

// A sheet's resolution in dots per inch along its own x and y.
struct Resolution {
    double x = 200.0;
    double y = 200.0;
    friend bool operator==(const Resolution&, const Resolution&) = default;
};

struct Measurement {
    Kind kind = Kind::Length;
    QList<QPointF> points;  // sheet pixels, in the order picked

    friend bool operator==(const Measurement&, const Measurement&) = default;
};

// Whether `m` has the points its kind needs (a length exactly two).
bool isComplete(const Measurement& m);

// On the paper, in inches: the polyline's length (closed: back to the first point), and the
// polygon's area in square inches.
double paperLength(const QList<QPointF>& points, Resolution dpi, bool closed);
double paperArea(const QList<QPointF>& points, Resolution dpi);

// The real value of a measurement: inches for a length or path, square inches for an area (its
// perimeter in inches beside it).
struct Value {
    double real = 0;
    double perimeter = 0;
};
Value valueOf(const Measurement& m, Resolution dpi, const DrawingScale& scale);

// The label as shown: 12'-3 1/2" for a length or path; 152.35 sq ft, perimeter 50'-2 1/4" for an
// area.
QString labelOf(const Measurement& m, Resolution dpi, const DrawingScale& scale, Unit unit);

// Where a measurement's label sits, in sheet pixels: half way along a length or path, at the
// centre of an area (the mean of its corners when it encloses nothing).
QPointF labelAnchor(const Measurement& m);

}  // namespace sw::measure
