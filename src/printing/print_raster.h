#pragma once

#include <functional>

#include <QImage>
#include <QRectF>
#include <QString>
#include <QTransform>

#include "printing/page_grid.h"
#include "printing/printer_device.h"

namespace sw::printing {

// Raster output: how sheet pixels reach a page. Every output paints from the sheet's picture
// (the imaging control's current image); a source rectangle of the picture is stretched over a
// rectangle of the page that starts 1 twip in from the printable area's top-left corner.

// The picture to print: asks `picture` once more when the first answer is empty, and throws
// ScriptError "Invalid procedure call or argument" when the second is empty too.
QImage TransferSheetPicture(const std::function<QImage()>& picture);

// Registration marks of a tiled page (an addition beyond the plain tile output): crosses in
// circles in the middle of the quarter-inch strips that neighbouring tiles share (an eighth of
// an inch in from each edge of the printable area), two per edge at a quarter and three
// quarters of its length, so the marks of two neighbouring pages lie on top of each other when
// the sheets are taped together, and none covers the page label in the top-left corner; and
// the page's row and column ("R2/C3") near the bottom-left corner.
struct TileMarks {
    bool enabled = false;
};

// Marks over the sheet (`overlay`, in pixels of the picture) go on every page right after the
// picture, stretched with it and kept inside the part of the page the picture covers.

// `marks` carried from one picture's pixels to another's by `map` (see imaging::Sheet::Source).
SheetMarks mappedMarks(const SheetMarks& marks, const QTransform& map);

// One page of a tiled print, on a page the job has started with the current position at (0, 0):
// the page-start mark (a circle of radius 1 twip at (1, 1)), the tile's source rectangle
// stretched over the printable area from (1, 1), the overlay, the page label at the current
// position, then the registration marks when enabled. Does not end the page.
void printTile(PrinterDevice& printer, const QImage& picture, const PageTile& tile,
               const TileMarks& marks = {}, const SheetMarks& overlay = {});

// The whole sheet on one page with its aspect ratio kept, touching the right or the bottom edge
// of the printable area (the height decides on a tie); sheet inches use each axis' own
// resolution. Then a new page and the end of the document.
void PrintFitToPage(PrinterDevice& printer, const QImage& picture, double resX, double resY,
                    const SheetMarks& overlay = {});

// The destination size in twips of PrintFitToPage, rounded half to even.
QSizeF fitToPageSize(double imageWidthIn, double imageHeightIn, double printableWidthTwips,
                     double printableHeightTwips);

// One page: page-start mark, `source` stretched over the printable area from (1, 1), the
// overlay, the label "Page 1 of 1", and the end of the document (no new page before it).
void printSinglePage(PrinterDevice& printer, const QImage& picture, const QRectF& source,
                     const SheetMarks& overlay = {});

}  // namespace sw::printing
