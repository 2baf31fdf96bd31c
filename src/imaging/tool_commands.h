#pragma once

#include <QImage>
#include <QString>

namespace sw::imaging {

// `sheetwise render SHEET.tif --width N --out OUT.png|OUT.pgm [--rotate 90]`: the fitted view as
// the viewer draws it. argv[1] is "render". Exit 0, 1 for a bad sheet or output, 2 for bad usage.
// Both commands answer --help (or -h) with their usage on standard output and exit 0.
int runRenderCommand(int argc, char** argv);

// `sheetwise info SHEET.tif`: JSON description of a sheet; exit 1 with the error for a bad file.
// Both commands report running out of memory as such an error.
int runInfoCommand(int argc, char** argv);

// The engines of the two commands (no console output). Throw ImagingError (or std::bad_alloc).
// The sheet turned by `rotationDegrees` (a multiple of 90) and fitted into `width` pixels, drawn
// into an image of `format` (Format_RGB32, or Format_Grayscale8: the same picture in grey).
QImage renderFitted(const QString& path, int width, int rotationDegrees,
                    QImage::Format format = QImage::Format_RGB32);
// One JSON object: width, height, dpiX, dpiY, bitsPerPixel, compression, photometric,
// widthInches, heightInches. The whole image is decoded, so a corrupt file is refused.
QString sheetInfoJson(const QString& path);

}  // namespace sw::imaging
