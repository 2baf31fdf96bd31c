#include "imaging/sheet_renderer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "imaging/bit_ops.h"
#include "imaging/pyramid.h"

namespace sw::imaging {

namespace {

// Area-average weights of one axis: output pixel i takes count[i] source pixels from first[i]
// with weights that sum to 256 (count 0: the pixel misses the sheet).
struct Taps {
    std::vector<int> first;
    std::vector<int> count;
    std::vector<int> offset;
    std::vector<std::uint16_t> weight;
    int lo = 0;  // lowest source index used
    int hi = 0;  // one past the highest
};

// Output pixels [from, to) with origin `lead` (display left/top) and `ratio` source pixels per
// output pixel, over a source axis of `size` pixels.
Taps makeTaps(int from, int to, double lead, double ratio, int size) {
    Taps t;
    const int n = to - from;
    t.first.assign(n, 0);
    t.count.assign(n, 0);
    t.offset.assign(n, 0);
    t.lo = size;
    t.hi = 0;
    for (int i = 0; i < n; ++i) {
        const double a = std::max((from + i - lead) * ratio, 0.0);
        const double b = std::min((from + i + 1 - lead) * ratio, static_cast<double>(size));
        t.offset[i] = static_cast<int>(t.weight.size());
        if (b - a <= 1e-9) {
            continue;
        }
        const int i0 = static_cast<int>(std::floor(a));
        const int i1 = std::min(size, static_cast<int>(std::ceil(b - 1e-9)));
        int sum = 0;
        size_t biggest = t.weight.size();
        for (int s = i0; s < std::max(i1, i0 + 1); ++s) {
            const double overlap = std::min<double>(s + 1, b) - std::max<double>(s, a);
            const int w = static_cast<int>(std::lround(overlap / (b - a) * 256.0));
            if (t.weight.size() > biggest && w > t.weight[biggest]) {
                biggest = t.weight.size();
            }
            t.weight.push_back(static_cast<std::uint16_t>(w));
            sum += w;
        }
        t.weight[biggest] = static_cast<std::uint16_t>(t.weight[biggest] + 256 - sum);
        t.first[i] = i0;
        t.count[i] = static_cast<int>(t.weight.size()) - t.offset[i];
        t.lo = std::min(t.lo, i0);
        t.hi = std::max(t.hi, i0 + t.count[i]);
    }
    return t;
}

// Rows of one pyramid level, columns [lo, hi) only: cached planes are read in place, the finer
// bilevel levels are computed from the packed bits into a scratch row.
class LevelRows {
public:
    LevelRows(const Sheet& sheet, int level, int lo, int hi)
        : m_sheet(sheet), m_level(level), m_lo(lo), m_hi(hi) {
        const bool computed = level < firstCachedLevel(sheet);
        m_channels = sheet.isBilevel() || sheet.image().depth() == 8 ? 1 : 4;
        if (computed) {
            if (sheet.isBilevel()) {
                m_scratch.resize(static_cast<size_t>(std::max(0, hi - lo)));
            }
        } else {
            m_plane = pyramidLevel(sheet, level);
        }
    }
    [[nodiscard]] int channels() const { return m_channels; }
    [[nodiscard]] int height() const {
        const int h = m_sheet.height();
        return static_cast<int>((static_cast<qint64>(h) + (1LL << m_level) - 1) >> m_level);
    }
    [[nodiscard]] int width() const {
        const int w = m_sheet.width();
        return static_cast<int>((static_cast<qint64>(w) + (1LL << m_level) - 1) >> m_level);
    }

