#pragma once

#include "sample_project.h"
#include "sheet_canvas.h"

#include <QList>
#include <QRectF>
#include <QString>

class QPainter;

// Draws whole sample sheets. drawSheet is the entry point; the other functions draw one kind of
// drawing into the area the frame leaves, and share the building's column grid so the plans,
// framing and HVAC sheets of the project agree with each other.
namespace sw::tools {

// Sheet size in design inches (at least 36 × 24, same proportions as the paper) and the factor
// from design inches to paper inches.
struct DesignSize {
    double width;
    double height;
    double paperPerDesign;
};
DesignSize designSize(const SampleSheet& sheet);

// Draws the sheet onto `painter`, whose transform must map paper inches to pixels (it may also
// shift, for drawing one band of rows at a time). Aliased, black on a white background that the
// caller has filled.
void drawSheet(QPainter& painter, const SampleSheet& sheet, const QString& projectNumber);

// The building on the plans: column grid lines in design inches and the drawing scale.
struct Building {
    QList<double> xs;  // grid lines 1, 2, … from left to right
    QList<double> ys;  // grid lines A, B, … from top to bottom
    double unitsPerFoot = 0.125;
    QString scaleText;  // "1/8\" = 1'-0\""

    QRectF outline() const;
    double feet(double units) const { return units / unitsPerFoot; }
    double units(double feet) const { return feet * unitsPerFoot; }
};

// Centres the project's building in `region`, leaving room around it for grid bubbles and
// dimension strings.
Building layoutBuilding(const QRectF& region);
void drawGrid(Canvas& canvas, const Building& building, Weight weight = Weight::Fine);

// `revision` 2 moves the first interior wall four feet and adds a door to the second.
void drawFloorPlan(Canvas& canvas, const Building& building, int floor, int revision = 1);
void drawRoofPlan(Canvas& canvas, const Building& building);
void drawHvacPlan(Canvas& canvas, const Building& building, int floor);
void drawFramingPlan(Canvas& canvas, const Building& building, bool roof);
void drawFoundationPlan(Canvas& canvas, const Building& building);
void drawSitePlan(Canvas& canvas, const QRectF& region);
void drawDetails(Canvas& canvas, const QRectF& region, const QString& sheetNumber);
void drawSchedules(Canvas& canvas, const QRectF& region);

// A table with a title, a header row and body rows; returns the y below it.
double drawTable(Canvas& canvas, QPointF topLeft, const QString& title,
                 const QList<double>& columnWidths, const QList<QStringList>& rows);

}  // namespace sw::tools
