#pragma once

#include <QString>
#include <QStringList>

namespace sw::measure {

// `sheetwise measure SHEET.tif --scale TEXT --points x1,y1,x2,y2[,...] [--area] [--units U]`:
// the measurement through the points (sheet pixels; two points a length, more a path, with
// --area a closed area) at the drawing scale, as one JSON object. argv[1] is "measure". Exit 0,
// 1 for a sheet that cannot be read or points off it, 2 for bad usage.
int runMeasureCommand(int argc, char** argv);

// The engine of the command (no console output): the JSON text, or throws
// sw::imaging::ImagingError or std::invalid_argument with a sentence for the user.
QString measureJson(const QString& sheetPath, const QString& scaleText, const QString& points,
                    bool area, const QString& units);

}  // namespace sw::measure
