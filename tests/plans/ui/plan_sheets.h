#pragma once

#include <QString>
#include <QStringList>

#include "imaging/sheet.h"

// Sheets and folders for the plan dialog tests.
namespace sw::test {

// A white bilevel sheet of w x h pixels with a 4 x 4 block of ink in its top left corner, so a
// turn can be told from its result.
imaging::Sheet cornerMarkedSheet(int w, int h);

// Pixel (x, y) of a bilevel sheet is ink.
bool isInk(const imaging::Sheet& sheet, int x, int y);

// Writes `sheet` as a Group 4 TIFF, creating the folder.
void writeSheet(const QString& path, const imaging::Sheet& sheet);

// Every entry of a folder (files, hidden and temporary ones included, and sub-folders), sorted.
QStringList folderEntries(const QString& folder);

}  // namespace sw::test
