#pragma once

#include <QString>

#include "imaging/sheet.h"

namespace sw::bench {

// A deterministic line drawing of width x height pixels at `dpi`: a border and title block, a
// grid of walls with door swings, dimension lines, hatching and text-like blocks. Always the same
// pixels for the same arguments.
imaging::Sheet syntheticPlanSheet(int width, int height, double dpi);

// The 14400 x 9600 (36 x 24 in at 400 dpi) sheet written as a CCITT G4 TIFF in the system's
// temporary folder, made once per process; returns its path.
QString benchmarkSheetPath();

}  // namespace sw::bench