    // Row j, indexed from column lo.
    const uchar* row(int j) {
        if (m_plane) {
            return m_plane->row(j) + static_cast<size_t>(m_lo) * m_channels;
        }
        const QImage& img = m_sheet.image();
        if (!m_sheet.isBilevel()) {
            return img.constScanLine(j) + static_cast<size_t>(m_lo) * m_channels;
        }
        if (m_level == 0) {
            bits::expandToBytes(img.constScanLine(j), m_lo, m_hi - m_lo, m_scratch.data());
        } else {
            const uchar* b = 2 * j + 1 < img.height() ? img.constScanLine(2 * j + 1) : nullptr;
            bits::pairCoverage(img.constScanLine(2 * j), b, m_lo, m_hi - m_lo, m_scratch.data());
        }
        return m_scratch.data();
    }

private:
    const Sheet& m_sheet;
    int m_level;
    int m_lo;
    int m_hi;
    int m_channels = 1;
    std::shared_ptr<const Plane> m_plane;
    std::vector<uchar> m_scratch;
};

// Horizontal pass results of recent source rows (uint16 sums, weights of 256), reused by the
// output rows that share them.
class RowCache {
public:
    RowCache(int slotCount, size_t length) : m_keys(slotCount, -1), m_rows(slotCount) {
        for (auto& r : m_rows) {
            r.resize(length);
        }
    }
    std::uint16_t* find(int key) {
        for (size_t i = 0; i < m_keys.size(); ++i) {
            if (m_keys[i] == key) {
                return m_rows[i].data();
            }
        }
        return nullptr;
    }
    std::uint16_t* claim(int key) {
        const size_t i = m_next++ % m_keys.size();
        m_keys[i] = key;
        return m_rows[i].data();
    }

private:
    std::vector<int> m_keys;
    std::vector<std::vector<std::uint16_t>> m_rows;
    size_t m_next = 0;
};

template <int C>
void horizontalPass(const uchar* src, const Taps& tx, int x0, int x1, int lo, std::uint16_t* out) {
    for (int x = x0; x < x1; ++x) {
        const int n = tx.count[x];
        const std::uint16_t* w = tx.weight.data() + tx.offset[x];
        const uchar* s = src + static_cast<size_t>(tx.first[x] - lo) * C;
        std::array<unsigned, C> acc{};
        for (int k = 0; k < n; ++k) {
            for (int c = 0; c < C; ++c) {
                acc[c] += s[k * C + c] * w[k];
            }
        }
        for (int c = 0; c < C; ++c) {
            out[x * C + c] = static_cast<std::uint16_t>(acc[c]);
        }
    }
}

template <int C>
void areaAverage(LevelRows& rows, const Taps& tx, const Taps& ty, int x0, int x1,
                 const QRect& region, const RowSink& sink) {
    const int outW = region.width();
    int maxTapsY = 1;
    for (int c : ty.count) {
        maxTapsY = std::max(maxTapsY, c);
    }
    RowCache cache(maxTapsY + 1, static_cast<size_t>(outW) * C);
    std::vector<const std::uint16_t*> h(static_cast<size_t>(maxTapsY));
    std::vector<uchar> values(static_cast<size_t>(outW) * C);
    for (int j = 0; j < region.height(); ++j) {
        RowSpan span{region.y() + j, region.x() + x0, region.x() + x0, C, values.data()};
        const int n = ty.count[j];
        if (n == 0 || x1 <= x0) {
            sink(span);
            continue;
        }
        const std::uint16_t* wy = ty.weight.data() + ty.offset[j];
        for (int k = 0; k < n; ++k) {
            const int sy = ty.first[j] + k;
            std::uint16_t* r = cache.find(sy);
            if (!r) {
                r = cache.claim(sy);
                horizontalPass<C>(rows.row(sy), tx, x0, x1, tx.lo, r);
            }
            h[k] = r;
        }
        for (int i = x0 * C; i < x1 * C; ++i) {
            unsigned acc = 32768;
            for (int k = 0; k < n; ++k) {
                acc += static_cast<unsigned>(h[k][i]) * wy[k];
            }
            values[i - x0 * C] = static_cast<uchar>(acc >> 16);
        }
        span.x1 = region.x() + x1;
        sink(span);
    }
}

template <int C>
void nearest(const Sheet& sheet, const QRectF& display, const QRect& region, const RowSink& sink) {
    const double sx = sheet.width() / display.width();
    const double sy = sheet.height() / display.height();
    const int w = region.width();
    std::vector<int> column(static_cast<size_t>(w));
    int x0 = w;
    int x1 = 0;
    for (int i = 0; i < w; ++i) {
        const double u = std::floor((region.x() + i + 0.5 - display.left()) * sx);
        column[i] = u >= 0 && u < sheet.width() ? static_cast<int>(u) : -1;
        if (column[i] >= 0) {
            x0 = std::min(x0, i);
            x1 = i + 1;
        }
    }
    std::vector<uchar> values(static_cast<size_t>(w) * C);
    int lastRow = -1;
    const QImage& img = sheet.image();
    for (int j = 0; j < region.height(); ++j) {
        const double v = std::floor((region.y() + j + 0.5 - display.top()) * sy);
        RowSpan span{region.y() + j, region.x() + x0, region.x() + x0, C, values.data()};
        if (v < 0 || v >= sheet.height() || x1 <= x0) {
            sink(span);
            continue;
        }
        const int row = static_cast<int>(v);
        if (row != lastRow) {
            const uchar* src = img.constScanLine(row);
            for (int i = x0; i < x1; ++i) {
                const int u = column[i];
                uchar* out = values.data() + static_cast<size_t>(i - x0) * C;
                if constexpr (C == 1) {
                    if (sheet.isBilevel()) {
                        *out = ((src[u >> 3] >> (7 - (u & 7))) & 1) ? 255 : 0;
                    } else {
                        *out = src[u];
                    }
                } else {
                    std::copy_n(src + static_cast<size_t>(u) * C, C, out);
                }
            }
            lastRow = row;
        }
        span.x1 = region.x() + x1;
        sink(span);
    }
}

template <int C>
void sampleWithChannels(const Sheet& sheet, const QRectF& display, const QRect& region,
                        const RowSink& sink) {
    const double sx = sheet.width() / display.width();
    const double sy = sheet.height() / display.height();
    if (sx <= 1.0 + 1e-9 && sy <= 1.0 + 1e-9) {
        nearest<C>(sheet, display, region, sink);
        return;
    }
    // The coarsest level with at least one cell per output pixel; from 8:1 on, one level finer so
    // that an output pixel spans 2 to 4 cells: a thin line then shares its cell with less paper
    // and stays darker.
    int level = 0;
    while (std::min(sx, sy) >= static_cast<double>(2LL << level) && level < topLevel(sheet)) {
        ++level;
    }
    if (level >= 3) {
        --level;
    }
    const double scale = static_cast<double>(1LL << level);
    const int levelW =
        static_cast<int>((static_cast<qint64>(sheet.width()) + (1LL << level) - 1) >> level);
    const int levelH =
        static_cast<int>((static_cast<qint64>(sheet.height()) + (1LL << level) - 1) >> level);
    Taps tx = makeTaps(region.x(), region.x() + region.width(), display.left(), sx / scale, levelW);
    Taps ty = makeTaps(region.y(), region.y() + region.height(), display.top(), sy / scale, levelH);
    int x0 = region.width();
    int x1 = 0;
    for (int i = 0; i < region.width(); ++i) {
        if (tx.count[i] > 0) {
            x0 = std::min(x0, i);
            x1 = i + 1;
        }
    }
    LevelRows rows(sheet, level, tx.lo, std::max(tx.lo, tx.hi));
    areaAverage<C>(rows, tx, ty, x0, x1, region, sink);
}

}  // namespace

void sampleSheet(const Sheet& sheet, const QRectF& display, const QRect& region,
                 const RowSink& sink) {
    if (sheet.isNull() || region.isEmpty()) {
        return;
    }
    if (display.width() <= 0 || display.height() <= 0) {
        for (int j = 0; j < region.height(); ++j) {
            sink(RowSpan{region.y() + j, region.x(), region.x(), 1, nullptr});
        }
        return;
    }
    if (sheet.isBilevel() || sheet.image().depth() == 8) {
        sampleWithChannels<1>(sheet, display, region, sink);
    } else {
        sampleWithChannels<4>(sheet, display, region, sink);
    }
}

namespace {

// Colours of coverage values for a bilevel sheet. Coverage is darkened along a square-root curve
// so that a thin line reduced to a fraction of a pixel still reads clearly against the paper.
std::array<QRgb, 256> bilevelColours(QRgb paper, QRgb ink) {
    std::array<QRgb, 256> lut{};
    for (int c = 0; c < 256; ++c) {
        const double t = std::sqrt(c / 255.0);
        auto mix = [t](int p, int i) { return static_cast<int>(std::lround(p + (i - p) * t)); };
        lut[c] = qRgb(mix(qRed(paper), qRed(ink)), mix(qGreen(paper), qGreen(ink)),
                      mix(qBlue(paper), qBlue(ink)));
    }
    return lut;
}

std::array<QRgb, 256> greyColours() {
    std::array<QRgb, 256> lut{};
    for (int c = 0; c < 256; ++c) {
        lut[c] = qRgb(c, c, c);
    }
    return lut;
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
    const bool colour = !sheet.isBilevel() && sheet.image().depth() != 8;
    const bool alpha = sheet.image().hasAlphaChannel();
    const std::array<QRgb, 256> lut =
        sheet.isBilevel() ? bilevelColours(sheet.paperColour(), sheet.inkColour()) : greyColours();
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
