#include "imaging/sheet.h"

#include <cmath>

#include <QList>

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
    m_source = Source{m_image.size(), m_dpiX, m_dpiY, QTransform()};
    m_cache = std::make_shared<Cache>();
}

namespace {

constexpr char kSourceTag[] = "sheetwise-source";
constexpr int kSourceFields = 10;  // width height dpiX dpiY m11 m12 m21 m22 dx dy
constexpr double kLargestSourceSide = 1 << 20;
// A map may scale by no more than this and move by no more than this many pixels.
constexpr double kLargestScale = 1e4;
constexpr double kLargestShift = 1e8;

}  // namespace

bool Sheet::Source::isSelf(const Sheet& sheet) const {
    return toImage.isIdentity() && size == sheet.size() && dpiX == sheet.dpiX() &&
           dpiY == sheet.dpiY();
}

QByteArray Sheet::Source::toText() const {
    QByteArray text = kSourceTag;
    for (const double v :
         {double(size.width()), double(size.height()), dpiX, dpiY, toImage.m11(), toImage.m12(),
          toImage.m21(), toImage.m22(), toImage.dx(), toImage.dy()}) {
        text += ' ' + QByteArray::number(v, 'g', 17);
    }
    return text;
}

std::optional<Sheet::Source> Sheet::Source::fromText(QByteArrayView text) {
    const QList<QByteArray> parts = text.toByteArray().simplified().split(' ');
    if (parts.size() != kSourceFields + 1 || parts.front() != kSourceTag) {
        return std::nullopt;
    }
    double v[kSourceFields];
    for (int i = 0; i < kSourceFields; ++i) {
        bool ok = false;
        v[i] = parts.at(i + 1).toDouble(&ok);
        if (!ok || !std::isfinite(v[i])) {
            return std::nullopt;
        }
    }
    const bool sizeOk = v[0] >= 1 && v[1] >= 1 && v[0] <= kLargestSourceSide &&
                        v[1] <= kLargestSourceSide && v[0] == std::floor(v[0]) &&
                        v[1] == std::floor(v[1]);
    for (int i = 4; i < kSourceFields; ++i) {
        if (std::abs(v[i]) > (i < 8 ? kLargestScale : kLargestShift)) {
            return std::nullopt;
        }
    }
    const QTransform map(v[4], v[5], v[6], v[7], v[8], v[9]);
    if (!sizeOk || !(v[2] > 0) || !(v[3] > 0) || !map.isInvertible()) {
        return std::nullopt;
    }
    return Source{QSize(static_cast<int>(v[0]), static_cast<int>(v[1])), v[2], v[3], map};
}

void Sheet::deriveSource(const Sheet& from, const QTransform& step) {
    m_source = from.m_source;
    m_source.toImage = from.m_source.toImage * step;
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
