#include "compare/alignment.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "compare/row_bits.h"
#include "imaging/imaging_error.h"
#include "imaging/pyramid.h"
#include "imaging/transforms.h"

namespace sw::compare {

namespace {

using imaging::Plane;
using imaging::Sheet;

constexpr int kCoarseCells = 128;           // the exhaustive search's level is about this wide
constexpr qint64 kCellsPerShift = 1 << 20;  // finer levels read every n-th row to stay near this

// Correlation of the coverage of `a` with `b` moved by (dx, dy) cells, over every `step`-th row
// of `a` where they overlap.
qint64 correlate(const Plane& a, const Plane& b, int dx, int dy, int step) {
    const int x0 = std::max(0, dx);
    const int x1 = std::min(a.width, b.width + dx);
    if (x1 <= x0) {
        return 0;
    }
    const int y0 = std::max(0, dy);
    const int y1 = std::min(a.height, b.height + dy);
    qint64 sum = 0;
    for (int y = y0 + (step - y0 % step) % step; y < y1; y += step) {
        const uchar* ra = a.row(y) + x0;
        const uchar* rb = b.row(y - dy) + (x0 - dx);
        std::uint32_t rowSum = 0;
        const int n = x1 - x0;
        for (int x = 0; x < n; ++x) {
            rowSum += static_cast<std::uint32_t>(ra[x] * rb[x]);
        }
        sum += rowSum;
    }
    return sum;
}

int rowStep(const Plane& plane) {
    const qint64 cells = static_cast<qint64>(plane.width) * plane.height;
    return static_cast<int>(std::max<qint64>(1, cells / kCellsPerShift));
}

// Shifts within `radius` pixels of `centre`, nearer ones first (they win ties).
std::vector<QPoint> around(QPoint centre, QPoint radius) {
    std::vector<QPoint> shifts;
    for (int dy = -radius.y(); dy <= radius.y(); ++dy) {
        for (int dx = -radius.x(); dx <= radius.x(); ++dx) {
            shifts.emplace_back(dx, dy);
        }
    }
    std::stable_sort(shifts.begin(), shifts.end(),
                     [](QPoint p, QPoint q) { return p.manhattanLength() < q.manhattanLength(); });
    for (QPoint& s : shifts) {
        s += centre;
    }
    return shifts;
}

// Ink pixels in common of every `step`-th row of `newer` and `earlier` moved by `shift`.
qint64 commonInk(const QImage& newer, const QImage& earlier, QPoint shift, int step,
                 std::vector<uchar>& scratch) {
    const int bytes = (newer.width() + 7) / 8;
    qint64 sum = 0;
    for (int y = 0; y < newer.height(); y += step) {
        shiftedRow(earlier, shift, y, newer.width(), 0, bytes, scratch.data());
        const uchar* n = newer.constScanLine(y);
        int k = 0;
        for (; k + 8 <= bytes; k += 8) {
            std::uint64_t a;
            std::uint64_t e;
            std::memcpy(&a, n + k, 8);
            std::memcpy(&e, scratch.data() + k, 8);
            sum += std::popcount(a & e);
        }
        for (; k < bytes; ++k) {
            sum += std::popcount(static_cast<unsigned>(n[k] & scratch[k]));
        }
    }
    return sum;
}

// The best shift of `b` over `a` within `radius` cells of `centre`.
QPoint bestShift(const Plane& a, const Plane& b, QPoint centre, QPoint radius, int step) {
    QPoint best = centre;
    qint64 bestScore = -1;
    for (const QPoint s : around(centre, radius)) {
        const qint64 score = correlate(a, b, s.x(), s.y(), step);
        if (score > bestScore) {
            bestScore = score;
            best = s;
        }
    }
    return best;
}

QPoint bestOnBits(const Sheet& newer, const Sheet& earlier, QPoint centre, QPoint radius,
                  int step) {
    std::vector<uchar> scratch(static_cast<size_t>((newer.width() + 7) / 8));
    QPoint best = centre;
    qint64 bestScore = -1;
    for (const QPoint s : around(centre, radius)) {
        const qint64 score = commonInk(newer.image(), earlier.image(), s, step, scratch);
        if (score > bestScore) {
            bestScore = score;
            best = s;
        }
    }
    return best;
}

}  // namespace

Sheet atResolutionOf(const Sheet& earlier, const Sheet& newer) {
    Sheet bits = earlier.isBilevel()
                     ? earlier
                     : imaging::reducedToBilevel(earlier, qRgb(0, 0, 0), qRgb(255, 255, 255));
    const double fx = newer.dpiX() / bits.dpiX();
    const double fy = newer.dpiY() / bits.dpiY();
    if (std::abs(fx - 1) > 1e-3 || std::abs(fy - 1) > 1e-3) {
        const double w = std::max(1.0, std::round(bits.width() * fx));
        const double h = std::max(1.0, std::round(bits.height() * fy));
        const double limit = 16.0 * std::max(1, newer.width()) * std::max(1, newer.height());
        if (w * h > limit) {
            throw imaging::ImagingError(
                QStringLiteral(
                    "The earlier revision (%1 x %2 dpi) cannot be compared at %3 x %4 dpi")
                    .arg(bits.dpiX())
                    .arg(bits.dpiY())
                    .arg(newer.dpiX())
                    .arg(newer.dpiY()));
        }
        bits = imaging::resampled(bits, static_cast<int>(w), static_cast<int>(h), false);
    }
    bits.setDpi(newer.dpiX(), newer.dpiY());
    bits.setOverlay(nullptr);
    return bits;
}

QPoint findShift(const Sheet& newer, const Sheet& earlier) {
    if (newer.isNull() || earlier.isNull()) {
        return {};
    }
    const int largest =
        std::max({newer.width(), newer.height(), earlier.width(), earlier.height()});
    int coarse = 2;
    while ((largest >> coarse) > kCoarseCells) {
        ++coarse;
    }
    coarse = std::min(coarse, std::min(imaging::topLevel(newer), imaging::topLevel(earlier)));
    QPoint shift;
    {
        const auto a = imaging::pyramidLevel(newer, coarse);
        const auto b = imaging::pyramidLevel(earlier, coarse);
        const int reach = std::max(a->width, a->height) / 6 + 2;
        const QPoint radius(reach + std::abs(a->width - b->width),
                            reach + std::abs(a->height - b->height));
        shift = bestShift(*a, *b, QPoint(), radius, 1);
    }
    for (int k = coarse - 1; k >= 2; --k) {
        const auto a = imaging::pyramidLevel(newer, k);
        const auto b = imaging::pyramidLevel(earlier, k);
        shift = bestShift(*a, *b, shift * 2, QPoint(2, 2), rowStep(*a));
    }
    // From the 4:1 level to pixels: three pixels around the estimate on every 16th row, then
    // the neighbours of the best on every 4th row.
    shift = bestOnBits(newer, earlier, shift * 4, QPoint(3, 3), 16);
    return bestOnBits(newer, earlier, shift, QPoint(1, 1), 4);
}

}  // namespace sw::compare
