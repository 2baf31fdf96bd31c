#pragma once

#include <QByteArray>
#include <QList>
#include <QPolygonF>
#include <QSize>
#include <QString>

#include "measure/drawing_scale.h"
#include "measure/measurement.h"
#include "measure/units.h"

namespace sw::plans {
class ProjectState;
}

// What is kept of one sheet's measurements: the sheet they were taken on (name, size and
// resolution as first fetched), its drawing scale and the measurements, stored as a small JSON
// file per sheet in the plan folder:
//
//   <project folder>/measurements/<CleanFileName(sheet name)>.measure.json
//
// next to the project's saved sheets, in a folder of its own so the saved-plans tree (which lists
// every file of a project folder) shows sheets only. The file is replaced atomically; a file that
// cannot be read is reported and never crashes the reader. Pure logic and file access, no widgets.
namespace sw::measure {

struct SheetMeasurements {
    QString sheetName;
    QSize size;  // sheet pixels as first fetched
    Resolution dpi;
    DrawingScale scale;
    QList<Measurement> items;  // complete measurements only

    friend bool operator==(const SheetMeasurements&, const SheetMeasurements&) = default;
};

// The file's text: the sheet, the scale and each measurement with its points, and (for people and
// other programs reading it) its real value and label in `unit`.
QByteArray sidecarJson(const SheetMeasurements& sheet, Unit unit);

// Reads a file's text. Returns nothing with `problem` set to a sentence ("not JSON: ...", "item 3
// has 1 point", ...) for anything that is not a valid measurements file: points off the sheet,
// more than kMaxItems items or kMaxPoints points in one, values that are not finite numbers.
inline constexpr int kMaxItems = 10000;
inline constexpr int kMaxPoints = 10000;
inline constexpr qint64 kMaxFileBytes = 8 << 20;
std::optional<SheetMeasurements> parseSidecar(const QByteArray& text, QString* problem);

// Where a sheet's measurements are kept. An empty path: nowhere (no project, or a place outside
// the plan folder).
struct SidecarPlace {
    QString path;
    // For a sheet of the server: its project folder, created with its desc.txt (naming
    // `projectName`, as "Save" writes it) when the first measurement is kept. Empty for a sheet
    // opened from the plan folder, whose folder exists.
    QString projectFolder;
    QString projectName;
};
// The place for the server sheet called `sheetName` of the project (its plan folder, site and
// project fields as the viewer holds them).
SidecarPlace placeForServerSheet(const plans::ProjectState& project, const QString& sheetName);
// The place for a saved sheet file inside `planDirectory`.
SidecarPlace placeForSheetFile(const QString& planDirectory, const QString& sheetFile);

// Reading a place: nothing found (no file), the measurements, or a problem with the file (its
// description for the user; the measurements are then empty).
struct SidecarRead {
    bool found = false;
    SheetMeasurements sheet;
    QString problem;
};
SidecarRead readSidecar(const QString& path);

// Writes the file (and the project folder it needs) atomically. Returns the error's description,
// empty on success. Never throws.
QString writeSidecar(const SidecarPlace& place, const SheetMeasurements& sheet, Unit unit);

// A measurement as drawn over the sheet, on screen and on paper: its outline in sheet pixels
// (closed for an area), its label and where the label sits.
struct Mark {
    QPolygonF outline;
    bool closed = false;
    QString label;
    QPointF labelAt;
};
QList<Mark> marksOf(const SheetMeasurements& sheet, Unit unit);

// Renames a file that could not be read to "<path>.damaged" (replacing an older one), so the
// first write of new measurements does not destroy it. Never throws.
void setAsideDamaged(const QString& path);

}  // namespace sw::measure
