#pragma once

#include <functional>

#include <QImage>
#include <QString>
#include <QStringList>

#include "imaging/sheet.h"

// Sheets made in code for the imaging tests.
namespace sw::test {

// A bilevel sheet of w x h pixels with pseudo-random ink (seeded; about `inkPercent` % ink).
imaging::Sheet randomBilevel(int w, int h, unsigned seed, int inkPercent = 30, double dpi = 200);

// A white bilevel sheet of w x h pixels with ink over `ink` (none when it is empty).
imaging::Sheet inkSheet(int w, int h, const QRect& ink = {}, double dpiX = 200, double dpiY = 200);

// A bilevel sheet with a one-pixel grid: vertical lines at x = k * spacing + offset, horizontal
// lines at y = k * spacing + offset.
imaging::Sheet gridSheet(int w, int h, int spacing, int offset = 0);

// Pixel (x, y) of a bilevel sheet is ink.
bool isInk(const imaging::Sheet& sheet, int x, int y);

// Mean luminance 0 (black) .. 1 (white) of a sheet, alpha ignored.
double meanLuminance(const imaging::Sheet& sheet);

// Bit-exact comparison of the pixels (and colour tables) of two sheets.
bool samePixels(const imaging::Sheet& a, const imaging::Sheet& b);

// A min-is-white bilevel TIFF of w x h pixels whose one strip is `strip`, compressed with
// `compression` (4: CCITT G4, where a byte of 0xFF is eight blank rows).
QByteArray bilevelTiff(quint32 w, quint32 h, quint32 compression, const QByteArray& strip);

// A file of the sample corpus (tests/data/corpus), for example "drawings_bilevel/G4.TIF".
QString corpus(const QString& file);

// The files of a folder (full paths, by name), for tables over a folder of samples.
QStringList filesIn(const QString& folder);

// The message of the ImagingError that `action` throws; a null string when it throws none.
QString errorOf(const std::function<void()>& action);

// The name of a corpus file as a test-case name ("G4_TIF").
QString caseName(const QString& file);

}  // namespace sw::test
