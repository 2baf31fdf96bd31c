#include "imaging/sheet.h"

namespace sw::imaging {

struct Sheet::Cache {};

Sheet::Sheet(QImage image, double dpiX, double dpiY) : m_image(std::move(image)) {
    setDpi(dpiX, dpiY);
}

void Sheet::setDpi(double dpiX, double dpiY) {
    m_dpiX = dpiX > 0 ? dpiX : kDefaultDpi;
    m_dpiY = dpiY > 0 ? dpiY : kDefaultDpi;
}

int Sheet::bitsPerPixel() const {
    switch (m_image.format()) {
        case QImage::Format_Mono:
        case QImage::Format_MonoLSB:
            return 1;
        case QImage::Format_Grayscale8:
        case QImage::Format_Indexed8:
            return 8;
        case QImage::Format_RGB32:
        case QImage::Format_RGB888:
            return 24;
        default:
            return 32;
    }
}

std::shared_ptr<Sheet::Cache> Sheet::cache() const {
    if (!m_cache) {
        m_cache = std::make_shared<Cache>();
    }
    return m_cache;
}

}  // namespace sw::imaging
