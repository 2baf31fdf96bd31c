#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include "imaging/sheet.h"

// Encoding of sheets as TIFF with libtiff, in the format codes the control's callers pass:
//   29: compressed. 1 bit per pixel gives CCITT Group 4 (a deeper sheet is reduced to ink and
//       paper first); 4, 8, 24 and 32 bits give LZW (with the horizontal predictor from 8 bits).
//    3: working copy (the print batch's temporary files): lossless and quick to write and read
//       back rather than small at any cost: Deflate at a low level (with the horizontal predictor
//       from 8 bits). A bilevel sheet asked for at 4 bits keeps one bit per pixel, as the
//       two-entry palette or min-is-white sheet of depth 1 (a 4-bit palette of two used entries
//       holds nothing more, at four times the pixels to pack and compress).
// Depths: 1 (bilevel; white paper with black ink as min-is-white, any other two colours as a
// two-entry palette), 4 (a bilevel sheet as a 16-entry palette whose entry 0 is the ink and entry 1
// the paper; other sheets as 16 grey levels), 8 (grey), 24 (RGB), 32 (RGB with alpha).
// Resolution is written in dots per inch. Throws ImagingError.
namespace sw::imaging {

constexpr int kFormatWorkingCopy = 3;
constexpr int kFormatCompressed = 29;

// Writes the sheet to an open, writable and seekable device.
void writeTiff(const Sheet& sheet, QIODevice& device, int formatCode, int bitsPerPixel);

// The file as bytes (for the memory buffer of the control).
QByteArray encodeTiff(const Sheet& sheet, int formatCode, int bitsPerPixel);

// Saves to `path` through a temporary file in the same folder that replaces `path` only once it
// is complete; on any failure the previous file (if any) is left as it was and no partial file
// remains. Messages name the path ("Cannot write /x/y.tif: Permission denied").
void saveTiffFile(const Sheet& sheet, const QString& path, int formatCode, int bitsPerPixel);

}  // namespace sw::imaging
