#include "printing/page_grid.h"

#include <cmath>

#include "base/vb.h"

namespace sw::printing {

namespace {

// A ratio this close to a whole number is that number (relative tolerance).
constexpr double kWholeTolerance = 1e-9;

double snapToWhole(double value) {
    const double nearest = std::round(value);
    if (std::abs(value - nearest) <= kWholeTolerance * std::max(1.0, std::abs(value))) {
        return nearest;
    }
    return value;
}

bool isWhole(double value) {
    return value == std::floor(value);
}

QString pageCaption(int pageNumber, double pageCount) {
    return QStringLiteral("Page ") + QString::number(pageNumber) + QStringLiteral(" of ") +
           base::vb::doubleText(pageCount);
}

}  // namespace

double scaleForListedText(const QString& text, bool* listed) {
    static const struct {
        const char* text;
        double factor;
    } kListed[] = {{"100%", 1.0}, {"75%", 0.75}, {"66%", 0.66}, {"50%", 0.5},
                   {"33%", 0.33}, {"25%", 0.25}, {"10%", 0.1}};
    for (const auto& entry : kListed) {
        if (text == QLatin1String(entry.text)) {
            *listed = true;
            return entry.factor;
        }
    }
    *listed = false;
    return 0;
}

std::optional<double> typedScale(const QString& text) {
    const std::optional<double> number = base::vb::parseNumber(text);
    if (!number || !(*number > 0)) {
        return std::nullopt;
    }
    return *number * 0.01;
}

double FitToPageScale(const PrinterMetrics& metrics, double imageWidthPx, double imageHeightPx,
                      double resX) {
    const double imageWidthIn = checkedDivide(imageWidthPx, resX);
    const double imageHeightIn = checkedDivide(imageHeightPx, resX);
    const double vertical = checkedDivide(metrics.printableHeightIn, imageHeightIn);
    const double horizontal = checkedDivide(metrics.printableWidthIn, imageWidthIn);
    return vertical < horizontal ? vertical : horizontal;
}

PageGrid computePageGrid(double sheetWidthPx, double sheetHeightPx, double resX,
                         const PrinterMetrics& metrics) {
    PageGrid g;
    g.sheetWidthPx = sheetWidthPx;
    g.sheetHeightPx = sheetHeightPx;
    g.sheetWidthIn = checkedDivide(sheetWidthPx, resX);
    g.sheetHeightIn = checkedDivide(sheetHeightPx, resX);
    g.columnsExact = snapToWhole(checkedDivide(g.sheetWidthIn, metrics.printableWidthIn));
    g.rowsExact = snapToWhole(checkedDivide(g.sheetHeightIn, metrics.printableHeightIn));
    g.lastColumnFraction =
        isWhole(g.columnsExact) ? 0 : g.columnsExact - std::floor(g.columnsExact);
    g.lastRowFraction = isWhole(g.rowsExact) ? 0 : g.rowsExact - std::floor(g.rowsExact);
    g.pageColumns = isWhole(g.columnsExact) ? g.columnsExact : std::floor(g.columnsExact) + 1;
    g.pageRows = isWhole(g.rowsExact) ? g.rowsExact : std::floor(g.rowsExact) + 1;
    g.tileWidth = checkedDivide(sheetWidthPx, g.columnsExact);
    g.tileHeight = checkedDivide(sheetHeightPx, g.rowsExact);
    g.tileOverlap = resX * 0.25;
    return g;
}

void applyExtraPageRule(PageGrid& g) {
    if (g.lastColumnFraction * g.tileWidth + std::floor(g.columnsExact) * g.tileOverlap >
        g.tileWidth) {
        g.pageColumns += 1;
    }
    if (g.lastRowFraction * g.tileHeight + std::floor(g.rowsExact) * g.tileOverlap > g.tileHeight) {
        g.pageRows += 1;
    }
}

PageCountLabels pageCountLabels(const PageGrid& grid) {
    return {base::vb::doubleText(grid.pageRows), base::vb::doubleText(grid.pageColumns),
            base::vb::doubleText(grid.pageRows * grid.pageColumns)};
}

PageCountLabels onePageLabels() {
    return {QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1")};
}

QList<PageTile> tileOrder(const PageGrid& grid) {
    const int columns = base::vb::toInt16(grid.pageColumns);
    const int rows = base::vb::toInt16(grid.pageRows);
    const double pageCount = grid.pageCount();
    QList<PageTile> tiles;
    std::int16_t pageNumber = 0;
    for (int c = 1; c <= columns; ++c) {
        for (int r = 1; r <= rows; ++r) {
            pageNumber = base::vb::add16(pageNumber, 1);
            PageTile tile;
            tile.pageNumber = pageNumber;
            tile.column = c;
            tile.row = r;
            const double x0 = c == 1 ? 1.0 : (c - 1) * grid.tileWidth + 1 - grid.tileOverlap;
            const double y0 = r == 1 ? 1.0 : (r - 1) * grid.tileHeight + 1 - grid.tileOverlap;
            tile.source = QRectF(x0, y0, grid.tileWidth, grid.tileHeight);
            tile.label = pageCaption(pageNumber, pageCount);
            tile.statusText = QStringLiteral("Printing ") + tile.label;
            tiles.append(tile);
        }
    }
    return tiles;
}

CropWindow cropWindow(double sheetWidthIn, double sheetHeightIn, double resX, double resY,
                      const PrinterMetrics& metrics) {
    CropWindow w;
    w.left = (sheetWidthIn - metrics.printableWidthIn) / 2 * resX;
    w.top = (sheetHeightIn - metrics.printableHeightIn) / 2 * resY;
    w.right = resX * metrics.printableWidthIn + w.left;
    w.bottom = resY * metrics.printableHeightIn + w.top;
    return w;
}

}  // namespace sw::printing
