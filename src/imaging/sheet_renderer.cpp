#include "imaging/sheet_renderer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "imaging/sheet_overlay.h"

namespace sw::imaging {

std::array<QRgb, 256> coverageColours(QRgb paper, QRgb ink) {
    std::array<QRgb, 256> lut{};
    for (int c = 0; c < 256; ++c) {
        const double t = std::sqrt(c / 255.0);
        auto mix = [t](int p, int i) { return static_cast<int>(std::lround(p + (i - p) * t)); };
        lut[c] = qRgb(mix(qRed(paper), qRed(ink)), mix(qGreen(paper), qGreen(ink)),
                      mix(qBlue(paper), qBlue(ink)));
    }
    return lut;
}

namespace {

std::array<QRgb, 256> greyColours() {
    std::array<QRgb, 256> lut{};
    for (int c = 0; c < 256; ++c) {
        lut[c] = qRgb(c, c, c);
    }
    return lut;
}

}  // namespace

namespace {

// Close views of bilevel sheets straight to colours: each output pixel takes the paper or ink
// colour of its sheet pixel, and output rows that show the same sheet row are copied.
void nearestBilevel(const Sheet& sheet, QImage& target, const QPoint& origin, const QRectF& display,
                    QRgb bg) {
    const double sx = sheet.width() / display.width();
    const double sy = sheet.height() / display.height();
    const int w = target.width();
    std::vector<int> byteOf(static_cast<size_t>(w));
    std::vector<uchar> shiftOf(static_cast<size_t>(w));
    int x0 = w;
    int x1 = 0;
    for (int i = 0; i < w; ++i) {
        const double u = std::floor((origin.x() + i + 0.5 - display.left()) * sx);
        if (u >= 0 && u < sheet.width()) {
            byteOf[i] = static_cast<int>(u) >> 3;
            shiftOf[i] = static_cast<uchar>(7 - (static_cast<int>(u) & 7));
            x0 = std::min(x0, i);
            x1 = i + 1;
        }
    }
    const bool oneToOne = sx == 1.0 && x1 > x0;
    const int firstU = x1 > x0 ? byteOf[x0] * 8 + 7 - shiftOf[x0] : 0;
    const QRgb colours[2] = {sheet.paperColour() | 0xFF000000u, sheet.inkColour() | 0xFF000000u};
    const QImage& image = sheet.image();
    int lastRow = -1;
    const QRgb* lastOut = nullptr;
    for (int j = 0; j < target.height(); ++j) {
        auto* out = reinterpret_cast<QRgb*>(target.scanLine(j));
        const double v = std::floor((origin.y() + j + 0.5 - display.top()) * sy);
        if (v < 0 || v >= sheet.height() || x1 <= x0) {
            std::fill(out, out + w, bg);
            continue;
        }
        const int row = static_cast<int>(v);
        if (row == lastRow) {
            std::copy_n(lastOut, w, out);
            continue;
        }
        std::fill(out, out + x0, bg);
        std::fill(out + x1, out + w, bg);
        const uchar* src = image.constScanLine(row);
        int i = x0;
        if (oneToOne) {
            int u = firstU;
            for (; i < x1 && (u & 7) != 0; ++i, ++u) {
                out[i] = colours[(src[u >> 3] >> (7 - (u & 7))) & 1];
            }
            for (; i + 8 <= x1; i += 8, u += 8) {
                const unsigned b = src[u >> 3];
                for (int k = 0; k < 8; ++k) {
                    out[i + k] = colours[(b >> (7 - k)) & 1];
                }
            }
        }
        for (; i < x1; ++i) {
            out[i] = colours[(src[byteOf[i]] >> shiftOf[i]) & 1];
        }
        lastRow = row;
        lastOut = out;
    }
}

}  // namespace

void renderSheet(const Sheet& sheet, QImage& target, const QPoint& origin, const QRectF& display,
                 QRgb background) {
    const QRgb bg = background | 0xFF000000u;
    const QRect region(origin, target.size());
    if (sheet.isNull()) {
        target.fill(bg);
        return;
    }
    if (sheet.overlay()) {
        sheet.overlay()->render(sheet, target, origin, display, background);
        return;
    }
    const bool finite = std::isfinite(display.left()) && std::isfinite(display.top()) &&
                        std::isfinite(display.width()) && std::isfinite(display.height());
    if (finite && sheet.isBilevel() && display.width() >= sheet.width() &&
        display.height() >= sheet.height()) {
        nearestBilevel(sheet, target, origin, display, bg);
        return;
    }
    const bool colour = !sheet.isBilevel() && sheet.image().depth() != 8;
    const bool alpha = sheet.image().hasAlphaChannel();
    const std::array<QRgb, 256> lut =
        sheet.isBilevel() ? coverageColours(sheet.paperColour(), sheet.inkColour()) : greyColours();
    sampleSheet(sheet, display, region, [&](const RowSpan& span) {
        auto* out = reinterpret_cast<QRgb*>(target.scanLine(span.y - origin.y()));
        const int a = span.x0 - origin.x();
        const int b = span.x1 - origin.x();
        std::fill(out, out + a, bg);
        if (!colour) {
            for (int i = a; i < b; ++i) {
                out[i] = lut[span.values[i - a]];
            }
        } else {
            const auto* px = reinterpret_cast<const QRgb*>(span.values);
            for (int i = a; i < b; ++i) {
                QRgb p = px[i - a];
                if (alpha) {
                    const int al = qAlpha(p);
                    auto over = [al](int c) { return (c * al + 255 * (255 - al) + 127) / 255; };
                    p = qRgb(over(qRed(p)), over(qGreen(p)), over(qBlue(p)));
                }
                out[i] = p | 0xFF000000u;
            }
        }
        std::fill(out + b, out + target.width(), bg);
    });
}

QImage renderSheet(const Sheet& sheet, const QSize& size, const QRectF& display, QRgb background) {
    QImage image(size, QImage::Format_RGB32);
    if (!image.isNull()) {
        renderSheet(sheet, image, QPoint(0, 0), display, background);
    }
    return image;
}

}  // namespace sw::imaging
