#pragma once

#include <QImage>
#include <QPoint>
#include <QString>

namespace sw::compare {

// `sheetwise compare EARLIER.tif NEW.tif --out OUT.png [--width N]`: the overlay of the two
// revisions (fitted to N pixels wide, or at full size) written as a picture, and
// {"offset": [dx, dy], "added": n, "removed": n} printed as JSON, from the same comparison as
// the viewer's. argv[1] is "compare". Exit 0; 1 for a sheet or picture that cannot be read or
// written; 2 for bad usage (--help prints the usage and exits 0).
int runCompareCommand(int argc, char** argv);

// The engine of the command (no console output). Throws imaging::ImagingError.
struct CompareResult {
    QImage picture;  // the overlay
    QPoint offset;   // pixels of the new sheet
    qint64 added = 0;
    qint64 removed = 0;
};
// width 0: the full size (one byte per pixel, four colours); otherwise the fitted view.
CompareResult compareFiles(const QString& earlierPath, const QString& newPath, int width);

}  // namespace sw::compare
