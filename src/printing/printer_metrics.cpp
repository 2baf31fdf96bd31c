#include "printing/printer_metrics.h"

#include <limits>

#include "base/script_error.h"
#include "base/vb.h"

namespace sw::printing {

namespace {

constexpr double kTwipsPerInch = 1440.0;

std::int32_t checkedSubtract(std::int64_t a, std::int64_t b, std::int64_t c) {
    const std::int64_t r = a - b - c;
    if (r < std::numeric_limits<std::int32_t>::min() ||
        r > std::numeric_limits<std::int32_t>::max()) {
        throw base::ScriptError::overflow();
    }
    return static_cast<std::int32_t>(r);
}

}  // namespace

double checkedDivide(double numerator, double denominator) {
    if (denominator == 0.0) {
        throw numerator == 0.0 ? base::ScriptError::overflow()
                               : base::ScriptError::divisionByZero();
    }
    return numerator / denominator;
}

void PrinterDevice::drawMarks(const SheetMarks& marksTwips, const QRectF& /*clipTwips*/) {
    for (const SheetMark& mark : marksTwips) {
        const QPolygonF& o = mark.outline;
        for (qsizetype i = 1; i < o.size(); ++i) {
            line(o.at(i - 1), o.at(i));
        }
        if (mark.closed && o.size() > 2) {
            line(o.back(), o.front());
        }
    }
}

double PrinterDevice::printableWidthTwips() const {
    return checkedDivide(deviceCaps(DeviceCap::HorzRes) * kTwipsPerInch,
                         deviceCaps(DeviceCap::LogPixelsX));
}

double PrinterDevice::printableHeightTwips() const {
    return checkedDivide(deviceCaps(DeviceCap::VertRes) * kTwipsPerInch,
                         deviceCaps(DeviceCap::LogPixelsY));
}

PrinterMetrics readPrinterMetrics(const PrinterDevice& device) {
    PrinterMetrics m;
    m.paperWidthIn = device.pageWidthTwips() / kTwipsPerInch;
    m.paperHeightIn = device.pageHeightTwips() / kTwipsPerInch;
    m.dpiX = device.deviceCaps(DeviceCap::LogPixelsX);
    m.dpiY = device.deviceCaps(DeviceCap::LogPixelsY);
    m.offsetX = device.deviceCaps(DeviceCap::PhysicalOffsetX);
    m.offsetY = device.deviceCaps(DeviceCap::PhysicalOffsetY);
    m.horzRes = device.deviceCaps(DeviceCap::HorzRes);
    m.vertRes = device.deviceCaps(DeviceCap::VertRes);
    m.physWidth = device.deviceCaps(DeviceCap::PhysicalWidth);
    m.physHeight = device.deviceCaps(DeviceCap::PhysicalHeight);

    m.rightMargin = checkedSubtract(m.physWidth, m.horzRes, m.offsetX);
    m.bottomMargin = checkedSubtract(m.physHeight, m.vertRes, m.offsetY);

    const double widthPx =
        m.dpiX * m.paperWidthIn - (static_cast<double>(m.offsetX) + m.rightMargin);
    const double heightPx =
        m.dpiY * m.paperHeightIn - (static_cast<double>(m.offsetY) + m.bottomMargin);
    m.printableWidthPx = base::vb::toInt32(widthPx);
    m.printableHeightPx = base::vb::toInt32(heightPx);

    m.printableWidthIn = checkedDivide(m.printableWidthPx, m.dpiX);
    m.printableHeightIn = checkedDivide(m.printableHeightPx, m.dpiY);
    return m;
}

}  // namespace sw::printing
