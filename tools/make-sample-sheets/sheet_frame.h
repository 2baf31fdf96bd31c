#pragma once

#include "sample_project.h"
#include "sheet_canvas.h"

#include <QRectF>
#include <QString>

// The parts every sample sheet shares: trim line, border with zone marks, the title block along
// the right edge (firm, consultants, project, key plan, seal, revisions, fields, sheet title and
// number), the general-notes column and the titles under each drawing.
namespace sw::tools {

// Draws the frame and title block; returns the area left for drawings, in design inches.
QRectF drawFrame(Canvas& canvas, const SampleSheet& sheet, const QString& projectNumber);

// A notes column: heading, then `count` numbered notes wrapped to the column's width. Note number
// `deleted` (if any) is left out, its space left blank, as a revision that deletes a note does.
void drawNotes(Canvas& canvas, const QRectF& column, const QString& heading, int count,
               int deleted = 0);

// The title under a drawing: a split bubble with the drawing's index over the sheet number,
// the title underlined, and the scale below it. `at` is the bubble's centre.
void drawDrawingTitle(Canvas& canvas, QPointF at, int index, const QString& sheetNumber,
                      const QString& title, const QString& scale);

}  // namespace sw::tools
