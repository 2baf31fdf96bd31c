#include "printing/print_layout.h"

#include <cstdint>
#include <limits>

#include "base/script_error.h"
#include "base/vb.h"

namespace sw::printing {

namespace {

double product32(int i, std::int32_t step) {
    const std::int64_t p = static_cast<std::int64_t>(i) * step;
    if (p < std::numeric_limits<std::int32_t>::min() ||
        p > std::numeric_limits<std::int32_t>::max()) {
        throw base::ScriptError::overflow();
    }
    return static_cast<double>(p);
}

PageGrid gridAtScale(const LayoutSheet& sheet, double scale, const PrinterDevice& printer) {
    const PrinterMetrics metrics = readPrinterMetrics(printer);
    return computePageGrid(sheet.imageWidthPx * scale, sheet.imageHeightPx * scale,
                           base::vb::toInt16(sheet.resX), metrics);
}

QList<PreviewObject> gridLines(const PageGrid& grid, const LayoutSheet& sheet) {
    const std::int32_t tileWidthDisplay =
        base::vb::toInt32(checkedDivide(sheet.displayWidth, grid.columnsExact));
    const std::int32_t tileHeightDisplay =
        base::vb::toInt32(checkedDivide(sheet.displayHeight, grid.rowsExact));
    const int columns = base::vb::toInt16(grid.pageColumns);
    const int rows = base::vb::toInt16(grid.pageRows);
    QList<PreviewObject> lines;
    int tag = 1;
    for (int i = 1; i <= columns; ++i) {
        const double x = product32(i, tileWidthDisplay);
        lines.append({PreviewObject::Kind::Line, {x, 0}, {x, sheet.displayHeight}, tag++});
    }
    for (int i = 1; i <= rows; ++i) {
        const double y = product32(i, tileHeightDisplay);
        lines.append({PreviewObject::Kind::Line, {0, y}, {sheet.displayWidth, y}, tag++});
    }
    return lines;
}

QString describe(const std::exception& e) {
    if (const auto* script = dynamic_cast<const base::ScriptError*>(&e)) {
        return script->description();
    }
    return QString::fromUtf8(e.what());
}

}  // namespace

double selectedScaleFor(const LayoutOptions& options, const LayoutSheet& sheet,
                        const PrinterDevice& printer, ScaleMemory& scale) {
    return SelectedScale(
        options.scaleText,
        [&] {
            return FitToPageScale(readPrinterMetrics(printer), sheet.imageWidthPx,
                                  sheet.imageHeightPx, base::vb::toInt16(sheet.resX));
        },
        scale);
}

CropCheckResult CropCheck(const LayoutOptions& options, const LayoutSheet& sheet,
                          const PrinterDevice& printer, ScaleMemory& scale) {
    CropCheckResult result;
    if (!options.autoClip || !sheet.hasImage) {
        return result;
    }
    const double s = selectedScaleFor(options, sheet, printer, scale);
    PageGrid grid = gridAtScale(sheet, s, printer);
    result.labels = pageCountLabels(grid);
    applyExtraPageRule(grid);
    result.fitsOnOnePage = grid.pageColumns == 1 && grid.pageRows == 1;
    return result;
}

LayoutResult CroppedLayout(const LayoutOptions& options, const LayoutSheet& sheet,
                           const PrinterDevice& printer, ScaleMemory& scale) {
    LayoutResult result;
    if (!sheet.hasImage) {
        return result;
    }
    const double s = selectedScaleFor(options, sheet, printer, scale);
    const double resX = base::vb::toInt16(sheet.resX);
    const double resY = base::vb::toInt16(sheet.resY);
    const double ratioX = checkedDivide(s * sheet.imageWidthPx, sheet.displayWidth);
    const double ratioY = checkedDivide(s * sheet.imageHeightPx, sheet.displayHeight);
    const double sheetWidthIn = checkedDivide(sheet.imageWidthPx * s, resX);
    const double sheetHeightIn = checkedDivide(sheet.imageHeightPx * s, resX);
    const CropWindow crop =
        cropWindow(sheetWidthIn, sheetHeightIn, resX, resY, readPrinterMetrics(printer));
    result.labels = onePageLabels();

    const double w = sheet.displayWidth;
    const double h = sheet.displayHeight;
    const double top = crop.top / ratioY;
    const double bottom = crop.bottom / ratioY;
    using K = PreviewObject::Kind;
    result.preview = QList<PreviewObject>{
        {K::Rectangle, {0, 0}, {w, top}, 1},
        {K::Rectangle, {0, bottom}, {w, h}, 2},
        {K::Rectangle, {0, top}, {crop.left / ratioX, bottom}, 3},
        {K::Rectangle, {crop.right / ratioX, top}, {w, bottom}, 4},
    };
    return result;
}

LayoutResult UpdatePageLayout(const LayoutOptions& options, const LayoutSheet& sheet,
                              const PrinterDevice& printer, ScaleMemory& scale) {
    LayoutResult result;
    try {
        const CropCheckResult check = CropCheck(options, sheet, printer, scale);
        result.labels = check.labels;
        result.fitsOnOnePage = check.fitsOnOnePage;
        if (!result.fitsOnOnePage && options.autoClip) {
            LayoutResult cropped = CroppedLayout(options, sheet, printer, scale);
            cropped.labels = cropped.labels ? cropped.labels : result.labels;
            cropped.fitsOnOnePage = result.fitsOnOnePage;
            return cropped;
        }
        if (!sheet.hasImage) {
            return result;
        }
        const double s = selectedScaleFor(options, sheet, printer, scale);
        PageGrid grid = gridAtScale(sheet, s, printer);
        result.labels = pageCountLabels(grid);
        applyExtraPageRule(grid);
        result.labels = pageCountLabels(grid);
        result.preview = gridLines(grid, sheet);
    } catch (const std::exception& e) {
        result.error = describe(e);
    }
    return result;
}

}  // namespace sw::printing
