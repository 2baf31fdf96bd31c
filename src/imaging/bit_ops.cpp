#include "imaging/bit_ops.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "imaging/pixel_buffer.h"

namespace sw::imaging::bits {

namespace {

// Eight bytes of 0 or 255 for the eight pixels of a byte, leftmost pixel first in memory.
constexpr std::array<std::uint64_t, 256> makeExpandTable() {
    std::array<std::uint64_t, 256> table{};
    for (int b = 0; b < 256; ++b) {
        std::uint64_t v = 0;
        for (int i = 0; i < 8; ++i) {
            if (b & (0x80 >> i)) {
                v |= std::uint64_t{0xFF} << (8 * i);
            }
        }
        table[b] = v;
    }
    return table;
}

// Ink counts (0..2) of the four 2-pixel cells of a byte, leftmost cell in the low byte.
constexpr std::array<std::uint32_t, 256> makePairTable() {
    std::array<std::uint32_t, 256> table{};
    for (int b = 0; b < 256; ++b) {
        std::uint32_t v = 0;
        for (int k = 0; k < 4; ++k) {
            const int cell = (b >> (6 - 2 * k)) & 3;
            v |= static_cast<std::uint32_t>((cell & 1) + (cell >> 1)) << (8 * k);
        }
        table[b] = v;
    }
    return table;
}

// Ink counts (0..4) of the two 4-pixel cells of a byte, left cell in the low byte.
constexpr std::array<std::uint16_t, 256> makeNibbleTable() {
    std::array<std::uint16_t, 256> table{};
    for (int b = 0; b < 256; ++b) {
        table[b] = static_cast<std::uint16_t>(std::popcount(static_cast<unsigned>(b >> 4)) |
                                              (std::popcount(static_cast<unsigned>(b & 15)) << 8));
    }
    return table;
}

constexpr std::array<std::uint8_t, 256> makeReverseTable() {
    std::array<std::uint8_t, 256> table{};
    for (int b = 0; b < 256; ++b) {
        int r = 0;
        for (int i = 0; i < 8; ++i) {
            if (b & (1 << i)) {
                r |= 0x80 >> i;
            }
        }
        table[b] = static_cast<std::uint8_t>(r);
    }
    return table;
}

constexpr auto kExpand = makeExpandTable();
constexpr auto kPairs = makePairTable();
constexpr auto kNibbles = makeNibbleTable();
constexpr auto kReverse = makeReverseTable();
// Coverage 0..255 of n ink pixels out of 4 and out of 16.
constexpr std::array<std::uint8_t, 5> kOf4 = {0, 64, 128, 192, 255};
// (16 n, with 16 of 16 as 255: the same values the vector path computes.)
constexpr std::array<std::uint8_t, 17> makeOf16() {
    std::array<std::uint8_t, 17> t{};
    for (int i = 0; i <= 16; ++i) {
        t[i] = static_cast<std::uint8_t>(std::min(255, i * 16));
    }
    return t;
}
constexpr auto kOf16 = makeOf16();

int usedBytes(int width) {
    return (width + 7) / 8;
}

inline bool pixel(const uchar* row, int x) {
    return (row[x >> 3] >> (7 - (x & 7))) & 1;
}

// A new image for the result of a transform (pooled, see pixel_buffer.h: each transform writes
// every byte of it).
QImage sameKind(const QImage& mono, int width, int height) {
    QImage out = pooledImage(width, height, QImage::Format_Mono);
    if (!out.isNull()) {
        out.setColorTable(mono.colorTable());
    }
    return out;
}

// Quarter turn clockwise (dest(x', y') = src(y', H-1-x')) or counter-clockwise
// (dest(x', y') = src(W-1-y', x')). Blocks of 8 x 8 bits are transposed; eight block rows are
// handled together so that reads and writes stay within a few cache lines.
QImage rotateQuarter(const QImage& src, bool clockwise) {
    const int w = src.width();
    const int h = src.height();
    QImage dst = sameKind(src, h, w);
    if (dst.isNull()) {
        return dst;
    }
    const int srcBytes = usedBytes(w);
    const int groups = usedBytes(h);
    const qsizetype dstStride = dst.bytesPerLine();
    uchar* dstBits = dst.bits();
    for (int g0 = 0; g0 < groups; g0 += 8) {
        const int gEnd = std::min(groups, g0 + 8);
        const uchar* rows[64];
        for (int g = g0; g < gEnd; ++g) {
            for (int i = 0; i < 8; ++i) {
                const int y = clockwise ? h - 1 - (8 * g + i) : 8 * g + i;
                rows[(g - g0) * 8 + i] = (y >= 0 && y < h) ? src.constScanLine(y) : nullptr;
            }
        }
        for (int bx = 0; bx < srcBytes; ++bx) {
            for (int g = g0; g < gEnd; ++g) {
                std::uint64_t m = 0;
                const uchar* const* r = rows + (g - g0) * 8;
                for (int i = 0; i < 8; ++i) {
                    m = (m << 8) | (r[i] ? r[i][bx] : 0);
                }
                if (m == 0) {
                    for (int j = 0; j < 8; ++j) {
                        const int x = 8 * bx + j;
                        if (x < w) {
                            const int yd = clockwise ? x : w - 1 - x;
                            dstBits[yd * dstStride + g] = 0;
                        }
                    }
                    continue;
                }
                const std::uint64_t t = transpose8x8(m);
                for (int j = 0; j < 8; ++j) {
                    const int x = 8 * bx + j;
                    if (x < w) {
                        const int yd = clockwise ? x : w - 1 - x;
                        dstBits[yd * dstStride + g] = static_cast<uchar>(t >> (56 - 8 * j));
                    }
                }
            }
        }
    }
    clearPadding(dst);
    return dst;
}

QImage rotateHalf(const QImage& src) {
    const int w = src.width();
    const int h = src.height();
    QImage dst = sameKind(src, w, h);
    if (dst.isNull()) {
        return dst;
    }
    const int nb = usedBytes(w);
    const int pad = nb * 8 - w;
    std::vector<uchar> rev(static_cast<size_t>(nb) + 1, 0);
    for (int y = 0; y < h; ++y) {
        const uchar* s = src.constScanLine(h - 1 - y);
        for (int i = 0; i < nb; ++i) {
            rev[i] = kReverse[s[nb - 1 - i]];
        }
        uchar* d = dst.scanLine(y);
        for (int i = 0; i < nb; ++i) {
            d[i] =
                pad == 0 ? rev[i] : static_cast<uchar>((rev[i] << pad) | (rev[i + 1] >> (8 - pad)));
        }
    }
    clearPadding(dst);
    return dst;
}

}  // namespace

std::uint64_t transpose8x8(std::uint64_t x) {
    x = (x & 0xAA55AA55AA55AA55ULL) | ((x & 0x00AA00AA00AA00AAULL) << 7) |
        ((x >> 7) & 0x00AA00AA00AA00AAULL);
    x = (x & 0xCCCC3333CCCC3333ULL) | ((x & 0x0000CCCC0000CCCCULL) << 14) |
        ((x >> 14) & 0x0000CCCC0000CCCCULL);
    x = (x & 0xF0F0F0F00F0F0F0FULL) | ((x & 0x00000000F0F0F0F0ULL) << 28) |
        ((x >> 28) & 0x00000000F0F0F0F0ULL);
    return x;
}

void clearPadding(QImage& mono) {
    const int w = mono.width();
    const int nb = usedBytes(w);
    const qsizetype stride = mono.bytesPerLine();
    const int rem = w & 7;
    const uchar lastMask = rem == 0 ? 0xFF : static_cast<uchar>(0xFF << (8 - rem));
    if (rem == 0 && stride == nb) {
        return;  // no padding: not worth touching every row of a sheet again
    }
    uchar* bits = mono.bits();
    for (int y = 0; y < mono.height(); ++y) {
        uchar* row = bits + y * stride;
        if (nb > 0) {
            row[nb - 1] &= lastMask;
        }
        std::memset(row + nb, 0, static_cast<size_t>(stride - nb));
    }
}

QImage rotateQuarterTurns(const QImage& mono, int quarterTurns) {
    switch (((quarterTurns % 4) + 4) % 4) {
        case 1:
            return rotateQuarter(mono, true);
        case 2:
            return rotateHalf(mono);
        case 3:
            return rotateQuarter(mono, false);
        default:
            return mono;
    }
}

QImage cropped(const QImage& mono, const QRect& rect) {
    QImage dst = sameKind(mono, rect.width(), rect.height());
    if (dst.isNull()) {
        return dst;
    }
    const int srcBytes = usedBytes(mono.width());
    const int dstBytes = usedBytes(rect.width());
    const int b0 = rect.x() >> 3;
    const int sh = rect.x() & 7;
    for (int y = 0; y < rect.height(); ++y) {
        const uchar* s = mono.constScanLine(rect.y() + y);
        uchar* d = dst.scanLine(y);
        for (int i = 0; i < dstBytes; ++i) {
            const int b = b0 + i;
            const uchar hi = b < srcBytes ? s[b] : 0;
            const uchar lo = (sh != 0 && b + 1 < srcBytes) ? s[b + 1] : 0;
            d[i] = sh == 0 ? hi : static_cast<uchar>((hi << sh) | (lo >> (8 - sh)));
        }
    }
    clearPadding(dst);
    return dst;
}

void expandToBytes(const uchar* row, int x0, int count, uchar* out) {
    int x = x0;
    const int end = x0 + count;
    while (x < end && (x & 7) != 0) {
        *out++ = pixel(row, x++) ? 255 : 0;
    }
    while (x + 8 <= end) {
        const std::uint64_t v = kExpand[row[x >> 3]];
        std::memcpy(out, &v, 8);
        out += 8;
        x += 8;
    }
    while (x < end) {
        *out++ = pixel(row, x++) ? 255 : 0;
    }
}

void pairCoverage(const uchar* rowA, const uchar* rowB, int c0, int count, uchar* out) {
    int c = c0;
    const int end = c0 + count;
    auto cell = [&](int k) {
        const int shift = 6 - 2 * (k & 3);
        int n = std::popcount(static_cast<unsigned>((rowA[k >> 2] >> shift) & 3));
        if (rowB) {
            n += std::popcount(static_cast<unsigned>((rowB[k >> 2] >> shift) & 3));
        }
        return kOf4[n];
    };
    while (c < end && (c & 3) != 0) {
        *out++ = cell(c++);
    }
#ifdef __SSE2__
    // Sixteen bytes (64 cells) at a time: 2-bit counts of each row, even and odd pairs apart so
    // that the sum of two rows fits, interleaved back into pixel order; n of 4 becomes
    // min(255, 64 n).
    const __m128i k55 = _mm_set1_epi8(0x55);
    const __m128i k33 = _mm_set1_epi8(0x33);
    const __m128i k0F = _mm_set1_epi8(0x0F);
    const __m128i kC0 = _mm_set1_epi8(static_cast<char>(0xC0));
    const __m128i k04 = _mm_set1_epi8(4);
    auto pairs = [&](const uchar* row, int byte) {
        __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + byte));
        return _mm_sub_epi8(x, _mm_and_si128(_mm_srli_epi16(x, 1), k55));
    };
    auto scale = [&](__m128i n) {
        return _mm_or_si128(_mm_and_si128(_mm_slli_epi16(n, 6), kC0), _mm_cmpeq_epi8(n, k04));
    };
    while (c + 64 <= end) {
        const int byte = c >> 2;
        __m128i a = pairs(rowA, byte);
        __m128i even = _mm_and_si128(_mm_srli_epi16(a, 2), k33);  // pixels 0-1 and 4-5
        __m128i odd = _mm_and_si128(a, k33);                      // pixels 2-3 and 6-7
        if (rowB) {
            const __m128i b = pairs(rowB, byte);
            even = _mm_add_epi8(even, _mm_and_si128(_mm_srli_epi16(b, 2), k33));
            odd = _mm_add_epi8(odd, _mm_and_si128(b, k33));
        }
        const __m128i c0 = scale(_mm_and_si128(_mm_srli_epi16(even, 4), k0F));
        const __m128i c1 = scale(_mm_and_si128(_mm_srli_epi16(odd, 4), k0F));
        const __m128i c2 = scale(_mm_and_si128(even, k0F));
        const __m128i c3 = scale(_mm_and_si128(odd, k0F));
        const __m128i lo01 = _mm_unpacklo_epi8(c0, c1);
        const __m128i hi01 = _mm_unpackhi_epi8(c0, c1);
        const __m128i lo23 = _mm_unpacklo_epi8(c2, c3);
        const __m128i hi23 = _mm_unpackhi_epi8(c2, c3);
        auto* o = reinterpret_cast<__m128i*>(out);
        _mm_storeu_si128(o, _mm_unpacklo_epi16(lo01, lo23));
        _mm_storeu_si128(o + 1, _mm_unpackhi_epi16(lo01, lo23));
        _mm_storeu_si128(o + 2, _mm_unpacklo_epi16(hi01, hi23));
        _mm_storeu_si128(o + 3, _mm_unpackhi_epi16(hi01, hi23));
        out += 64;
        c += 64;
    }
