#pragma once

#include "sample_project.h"

#include <QString>

// Renders a sample sheet and stores it as a 1-bit CCITT Group 4 TIFF (min-is-white, one strip,
// resolution in inches), the way plan servers hold their sheets. The sheet is drawn in bands of
// rows so memory stays bounded even at 400 dpi, thresholded to black and white, and encoded by
// libtiff as the rows come. The file appears under its name only when complete.
//
// Safe to call from several threads at once for different files.
namespace sw::tools {

struct SheetWriteResult {
    bool ok = false;
    QString error;  // for the user, names the file
    qint64 bytes = 0;
};

SheetWriteResult writeSheetTiff(const QString& path, const SampleSheet& sheet,
                                const QString& projectNumber);

}  // namespace sw::tools
