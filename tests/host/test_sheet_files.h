#pragma once

#include <QString>

namespace sw::host::test {

// Writes a bilevel G4 TIFF sheet of the given size in inches at `dpi`, white with a black line
// along its top and bottom edges.
void writeTestSheet(const QString& path, int widthInches, int heightInches, int dpi = 200);

}  // namespace sw::host::test
