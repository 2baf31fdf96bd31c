#include "sheet_drawing.h"

#include "sheet_frame.h"

#include <algorithm>

#include <QPainter>

namespace sw::tools {

namespace {

constexpr double kNotesWidth = 4.6;
constexpr double kTitleSpace = 1.3;

int floorOf(const SampleSheet& sheet) {
    return sheet.title.startsWith(QStringLiteral("Second")) ? 2 : 1;
}

}  // namespace

DesignSize designSize(const SampleSheet& sheet) {
    const double scale = std::min(sheet.widthIn / 36, sheet.heightIn / 24);
    return {sheet.widthIn / scale, sheet.heightIn / scale, scale};
}

void drawSheet(QPainter& painter, const SampleSheet& sheet, const QString& projectNumber) {
    const DesignSize size = designSize(sheet);
    painter.save();
    painter.scale(size.paperPerDesign, size.paperPerDesign);
    painter.setRenderHint(QPainter::Antialiasing, false);
    Canvas canvas(painter, size.width, size.height, sheet.dpi * size.paperPerDesign,
                  stableHash(projectNumber + u'/' + sheet.number));

    const QRectF area = drawFrame(canvas, sheet, projectNumber);
    const QRectF notes(area.right() - kNotesWidth, area.top(), kNotesWidth, area.height());
    const QRectF drawing(area.left(), area.top(), area.width() - kNotesWidth - 0.3,
                         area.height() - kTitleSpace);
    const QPointF titleAt(drawing.left() + 0.5, area.bottom() - 0.5);
    const Building building = layoutBuilding(drawing);
    QString scale = building.scaleText;

    switch (sheet.kind) {
        case SheetKind::Site:
            drawSitePlan(canvas, drawing);
            scale = QStringLiteral("1\" = 30'-0\"");
            break;
        case SheetKind::FloorPlan:
            if (sheet.title.startsWith(QStringLiteral("Roof"))) {
                drawRoofPlan(canvas, building);
            } else {
                drawFloorPlan(canvas, building, floorOf(sheet), sheet.revision);
            }
            break;
        case SheetKind::Framing:
            drawFramingPlan(canvas, building, sheet.title.startsWith(QStringLiteral("Roof")));
            break;
        case SheetKind::Foundation:
            drawFoundationPlan(canvas, building);
            break;
        case SheetKind::Hvac:
            drawHvacPlan(canvas, building, floorOf(sheet));
            break;
        case SheetKind::Details:
            drawDetails(canvas,
                        QRectF(area.topLeft(), drawing.bottomRight() + QPointF(0, kTitleSpace)),
                        sheet.number);
            break;
        case SheetKind::Schedules:
            drawSchedules(canvas, drawing);
            break;
    }
    if (sheet.kind != SheetKind::Details && sheet.kind != SheetKind::Schedules) {
        drawDrawingTitle(canvas, titleAt, 1, sheet.number, sheet.title, scale);
    }
    drawNotes(canvas, notes, QStringLiteral("GENERAL NOTES"), 12, sheet.revision > 1 ? 3 : 0);
    painter.restore();
}

}  // namespace sw::tools
