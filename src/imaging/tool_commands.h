#pragma once

namespace sw::imaging {

// `sheetwise render SHEET.tif --width N --out OUT.png|OUT.pgm [--rotate 90]`: the fitted view as
// the viewer draws it. argv[1] is "render".
int runRenderCommand(int argc, char** argv);

// `sheetwise info SHEET.tif`: JSON description of a sheet; exit 1 with the error for a bad file.
int runInfoCommand(int argc, char** argv);

}  // namespace sw::imaging