#endif
    while (c + 4 <= end) {
        std::uint32_t v = kPairs[rowA[c >> 2]] + (rowB ? kPairs[rowB[c >> 2]] : 0);
        for (int k = 0; k < 4; ++k) {
            *out++ = kOf4[(v >> (8 * k)) & 0xFF];
        }
        c += 4;
    }
    while (c < end) {
        *out++ = cell(c++);
    }
}

void quadCoverage(const uchar* const rows[4], int width, uchar* out) {
    const int cells = (width + 3) / 4;
    const int nb = usedBytes(width);
    int b = 0;
    // Set-bit counts per nibble of each row, split into the left and right cell of every byte so
    // that the sum of four rows (at most 16) fits a byte; n of 16 becomes min(255, 16 n). The last
    // byte is left to the byte-by-byte loop: its right cell may lie past the width.
#ifdef __SSE2__
    const __m128i k55 = _mm_set1_epi8(0x55);
    const __m128i k33 = _mm_set1_epi8(0x33);
    const __m128i k0F = _mm_set1_epi8(0x0F);
    const __m128i kF0 = _mm_set1_epi8(static_cast<char>(0xF0));
    const __m128i k10 = _mm_set1_epi8(0x10);
    for (; b + 17 <= nb; b += 16) {
        __m128i left = _mm_setzero_si128();
        __m128i right = _mm_setzero_si128();
        for (int r = 0; r < 4; ++r) {
            if (!rows[r]) {
                continue;
            }
            __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[r] + b));
            x = _mm_sub_epi8(x, _mm_and_si128(_mm_srli_epi16(x, 1), k55));
            x = _mm_add_epi8(_mm_and_si128(x, k33), _mm_and_si128(_mm_srli_epi16(x, 2), k33));
            left = _mm_add_epi8(left, _mm_and_si128(_mm_srli_epi16(x, 4), k0F));
            right = _mm_add_epi8(right, _mm_and_si128(x, k0F));
        }
        auto scale = [&](__m128i n) {
            return _mm_or_si128(_mm_and_si128(_mm_slli_epi16(n, 4), kF0),
                                _mm_cmpeq_epi8(_mm_and_si128(n, k10), k10));
        };
        left = scale(left);
        right = scale(right);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * b), _mm_unpacklo_epi8(left, right));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * b + 16),
                         _mm_unpackhi_epi8(left, right));
    }
#endif
    for (; b < nb; ++b) {
        std::uint32_t acc = 0;
        for (int r = 0; r < 4; ++r) {
            if (rows[r]) {
                acc += kNibbles[rows[r][b]];
            }
        }
        out[2 * b] = kOf16[acc & 0xFF];
        if (2 * b + 1 < cells) {
            out[2 * b + 1] = kOf16[acc >> 8];
        }
    }
}

qint64 countInk(const QImage& mono) {
    qint64 n = 0;
    const int nb = usedBytes(mono.width());
    for (int y = 0; y < mono.height(); ++y) {
        const uchar* row = mono.constScanLine(y);
        int i = 0;
        for (; i + 8 <= nb; i += 8) {
            std::uint64_t v;
            std::memcpy(&v, row + i, 8);
            n += std::popcount(v);
        }
        for (; i < nb; ++i) {
            n += std::popcount(static_cast<unsigned>(row[i]));
        }
    }
    return n;
}

}  // namespace sw::imaging::bits
