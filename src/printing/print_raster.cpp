#include "printing/print_raster.h"

#include "base/script_error.h"
#include "base/vb.h"

namespace sw::printing {

namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr QPointF kPageStart(1, 1);
constexpr double kPageStartRadius = 1;

// Registration marks: centre an eighth of an inch in from the edge; cross arms and circle.
constexpr double kMarkInset = kTwipsPerInch / 8;
constexpr double kMarkArm = kTwipsPerInch / 10;
constexpr double kMarkRadius = kTwipsPerInch / 20;

void pageStartMark(PrinterDevice& printer) {
    printer.circle(kPageStart, kPageStartRadius);
}

QRectF printableFromPageStart(const PrinterDevice& printer) {
    return {kPageStart, QSizeF(printer.printableWidthTwips(), printer.printableHeightTwips())};
}

void registrationMark(PrinterDevice& printer, QPointF centre) {
    printer.line(centre - QPointF(kMarkArm, 0), centre + QPointF(kMarkArm, 0));
    printer.line(centre - QPointF(0, kMarkArm), centre + QPointF(0, kMarkArm));
    printer.circle(centre, kMarkRadius);
}

void registrationMarks(PrinterDevice& printer, const PageTile& tile) {
    const double w = printer.printableWidthTwips();
    const double h = printer.printableHeightTwips();
    for (const double along : {0.25, 0.75}) {
        registrationMark(printer, {kMarkInset, h * along});      // left seam
        registrationMark(printer, {w - kMarkInset, h * along});  // right seam
        registrationMark(printer, {w * along, kMarkInset});      // top seam
        registrationMark(printer, {w * along, h - kMarkInset});  // bottom seam
    }
    printer.setCurrentPosition({2 * kMarkInset + kMarkArm, h - 3 * kMarkInset});
    printer.printText(QStringLiteral("R%1/C%2").arg(tile.row).arg(tile.column));
}

// The overlay stretched as `sourcePx` of the picture is over `destTwips`, kept inside the
// printable area.
void paintOverlay(PrinterDevice& printer, const SheetMarks& overlay, const QRectF& destTwips,
                  const QRectF& sourcePx) {
    if (overlay.isEmpty() || sourcePx.isEmpty()) {
        return;
    }
    const QTransform toPage = QTransform::fromTranslate(-sourcePx.left(), -sourcePx.top()) *
                              QTransform::fromScale(destTwips.width() / sourcePx.width(),
                                                    destTwips.height() / sourcePx.height()) *
                              QTransform::fromTranslate(destTwips.left(), destTwips.top());
    printer.drawMarks(mappedMarks(overlay, toPage),
                      destTwips.intersected(printableFromPageStart(printer)));
}

}  // namespace

SheetMarks mappedMarks(const SheetMarks& marks, const QTransform& map) {
    SheetMarks mapped;
    for (const SheetMark& mark : marks) {
        mapped.append({map.map(mark.outline), mark.closed, mark.label, map.map(mark.labelAt)});
    }
    return mapped;
}

QImage TransferSheetPicture(const std::function<QImage()>& picture) {
    QImage image = picture();
    if (image.isNull()) {
        image = picture();
    }
    if (image.isNull()) {
        throw base::ScriptError::invalidArgument();
    }
    return image;
}

void printTile(PrinterDevice& printer, const QImage& picture, const PageTile& tile,
               const TileMarks& marks, const SheetMarks& overlay) {
    pageStartMark(printer);
    printer.paintPicture(picture, printableFromPageStart(printer), tile.source);
    paintOverlay(printer, overlay, printableFromPageStart(printer), tile.source);
    printer.printText(tile.label);
    if (marks.enabled) {
        registrationMarks(printer, tile);
    }
}

QSizeF fitToPageSize(double imageWidthIn, double imageHeightIn, double printableWidthTwips,
                     double printableHeightTwips) {
    const double fitWidthIn = printableWidthTwips / kTwipsPerInch;
    const double fitHeightIn = printableHeightTwips / kTwipsPerInch;
    const double rx = checkedDivide(imageWidthIn, fitWidthIn);
    const double ry = checkedDivide(imageHeightIn, fitHeightIn);
    if (rx <= ry) {
        return {static_cast<double>(base::vb::toInt32(checkedDivide(imageWidthIn, ry) * 1440)),
                static_cast<double>(base::vb::toInt32(printableHeightTwips))};
    }
    return {static_cast<double>(base::vb::toInt32(printableWidthTwips)),
            static_cast<double>(base::vb::toInt32(checkedDivide(imageHeightIn, rx) * 1440))};
}

void PrintFitToPage(PrinterDevice& printer, const QImage& picture, double resX, double resY,
                    const SheetMarks& overlay) {
    const double imageWidthIn = checkedDivide(picture.width(), resX);
    const double imageHeightIn = checkedDivide(picture.height(), resY);
    const QSizeF size = fitToPageSize(imageWidthIn, imageHeightIn, printer.printableWidthTwips(),
                                      printer.printableHeightTwips());
    printer.paintPicture(picture, QRectF(kPageStart, size), QRectF(picture.rect()));
    paintOverlay(printer, overlay, QRectF(kPageStart, size), QRectF(picture.rect()));
    printer.newPage();
    printer.endDoc();
}

void printSinglePage(PrinterDevice& printer, const QImage& picture, const QRectF& source,
                     const SheetMarks& overlay) {
    pageStartMark(printer);
    printer.paintPicture(picture, printableFromPageStart(printer), source);
    paintOverlay(printer, overlay, printableFromPageStart(printer), source);
    printer.printText(QStringLiteral("Page 1 of 1"));
    printer.endDoc();
}

}  // namespace sw::printing
