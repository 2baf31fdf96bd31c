#include "imaging/sheet.h"

#include <cmath>

#include "imaging/bit_ops.h"
#include "imaging/pyramid.h"

namespace sw::imaging {

namespace {

QImage normalised(QImage image) {
    switch (image.format()) {
        case QImage::Format_Invalid:
            return {};
        case QImage::Format_Mono:
            break;
        case QImage::Format_MonoLSB:
            image = image.convertToFormat(QImage::Format_Mono);
            break;
        case QImage::Format_Grayscale8:
        case QImage::Format_RGB32:
        case QImage::Format_ARGB32:
            return image;
        case QImage::Format_Grayscale16:
        case QImage::Format_Alpha8:
            return image.convertToFormat(QImage::Format_Grayscale8);
        default:
            return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                                 : QImage::Format_RGB32);
    }
    QList<QRgb> table = image.colorTable();
    if (table.size() < 2) {
        table = {qRgb(255, 255, 255), qRgb(0, 0, 0)};
        image.setColorTable(table);
    }
    if (qGray(table[0]) < qGray(table[1])) {
        image.invertPixels();
        image.setColorTable({table[1], table[0]});
    }
    bits::clearPadding(image);
    return image;
}

}  // namespace

Sheet::Sheet(QImage image, double dpiX, double dpiY) : m_image(normalised(std::move(image))) {
    setDpi(dpiX, dpiY);
    m_cache = std::make_shared<Cache>();
}

void Sheet::setDpi(double dpiX, double dpiY) {
    m_dpiX = std::isfinite(dpiX) && dpiX > 0 ? dpiX : kDefaultDpi;
    m_dpiY = std::isfinite(dpiY) && dpiY > 0 ? dpiY : kDefaultDpi;
}

int Sheet::bitsPerPixel() const {
    switch (m_image.format()) {
        case QImage::Format_Mono:
            return 1;
        case QImage::Format_Grayscale8:
            return 8;
        case QImage::Format_RGB32:
            return 24;
        case QImage::Format_Invalid:
            return 0;
        default:
            return 32;
    }
}

QRgb Sheet::paperColour() const {
    return isBilevel() ? m_image.color(0) : qRgb(255, 255, 255);
}

QRgb Sheet::inkColour() const {
    return isBilevel() ? m_image.color(1) : qRgb(0, 0, 0);
}

std::shared_ptr<Sheet::Cache> Sheet::cache() const {
    return m_cache ? m_cache : std::make_shared<Cache>();
}

}  // namespace sw::imaging
