#include "compare/row_bits.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace sw::compare {

namespace {

std::uint64_t loadBigEndian(const uchar* p) {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return __builtin_bswap64(v);
}

void storeBigEndian(uchar* p, std::uint64_t v) {
    v = __builtin_bswap64(v);
    std::memcpy(p, &v, sizeof v);
}

}  // namespace

void shiftedRow(const QImage& earlier, QPoint shift, int y, int newerWidth, int b0, int b1,
                uchar* out) {
    const int count = b1 - b0;
    const int ey = y - shift.y();
    if (count <= 0) {
        return;
    }
    if (ey < 0 || ey >= earlier.height()) {
        std::memset(out, 0, static_cast<size_t>(count));
        return;
    }
    const uchar* src = earlier.constScanLine(ey);
    const int srcBytes = (earlier.width() + 7) / 8;
    // Output byte k starts at earlier pixel 8k - shift.x: byte q, bit r of the earlier row.
    const int start = 8 * b0 - shift.x();
    const int r = ((start % 8) + 8) % 8;
    int q = (start - r) / 8;
    auto byteAt = [&](int i) { return i >= 0 && i < srcBytes ? src[i] : uchar(0); };
    int k = 0;
    while (k < count) {
        if (k + 8 <= count && q >= 0 && q + 9 <= srcBytes) {
            std::uint64_t v = loadBigEndian(src + q);
            if (r != 0) {
                v = (v << r) | (src[q + 8] >> (8 - r));
            }
            storeBigEndian(out + k, v);
            k += 8;
            q += 8;
            continue;
        }
        out[k] =
            r == 0 ? byteAt(q) : static_cast<uchar>((byteAt(q) << r) | (byteAt(q + 1) >> (8 - r)));
        ++k;
        ++q;
    }
    // Nothing of the earlier sheet beyond the new sheet's right edge.
    const int lastByte = (newerWidth - 1) / 8;
    if (lastByte >= b1) {
        return;
    }
    if (lastByte >= b0) {
        const int used = newerWidth - 8 * lastByte;
        out[lastByte - b0] &= static_cast<uchar>(0xFF00 >> used);
    }
    const int from = std::max(b0, lastByte + 1);
    if (from < b1) {
        std::memset(out + (from - b0), 0, static_cast<size_t>(b1 - from));
    }
}

void classRows(const QImage& newer, const QImage& earlier, QPoint shift, int y, int b0, int b1,
               uchar* scratch, const ClassRows& out) {
    shiftedRow(earlier, shift, y, newer.width(), b0, b1, scratch);
    const uchar* n = newer.constScanLine(y) + b0;
    const int count = b1 - b0;
    int k = 0;
    for (; k + 8 <= count; k += 8) {
        std::uint64_t a;
        std::uint64_t e;
        std::memcpy(&a, n + k, 8);
        std::memcpy(&e, scratch + k, 8);
        const std::uint64_t both = a & e;
        const std::uint64_t onlyNew = a & ~e;
        const std::uint64_t onlyEarlier = e & ~a;
        if (out.both) {
            std::memcpy(out.both + k, &both, 8);
        }
        if (out.onlyNew) {
            std::memcpy(out.onlyNew + k, &onlyNew, 8);
        }
        if (out.onlyEarlier) {
            std::memcpy(out.onlyEarlier + k, &onlyEarlier, 8);
        }
    }
    for (; k < count; ++k) {
        if (out.both) {
            out.both[k] = n[k] & scratch[k];
        }
        if (out.onlyNew) {
            out.onlyNew[k] = n[k] & static_cast<uchar>(~scratch[k]);
        }
        if (out.onlyEarlier) {
            out.onlyEarlier[k] = scratch[k] & static_cast<uchar>(~n[k]);
        }
    }
}

}  // namespace sw::compare
