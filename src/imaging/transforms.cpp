#include "imaging/transforms.h"

#include <cmath>
#include <numbers>

#include <QPainter>

#include "imaging/bit_ops.h"
#include "imaging/imaging_error.h"
#include "imaging/sheet_overlay.h"
#include "imaging/sheet_renderer.h"

namespace sw::imaging {

namespace {

// `result` with the counterpart of `source`'s overlay (see sheet_overlay.h), made by `follow`.
template <class Follow>
Sheet keepingOverlay(const Sheet& source, Sheet result, Follow follow) {
    if (const auto& overlay = source.overlay()) {
        result.setOverlay(follow(*overlay, result));
    }
    return result;
}

QImage checked(QImage image, int w, int h) {
    if (image.isNull()) {
        throw ImagingError(
            QStringLiteral("Not enough memory for an image of %1 x %2 pixels").arg(w).arg(h));
    }
    return image;
}

// `made` with the source of `from` carried over through `step` (from's pixels to made's).
Sheet derived(Sheet made, const Sheet& from, const QTransform& step) {
    made.deriveSource(from, step);
    return made;
}

// A turn by `degrees` clockwise about the sheet's centre into an image of `turned` size, centred.
QTransform turnStep(QSize before, QSize turned, double degrees) {
    return QTransform::fromTranslate(-before.width() / 2.0, -before.height() / 2.0) *
           QTransform().rotate(degrees) *
           QTransform::fromTranslate(turned.width() / 2.0, turned.height() / 2.0);
}

QImage newMono(const Sheet& like, int w, int h) {
    QImage image = checked(QImage(w, h, QImage::Format_Mono), w, h);
    image.setColorTable({like.paperColour(), like.inkColour()});
    return image;
}

Sheet rotatedBilevel(const Sheet& sheet, double radians, QRgb fill) {
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    const int w = sheet.width();
    const int h = sheet.height();
    const int outW =
        std::max(1, static_cast<int>(std::ceil(std::abs(w * c) + std::abs(h * s) - 1e-6)));
    const int outH =
        std::max(1, static_cast<int>(std::ceil(std::abs(w * s) + std::abs(h * c) - 1e-6)));
    QImage out = newMono(sheet, outW, outH);
    const bool fillInk = std::abs(qGray(fill) - qGray(sheet.inkColour())) <
                         std::abs(qGray(fill) - qGray(sheet.paperColour()));
    const QImage& src = sheet.image();
    for (int y = 0; y < outH; ++y) {
        uchar* row = out.scanLine(y);
        std::fill_n(row, out.bytesPerLine(), 0);
        const double dy = y + 0.5 - outH / 2.0;
        // Inverse of the clockwise turn: source = R(-angle) * (output - centre) + centre.
        double u = -(outW / 2.0) * c + dy * s + w / 2.0 + 0.5 * c;
        double v = (outW / 2.0) * s + dy * c + h / 2.0 - 0.5 * s;
        for (int x = 0; x < outW; ++x, u += c, v -= s) {
            const int sx = static_cast<int>(std::floor(u));
            const int sy = static_cast<int>(std::floor(v));
            bool ink = fillInk;
            if (sx >= 0 && sx < w && sy >= 0 && sy < h) {
                ink = (src.constScanLine(sy)[sx >> 3] >> (7 - (sx & 7))) & 1;
            }
            if (ink) {
                row[x >> 3] |= static_cast<uchar>(0x80 >> (x & 7));
            }
        }
    }
    bits::clearPadding(out);
    return Sheet(out, sheet.dpiX(), sheet.dpiY());
}

Sheet rotatedDeep(const Sheet& sheet, double degrees, QRgb fill) {
    const QImage& src = sheet.image();
    QTransform turn;
    turn.rotate(degrees);
    const QRect box = turn.mapRect(QRectF(src.rect())).toAlignedRect();
    const QImage::Format format =
        src.format() == QImage::Format_Grayscale8 ? QImage::Format_RGB32 : src.format();
    QImage out = checked(QImage(box.size(), format), box.width(), box.height());
    out.fill(fill);
    {
        QPainter painter(&out);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.translate(box.width() / 2.0, box.height() / 2.0);
        painter.rotate(degrees);
        painter.drawImage(QPointF(-src.width() / 2.0, -src.height() / 2.0), src);
    }
    if (src.format() == QImage::Format_Grayscale8 && qGray(fill) == qRed(fill) &&
        qRed(fill) == qBlue(fill) && qRed(fill) == qGreen(fill)) {
        out = out.convertToFormat(QImage::Format_Grayscale8);
    }
    return Sheet(out, sheet.dpiX(), sheet.dpiY());
}

Sheet turnedPixels(const Sheet& sheet, int hundredths, QRgb fill) {
    if (hundredths % 9000 == 0) {
        const int turns = ((hundredths / 9000) % 4 + 4) % 4;
        if (turns == 0) {
            return sheet;
        }
        QImage image;
        if (sheet.isBilevel()) {
            image = bits::rotateQuarterTurns(sheet.image(), turns);
        } else {
            QTransform t;
            t.rotate(90.0 * turns);
            image = sheet.image().transformed(t);
        }
        const int w = turns % 2 ? sheet.height() : sheet.width();
        const int h = turns % 2 ? sheet.width() : sheet.height();
        image = checked(image, w, h);
        return turns % 2 ? Sheet(image, sheet.dpiY(), sheet.dpiX())
                         : Sheet(image, sheet.dpiX(), sheet.dpiY());
    }
    const double degrees = hundredths / 100.0;
    if (sheet.isBilevel()) {
        return rotatedBilevel(sheet, degrees * std::numbers::pi / 180.0, fill);
    }
    return rotatedDeep(sheet, degrees, fill);
}

}  // namespace

Sheet rotated(const Sheet& sheet, int hundredths, QRgb fill) {
    if (sheet.isNull() || hundredths % 36000 == 0) {
        return sheet;
    }
    const Sheet turned = turnedPixels(sheet, hundredths, fill);
    Sheet result =
        derived(turned, sheet, turnStep(sheet.size(), turned.size(), hundredths / 100.0));
    if (hundredths % 9000 != 0) {
        return result;
    }
    const int turns = ((hundredths / 9000) % 4 + 4) % 4;
    return keepingOverlay(sheet, std::move(result), [&](const SheetOverlay& o, const Sheet& r) {
        return o.turned(sheet, r, turns);
    });
}

namespace {

Sheet resampledPixels(const Sheet& sheet, int width, int height, bool keepPhysicalSize) {
    const double fx = static_cast<double>(sheet.width()) / width;
    const double fy = static_cast<double>(sheet.height()) / height;
    const double dpiX = keepPhysicalSize ? sheet.dpiX() / fx : sheet.dpiX();
    const double dpiY = keepPhysicalSize ? sheet.dpiY() / fy : sheet.dpiY();
    if (width == sheet.width() && height == sheet.height()) {
        return Sheet(sheet.image(), dpiX, dpiY);
    }
    if (!sheet.isBilevel()) {
        QImage image =
            sheet.image().scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        return Sheet(checked(image, width, height), dpiX, dpiY);
    }
    QImage out = newMono(sheet, width, height);
    // A one-pixel line covers 1/f of an output pixel; keep it by lowering the threshold with f.
    const double f = std::max(1.0, std::sqrt(fx * fy));
    const int threshold = std::max(1, static_cast<int>(std::lround(128.0 / f)));
    sampleSheet(sheet, QRectF(0, 0, width, height), QRect(0, 0, width, height),
                [&](const RowSpan& span) {
                    uchar* row = out.scanLine(span.y);
                    std::fill_n(row, out.bytesPerLine(), 0);
                    for (int x = span.x0; x < span.x1; ++x) {
                        if (span.values[x - span.x0] >= threshold) {
                            row[x >> 3] |= static_cast<uchar>(0x80 >> (x & 7));
                        }
                    }
                });
    return Sheet(out, dpiX, dpiY);
}

}  // namespace

Sheet resampled(const Sheet& sheet, int width, int height, bool keepPhysicalSize) {
    if (sheet.isNull()) {
        return sheet;
    }
    if (width < 1 || height < 1) {
        throw ImagingError(
            QStringLiteral("Cannot resample to %1 x %2 pixels").arg(width).arg(height));
    }
    return keepingOverlay(
        sheet,
        derived(resampledPixels(sheet, width, height, keepPhysicalSize), sheet,
                QTransform::fromScale(static_cast<double>(width) / sheet.width(),
                                      static_cast<double>(height) / sheet.height())),
        [&](const SheetOverlay& o, const Sheet& r) { return o.resampled(sheet, r); });
}

Sheet cropped(const Sheet& sheet, const QRectF& rect) {
    if (sheet.isNull()) {
        return sheet;
    }
    const QRect wanted(
        static_cast<int>(std::lround(rect.x())), static_cast<int>(std::lround(rect.y())),
        static_cast<int>(std::lround(rect.width())), static_cast<int>(std::lround(rect.height())));
    const QRect area = wanted.intersected(sheet.image().rect());
    if (area.isEmpty()) {
        throw ImagingError(QStringLiteral("The crop rectangle lies outside the image"));
    }
    QImage image =
        sheet.isBilevel() ? bits::cropped(sheet.image(), area) : sheet.image().copy(area);
    return keepingOverlay(
        sheet,
        derived(Sheet(checked(image, area.width(), area.height()), sheet.dpiX(), sheet.dpiY()),
                sheet, QTransform::fromTranslate(-area.x(), -area.y())),
        [&](const SheetOverlay& o, const Sheet& r) { return o.cropped(sheet, r, area); });
}

Sheet reducedToBilevel(const Sheet& sheet, QRgb ink, QRgb paper) {
    if (sheet.isNull()) {
        return sheet;
    }
    if (sheet.isBilevel()) {
        QImage image = sheet.image();
        image.setColorTable({paper, ink});
        // Sheet keeps the lighter colour as paper; a darker "paper" swaps the bits, which keeps
        // the pixels' colours (and leaves an overlay of the old bits behind).
        Sheet recoloured = derived(Sheet(image, sheet.dpiX(), sheet.dpiY()), sheet, QTransform());
        if (qGray(paper) < qGray(ink)) {
            return recoloured;
        }
        return keepingOverlay(
            sheet, std::move(recoloured),
            [](const SheetOverlay& o, const Sheet& r) { return o.recoloured(r); });
    }
    const QImage& src = sheet.image();
    QImage out =
        checked(QImage(src.width(), src.height(), QImage::Format_Mono), src.width(), src.height());
    out.setColorTable({paper, ink});
    const bool grey = src.depth() == 8;
    for (int y = 0; y < src.height(); ++y) {
        const uchar* s = src.constScanLine(y);
        uchar* d = out.scanLine(y);
        std::fill_n(d, out.bytesPerLine(), 0);
        for (int x = 0; x < src.width(); ++x) {
            const int lum = grey ? s[x] : qGray(reinterpret_cast<const QRgb*>(s)[x]);
            if (lum < 128) {
                d[x >> 3] |= static_cast<uchar>(0x80 >> (x & 7));
            }
        }
    }
    return derived(Sheet(out, sheet.dpiX(), sheet.dpiY()), sheet, QTransform());
}

}  // namespace sw::imaging
