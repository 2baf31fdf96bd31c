// The sampling engine behind sampleSheet(): area averages from pyramid levels or the packed
// bits of the visible part, nearest neighbour for close views. See sheet_renderer.h.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "imaging/sheet_renderer.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "imaging/bit_ops.h"
#include "imaging/pyramid.h"

namespace sw::imaging {

namespace {

// Area-average weights of one axis: output pixel i takes source pixels first[i] ..
// first[i] + width - 1 with weights weight[i * width + t] (unused taps weigh 0;
// count[i] == 0: the pixel misses the sheet). All pixels have the same number of taps so that the
// inner loops have a fixed length.
struct Taps {
    std::vector<int> first;
    std::vector<int> count;
    std::vector<std::uint16_t> weight;
    int width = 1;
    int lo = 0;  // lowest source index used
    int hi = 0;  // one past the highest
};

// Output pixels [from, to) with origin `lead` (display left/top) and `ratio` source pixels per
// output pixel, over a source axis of `size` pixels; weights sum to `total`. The number of taps is
// rounded up to 4 or 8 when `padded`, for the vector kernels.
Taps makeTaps(int from, int to, double lead, double ratio, int size, int total, bool padded) {
    Taps t;
    const int n = to - from;
    t.first.assign(n, 0);
    t.count.assign(n, 0);
    t.width = std::max(1, static_cast<int>(std::ceil(ratio)) + 1);
    if (padded && t.width <= 8) {
        t.width = t.width <= 4 ? 4 : 8;
    }
    t.weight.assign(static_cast<size_t>(n) * t.width, 0);
    t.lo = size;
    t.hi = 0;
    for (int i = 0; i < n; ++i) {
        const double a = std::max((from + i - lead) * ratio, 0.0);
        const double b = std::min((from + i + 1 - lead) * ratio, static_cast<double>(size));
        if (b - a <= 1e-9) {
            continue;
        }
        const int i0 = static_cast<int>(std::floor(a));
        const int i1 = std::max(i0 + 1, std::min(size, static_cast<int>(std::ceil(b - 1e-9))));
        std::uint16_t* w = t.weight.data() + static_cast<size_t>(i) * t.width;
        int sum = 0;
        int biggest = 0;
        const int count = std::min(i1 - i0, t.width);
        for (int k = 0; k < count; ++k) {
            const double overlap = std::min<double>(i0 + k + 1, b) - std::max<double>(i0 + k, a);
            w[k] =
                static_cast<std::uint16_t>(std::lround(std::max(0.0, overlap) / (b - a) * total));
            sum += w[k];
            biggest = w[k] > w[biggest] ? k : biggest;
        }
        w[biggest] = static_cast<std::uint16_t>(w[biggest] + total - sum);
        t.first[i] = i0;
        t.count[i] = count;
        t.lo = std::min(t.lo, i0);
        t.hi = std::max(t.hi, i0 + count);
    }
    return t;
}

// Rows of one pyramid level, columns [lo, hi) only: cached planes are read in place, the finer
// bilevel levels are computed from the packed bits of those columns (and kept for the few output
// rows that share them).
class LevelRows {
public:
    LevelRows(const Sheet& sheet, int level, int lo, int hi, int keep)
        : m_sheet(sheet), m_level(level), m_lo(lo), m_hi(hi) {
        m_channels = sheet.isBilevel() || sheet.image().depth() == 8 ? 1 : 4;
        if (level >= firstCachedLevel(sheet)) {
            m_plane = pyramidLevel(sheet, level);
        } else if (sheet.isBilevel()) {
            m_keys.assign(static_cast<size_t>(keep), -1);
            m_rows.assign(static_cast<size_t>(keep),
                          std::vector<uchar>(static_cast<size_t>(std::max(0, hi - lo))));
        }
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
        for (size_t i = 0; i < m_keys.size(); ++i) {
            if (m_keys[i] == j) {
                return m_rows[i].data();
            }
        }
        const size_t slot = m_next++ % m_keys.size();
        m_keys[slot] = j;
        uchar* out = m_rows[slot].data();
        if (m_level == 0) {
            bits::expandToBytes(img.constScanLine(j), m_lo, m_hi - m_lo, out);
        } else {
            const uchar* b = 2 * j + 1 < img.height() ? img.constScanLine(2 * j + 1) : nullptr;
            bits::pairCoverage(img.constScanLine(2 * j), b, m_lo, m_hi - m_lo, out);
        }
        return out;
    }

private:
    const Sheet& m_sheet;
    int m_level;
    int m_lo;
    int m_hi;
    int m_channels = 1;
    std::shared_ptr<const Plane> m_plane;
    std::vector<int> m_keys;
    std::vector<std::vector<uchar>> m_rows;
    size_t m_next = 0;
};

// Horizontal pass over the vertically combined row `v` (sums of at most 255 * 128, indexed from
// column lo; horizontal weights sum to 256): T taps per output pixel, C channels.
template <int C, int T>
void horizontal(const std::uint16_t* v, const Taps& tx, int x0, int x1, uchar* out, int width) {
    const int taps = T > 0 ? T : width;
    for (int x = x0; x < x1; ++x) {
        const std::uint16_t* w = tx.weight.data() + static_cast<size_t>(x) * taps;
        const std::uint16_t* s = v + static_cast<size_t>(tx.first[x] - tx.lo) * C;
        for (int c = 0; c < C; ++c) {
            std::uint32_t acc = 1 << 14;
            for (int k = 0; k < taps; ++k) {
                acc += static_cast<std::uint32_t>(s[k * C + c]) * w[k];
            }
            out[(x - x0) * C + c] = static_cast<uchar>(acc >> 15);
        }
    }
}

#ifdef __SSE2__
// One channel, 4 or 8 taps: a multiply-add of 16-bit values and weights per output pixel; with
// 4 taps, four output pixels per step.
template <int T>
void horizontalSse2(const std::uint16_t* v, const Taps& tx, int x0, int x1, uchar* out, int) {
    const std::uint16_t* weights = tx.weight.data();
    const int* first = tx.first.data();
    const int lo = tx.lo;
    auto load4 = [&](int x) {
        return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(v + (first[x] - lo)));
    };
    int x = x0;
    if constexpr (T == 4) {
        const __m128i round = _mm_set1_epi32(1 << 14);
        for (; x + 4 <= x1; x += 4) {
            const __m128i* w = reinterpret_cast<const __m128i*>(weights + 4 * x);
            const __m128i ab =
                _mm_madd_epi16(_mm_unpacklo_epi64(load4(x), load4(x + 1)), _mm_loadu_si128(w));
            const __m128i cd = _mm_madd_epi16(_mm_unpacklo_epi64(load4(x + 2), load4(x + 3)),
                                              _mm_loadu_si128(w + 1));
            // [a01 a23 b01 b23] and [c01 c23 d01 d23] to [a b c d].
            const __m128 evens =
                _mm_shuffle_ps(_mm_castsi128_ps(ab), _mm_castsi128_ps(cd), _MM_SHUFFLE(2, 0, 2, 0));
            const __m128 odds =
                _mm_shuffle_ps(_mm_castsi128_ps(ab), _mm_castsi128_ps(cd), _MM_SHUFFLE(3, 1, 3, 1));
            __m128i sums = _mm_add_epi32(_mm_castps_si128(evens), _mm_castps_si128(odds));
            sums = _mm_srli_epi32(_mm_add_epi32(sums, round), 15);
            const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(sums, sums), sums);
            const int packed = _mm_cvtsi128_si32(bytes);
            std::memcpy(out + (x - x0), &packed, 4);
        }
    }
    for (; x < x1; ++x) {
        const std::uint16_t* s = v + (first[x] - lo);
        __m128i products;
        if constexpr (T == 4) {
            products = _mm_madd_epi16(
                load4(x), _mm_loadl_epi64(reinterpret_cast<const __m128i*>(weights + 4 * x)));
        } else {
            products =
                _mm_madd_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s)),
                               _mm_loadu_si128(reinterpret_cast<const __m128i*>(weights + 8 * x)));
            products = _mm_add_epi32(products, _mm_srli_si128(products, 8));
        }
        products = _mm_add_epi32(products, _mm_srli_si128(products, 4));
        out[x - x0] = static_cast<uchar>((_mm_cvtsi128_si32(products) + (1 << 14)) >> 15);
    }
}
#endif

