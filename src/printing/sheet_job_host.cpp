#include "printing/sheet_job_host.h"

#include <cmath>

#include "imaging/transforms.h"

namespace sw::printing {

SheetJobHost::SheetJobHost(imaging::Sheet sheet, LayoutOptions options, TileMarks marks)
    : m_sheet(std::move(sheet)), m_options(std::move(options)), m_marks(marks) {}

LayoutSheet SheetJobHost::layoutSheet() const {
    LayoutSheet s;
    s.hasImage = !m_sheet.isNull();
    s.imageWidthPx = m_sheet.width();
    s.imageHeightPx = m_sheet.height();
    s.resX = m_sheet.dpiX();
    s.resY = m_sheet.dpiY();
    s.displayWidth = m_sheet.width();
    s.displayHeight = m_sheet.height();
    return s;
}

SheetMarks SheetJobHost::sheetMarks() const {
    return mappedMarks(m_sourceMarks, m_sheet.source().toImage);
}

void SheetJobHost::resampleSheet(double width, double height) {
    const int w = static_cast<int>(std::lround(width));
    const int h = static_cast<int>(std::lround(height));
    if (m_sheet.isNull() || w <= 0 || h <= 0) {
        return;
    }
    m_sheet = imaging::resampled(m_sheet, w, h, false);
}

}  // namespace sw::printing
