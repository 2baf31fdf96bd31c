#pragma once

#include <cstdint>
#include <optional>

#include <QList>
#include <QRectF>
#include <QString>

#include "printing/printer_metrics.h"

namespace sw::printing {

// ---- Scale -----------------------------------------------------------------------------------

// The scale factor last taken from the scale box. A text that is neither a listed entry nor a
// positive number ("80%", "abc", "0") leaves the previous factor in force; a new dialog starts
// at 1.0 ("100%").
struct ScaleMemory {
    double lastScale = 1.0;
};

inline const QString kFitToPage = QStringLiteral("Fit To Page");

// The scale factor for the scale box text, compared exactly: "Fit To Page" gives `fitToPage`
// (evaluated only then), "100%" 1.0, "75%" .75, "66%" .66, "50%" .5, "33%" .33, "25%" .25,
// "10%" .1; any other text is read as a number of percent ("80" gives .8). Updates `memory`.
// `fitToPage` may throw; the error then reaches the caller.
template <typename FitToPage>
double SelectedScale(const QString& text, FitToPage&& fitToPage, ScaleMemory& memory);

// Factor that fits the whole sheet on one page: the smaller of printable height / sheet height
// and printable width / sheet width, sheet inches taken with `resX` on both axes. The printable
// size is used as the printer reports it for its current orientation (no exchange of width and
// height in landscape), so "Fit To Page" always gives a 1 x 1 grid. Throws "Division by zero"
// for a zero resolution or an empty sheet.
double FitToPageScale(const PrinterMetrics& metrics, double imageWidthPx, double imageHeightPx,
                      double resX);

// ---- Page grid ---------------------------------------------------------------------------------

// A sheet at a scale cut into printable-area-sized pages. Pixel values are sheet pixels at the
// chosen scale; page counts are whole numbers kept as doubles. Successive pages of a row or
// column repeat `tileOverlap` pixels (a quarter inch) of the page before, which is why a sheet
// that nearly fills its last page can need one more (the extra-page rule).
struct PageGrid {
    double sheetWidthPx = 0;
    double sheetHeightPx = 0;
    double sheetWidthIn = 0;  // both sides measured with the horizontal resolution
    double sheetHeightIn = 0;
    double columnsExact = 0;  // sheet width / printable width
    double rowsExact = 0;
    double lastColumnFraction = 0;  // fractional part of columnsExact (0 when whole)
    double lastRowFraction = 0;
    double pageColumns = 0;
    double pageRows = 0;
    double tileWidth = 0;  // sheet pixels one page covers
    double tileHeight = 0;
    double tileOverlap = 0;  // resX / 4

    [[nodiscard]] double pageCount() const { return pageColumns * pageRows; }
};

// The grid for a sheet of `sheetWidthPx` x `sheetHeightPx` pixels (already at the chosen scale)
// at `resX` dots per inch, without the extra-page rule. Ratios within 1e-9 of a whole number
// count as whole, so a sheet that fits exactly is not split by rounding noise. Throws
// "Division by zero" for a zero resolution, zero printable size or an empty sheet.
PageGrid computePageGrid(double sheetWidthPx, double sheetHeightPx, double resX,
                         const PrinterMetrics& metrics);
// One more column when lastColumnFraction x tileWidth + Int(columnsExact) x tileOverlap exceeds
// tileWidth; the same for rows.
void applyExtraPageRule(PageGrid& grid);

// The page-count labels: rows, columns and their product as shortest decimal texts ("3").
struct PageCountLabels {
    QString rows;
    QString columns;
    QString total;

    friend bool operator==(const PageCountLabels&, const PageCountLabels&) = default;
};
PageCountLabels pageCountLabels(const PageGrid& grid);
PageCountLabels onePageLabels();

// ---- Tiles ------------------------------------------------------------------------------------

// One page of a tiled print: its number (counted down each column, then across), its place in
// the grid (1-based), the sheet pixels it shows, and its two captions.
struct PageTile {
    int pageNumber = 0;
    int column = 0;
    int row = 0;
    QRectF source;       // sheet pixels: origin 1 on the first row/column, then shifted back
                         // by tileOverlap; tileWidth x tileHeight
    QString label;       // "Page 3 of 6"
    QString statusText;  // "Printing Page 3 of 6"
};

// Every page of the grid in print order. The page counter is 16-bit: a grid of more than
// 32767 pages throws "Overflow".
QList<PageTile> tileOrder(const PageGrid& grid);

// ---- Crop window -----------------------------------------------------------------------------

// The one-page window at the centre of the sheet, in sheet pixels at the chosen scale: half of
// the sheet's excess over the printable area on each side (negative when the sheet is the
// smaller). Horizontal values use resX, vertical values resY, the sheet height in inches resX.
struct CropWindow {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;

    [[nodiscard]] QRectF rect() const { return {left, top, right - left, bottom - top}; }
};
CropWindow cropWindow(double sheetWidthIn, double sheetHeightIn, double resX, double resY,
                      const PrinterMetrics& metrics);

// ---- Template implementation
// ---------------------------------------------------------------------

double scaleForListedText(const QString& text, bool* listed);
std::optional<double> typedScale(const QString& text);

template <typename FitToPage>
double SelectedScale(const QString& text, FitToPage&& fitToPage, ScaleMemory& memory) {
    if (text == kFitToPage) {
        memory.lastScale = fitToPage();
        return memory.lastScale;
    }
    bool listed = false;
    const double fixed = scaleForListedText(text, &listed);
    if (listed) {
        memory.lastScale = fixed;
    } else if (const std::optional<double> typed = typedScale(text)) {
        memory.lastScale = *typed;
    }
    return memory.lastScale;
}

}  // namespace sw::printing
