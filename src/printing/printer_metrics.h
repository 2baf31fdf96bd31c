#pragma once

#include <cstdint>

#include "printing/printer_device.h"

namespace sw::printing {

// The printable area of the current printer, read fresh for every layout and print run.
// Device values are in printer pixels, sizes in inches (doubles). The printable size is the
// page size minus the unprintable margins on all four sides, rounded to whole printer pixels
// (halves to even) before it is turned back into inches.
struct PrinterMetrics {
    double paperWidthIn = 0;  // page size in the current orientation
    double paperHeightIn = 0;
    std::int32_t dpiX = 0;  // printer pixels per inch
    std::int32_t dpiY = 0;
    std::int32_t offsetX = 0;  // unprintable margin at the left and top
    std::int32_t offsetY = 0;
    std::int32_t horzRes = 0;  // printable size as the device reports it
    std::int32_t vertRes = 0;
    std::int32_t physWidth = 0;  // whole page
    std::int32_t physHeight = 0;
    std::int32_t rightMargin = 0;   // physWidth - horzRes - offsetX
    std::int32_t bottomMargin = 0;  // physHeight - vertRes - offsetY
    std::int32_t printableWidthPx = 0;
    std::int32_t printableHeightPx = 0;
    double printableWidthIn = 0;
    double printableHeightIn = 0;
};

// Reads page size and the eight capabilities from `device` (in that order) and derives the
// printable area. Throws ScriptError: "Division by zero" for a zero resolution, "Overflow" when
// a margin or size leaves the 32-bit range.
PrinterMetrics readPrinterMetrics(const PrinterDevice& device);

// Division as the layout arithmetic does it: a zero divisor fails with "Division by zero"
// (0 / 0 with "Overflow") instead of yielding an infinity.
double checkedDivide(double numerator, double denominator);

}  // namespace sw::printing
