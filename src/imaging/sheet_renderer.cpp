#include "imaging/sheet_renderer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <type_traits>
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

// What Qt's own conversion to Format_Grayscale8 makes of each colour, so that a grey target gets
// exactly the pixels of a colour render converted afterwards.
template <size_t N>
std::array<uchar, N> greyOf(const std::array<QRgb, N>& colours) {
    const QImage row(reinterpret_cast<const uchar*>(colours.data()), static_cast<int>(N), 1,
                     static_cast<qsizetype>(N * sizeof(QRgb)), QImage::Format_RGB32);
    const QImage grey = row.convertToFormat(QImage::Format_Grayscale8);
    std::array<uchar, N> out{};
    std::copy_n(grey.constScanLine(0), N, out.begin());
    return out;
}

// Close views of bilevel sheets straight to colours: each output pixel takes the paper or ink
// colour of its sheet pixel, and output rows that show the same sheet row are copied. Pixel is
// QRgb for a 32-bit target, uchar for a grey one.
template <typename Pixel>
void nearestBilevel(const Sheet& sheet, QImage& target, const QPoint& origin, const QRectF& display,
                    Pixel bg, const Pixel colours[2]) {
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
    const QImage& image = sheet.image();
    int lastRow = -1;
    const Pixel* lastOut = nullptr;
    for (int j = 0; j < target.height(); ++j) {
        auto* out = reinterpret_cast<Pixel*>(target.scanLine(j));
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

// A colour sheet (or one with an overlay) onto a grey target: 32-bit bands converted by Qt, as
// the colour drawing would be.
void renderColourAsGrey(const Sheet& sheet, QImage& target, const QPoint& origin,
                        const QRectF& display, QRgb background) {
    constexpr int kBand = 64;
    QImage band(target.width(), std::min(kBand, target.height()), QImage::Format_RGB32);
    for (int top = 0; top < target.height(); top += band.height()) {
        const int rows = std::min(band.height(), target.height() - top);
        renderSheet(sheet, band, origin + QPoint(0, top), display, background);
        const QImage grey = band.convertToFormat(QImage::Format_Grayscale8);
        for (int j = 0; j < rows; ++j) {
            std::copy_n(grey.constScanLine(j), target.width(), target.scanLine(top + j));
        }
    }
}

// Sheets whose values map to colours through a table (bilevel and grey) onto a 32-bit or a grey
// target.
template <typename Pixel>
void renderThroughTable(const Sheet& sheet, QImage& target, const QPoint& origin,
                        const QRectF& display, QRgb background) {
    const std::array<QRgb, 256> colours =
        sheet.isBilevel() ? coverageColours(sheet.paperColour(), sheet.inkColour()) : greyColours();
    // Entries 0..255 the table, 256 the background, 257 and 258 paper and ink.
    std::array<QRgb, 259> rgb{};
    std::copy(colours.begin(), colours.end(), rgb.begin());
    rgb[256] = background | 0xFF000000u;
    rgb[257] = sheet.paperColour() | 0xFF000000u;
    rgb[258] = sheet.inkColour() | 0xFF000000u;
    std::array<Pixel, 259> lut{};
    if constexpr (std::is_same_v<Pixel, QRgb>) {
        lut = rgb;
    } else {
        lut = greyOf(rgb);
    }
    const Pixel bg = lut[256];
    const bool finite = std::isfinite(display.left()) && std::isfinite(display.top()) &&
                        std::isfinite(display.width()) && std::isfinite(display.height());
    if (finite && sheet.isBilevel() && display.width() >= sheet.width() &&
        display.height() >= sheet.height()) {
        nearestBilevel<Pixel>(sheet, target, origin, display, bg, lut.data() + 257);
        return;
    }
    sampleSheet(sheet, display, QRect(origin, target.size()), [&](const RowSpan& span) {
        writeSpan(span, origin.x(), target.width(), lut, bg,
                  reinterpret_cast<Pixel*>(target.scanLine(span.y - origin.y())));
    });
}

}  // namespace

void renderSheet(const Sheet& sheet, QImage& target, const QPoint& origin, const QRectF& display,
                 QRgb background) {
    const QRgb bg = background | 0xFF000000u;
    const bool grey = target.format() == QImage::Format_Grayscale8;
    if (sheet.isNull()) {
        if (grey) {
            target.fill(greyOf(std::array<QRgb, 1>{bg})[0]);
        } else {
            target.fill(bg);
        }
        return;
    }
    const bool colour = !sheet.isBilevel() && sheet.image().depth() != 8;
    if (grey && (colour || sheet.overlay())) {
        renderColourAsGrey(sheet, target, origin, display, bg);
        return;
    }
    if (sheet.overlay()) {
        sheet.overlay()->render(sheet, target, origin, display, background);
        return;
    }
    if (!colour) {
        if (grey) {
            renderThroughTable<uchar>(sheet, target, origin, display, bg);
        } else {
            renderThroughTable<QRgb>(sheet, target, origin, display, bg);
        }
        return;
    }
    const bool alpha = sheet.image().hasAlphaChannel();
    sampleSheet(sheet, display, QRect(origin, target.size()), [&](const RowSpan& span) {
        auto* out = reinterpret_cast<QRgb*>(target.scanLine(span.y - origin.y()));
        const int a = span.x0 - origin.x();
        const int b = span.x1 - origin.x();
        std::fill(out, out + a, bg);
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