template <int C>
using HorizontalFn = void (*)(const std::uint16_t*, const Taps&, int, int, uchar*, int);

template <int C>
HorizontalFn<C> horizontalFor(int taps) {
#ifdef __SSE2__
    if constexpr (C == 1) {
        if (taps == 4) {
            return horizontalSse2<4>;
        }
        if (taps == 8) {
            return horizontalSse2<8>;
        }
    }
#endif
    switch (taps) {
        case 4:
            return horizontal<C, 4>;
        case 8:
            return horizontal<C, 8>;
        default:
            return horizontal<C, 0>;
    }
}

// Vertical pass first (whole rows of the needed columns, a loop compilers vectorise), then the
// horizontal pass with a fixed number of taps.
template <int C, class Rows>
void areaAverage(Rows& rows, const Taps& tx, const Taps& ty, int x0, int x1, const QRect& region,
                 const RowSink& sink) {
    const size_t columns = static_cast<size_t>(std::max(0, tx.hi - tx.lo));
    // Padded so that the fixed-length tap loops may read past the last column (weight 0).
    std::vector<std::uint16_t> v((columns + tx.width) * C, 0);
    std::vector<uchar> values(static_cast<size_t>(region.width()) * C);
    const HorizontalFn<C> pass = horizontalFor<C>(tx.width);
    const size_t n = columns * C;
    for (int j = 0; j < region.height(); ++j) {
        RowSpan span{region.y() + j, region.x() + x0, region.x() + x0, C, values.data()};
        const int count = ty.count[j];
        if (count == 0 || x1 <= x0) {
            sink(span);
            continue;
        }
        const std::uint16_t* wy = ty.weight.data() + static_cast<size_t>(j) * ty.width;
        std::uint16_t* vv = v.data();
        {
            const uchar* r = rows.row(ty.first[j]);
            const std::uint16_t w = wy[0];
            for (size_t i = 0; i < n; ++i) {
                vv[i] = static_cast<std::uint16_t>(r[i] * w);
            }
        }
        for (int k = 1; k < count; ++k) {
            const std::uint16_t w = wy[k];
            if (w == 0) {
                continue;
            }
            const uchar* r = rows.row(ty.first[j] + k);
            for (size_t i = 0; i < n; ++i) {
                vv[i] = static_cast<std::uint16_t>(vv[i] + r[i] * w);
            }
        }
        pass(vv, tx, x0, x1, values.data(), tx.width);
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

// How a reduced view of a width x height image is read: the coarsest level with at least one cell
// per output pixel (at most `top`), the taps of both axes on that level, and the output columns
// [x0, x1) that fall on the image.
struct LevelPlan {
    int level = 0;
    Taps tx;
    Taps ty;
    int x0 = 0;
    int x1 = 0;
};

LevelPlan planLevel(QSize size, int top, const QRectF& display, const QRect& region) {
    const double sx = size.width() / display.width();
    const double sy = size.height() / display.height();
    LevelPlan plan;
    while (std::min(sx, sy) >= static_cast<double>(2LL << plan.level) && plan.level < top) {
        ++plan.level;
    }
    const double scale = static_cast<double>(1LL << plan.level);
    const auto cells = [&](int n) {
        return static_cast<int>((static_cast<qint64>(n) + (1LL << plan.level) - 1) >> plan.level);
    };
    // Vertical sums stay below 2^15 (weights of 128) so that the horizontal pass may multiply
    // them as signed 16-bit numbers.
    plan.tx = makeTaps(region.x(), region.x() + region.width(), display.left(), sx / scale,
                       cells(size.width()), 256, true);
    plan.ty = makeTaps(region.y(), region.y() + region.height(), display.top(), sy / scale,
                       cells(size.height()), 128, false);
    plan.x0 = region.width();
    for (int i = 0; i < region.width(); ++i) {
        if (plan.tx.count[i] > 0) {
            plan.x0 = std::min(plan.x0, i);
            plan.x1 = i + 1;
        }
    }
    return plan;
}

// A display too small or not finite shows nothing: every row of the region is empty.
bool emptyView(const QRectF& display, const QRect& region, const RowSink& sink) {
    const bool finite = std::isfinite(display.left()) && std::isfinite(display.top()) &&
                        std::isfinite(display.width()) && std::isfinite(display.height());
    if (finite && display.width() >= 1e-3 && display.height() >= 1e-3) {
        return false;
    }
    for (int j = 0; j < region.height(); ++j) {
        sink(RowSpan{region.y() + j, region.x(), region.x(), 1, nullptr});
    }
    return true;
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
    const LevelPlan plan = planLevel(sheet.size(), topLevel(sheet), display, region);
    LevelRows rows(sheet, plan.level, plan.tx.lo, std::max(plan.tx.lo, plan.tx.hi),
                   plan.ty.width + 1);
    areaAverage<C>(rows, plan.tx, plan.ty, plan.x0, plan.x1, region, sink);
}

// Rows of a coverage source at one level, columns [lo, hi).
class SourceRows {
public:
    SourceRows(CoverageSource& source, int level, int lo, int hi)
        : m_source(source), m_level(level), m_lo(lo), m_hi(hi) {}
    const uchar* row(int j) { return m_source.row(m_level, j, m_lo, m_hi); }

private:
    CoverageSource& m_source;
    int m_level;
    int m_lo;
    int m_hi;
};

}  // namespace

void sampleSheet(const Sheet& sheet, const QRectF& display, const QRect& region,
                 const RowSink& sink) {
    if (sheet.isNull() || region.isEmpty()) {
        return;
    }
    // A sheet shrunk below a thousandth of a pixel (or placed at no finite position) shows
    // nothing; this also bounds the number of source pixels per output pixel.
    if (emptyView(display, region, sink)) {
        return;
    }
    if (sheet.isBilevel() || sheet.image().depth() == 8) {
        sampleWithChannels<1>(sheet, display, region, sink);
    } else {
        sampleWithChannels<4>(sheet, display, region, sink);
    }
}

void sampleCoverage(CoverageSource& source, const QRectF& display, const QRect& region,
                    const RowSink& sink) {
    const QSize size = source.size();
    if (size.isEmpty() || region.isEmpty() || emptyView(display, region, sink)) {
        return;
    }
    int top = 0;
    while ((size.width() >> top) > 1 || (size.height() >> top) > 1) {
        ++top;
    }
    const LevelPlan plan = planLevel(size, top, display, region);
    SourceRows rows(source, plan.level, plan.tx.lo, std::max(plan.tx.lo, plan.tx.hi));
    areaAverage<1>(rows, plan.tx, plan.ty, plan.x0, plan.x1, region, sink);
}

}  // namespace sw::imaging
