#include "compare/ink_classes.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "compare/row_bits.h"
#include "imaging/bit_ops.h"

namespace sw::compare {

namespace {

constexpr int kTileBytes = InkClasses::kTile / 8;
constexpr int kCellsPerTile = InkClasses::kTile / 8;  // level-3 cells along a tile

qint64 inkIn(const uchar* row, int bytes) {
    qint64 n = 0;
    int k = 0;
    for (; k + 8 <= bytes; k += 8) {
        std::uint64_t w;
        std::memcpy(&w, row + k, 8);
        n += std::popcount(w);
    }
    for (; k < bytes; ++k) {
        n += std::popcount(static_cast<unsigned>(row[k]));
    }
    return n;
}

bool anyInk(const uchar* p, int bytes) {
    for (int k = 0; k < bytes; ++k) {
        if (p[k] != 0) {
            return true;
        }
    }
    return false;
}

// Level-3 cells of one tile of one change class: coverage of 4 x 4 blocks from the band's rows,
// then the mean of 2 x 2 of those, written into `plane` at the tile's cells.
void tileLevel(const std::vector<uchar>& band, int rowBytes, int rows, int x0, int width,
               imaging::Plane& plane, int cellX, int cellY) {
    imaging::Plane quarter;
    quarter.width = (width + 3) / 4;
    quarter.height = (rows + 3) / 4;
    quarter.data = imaging::PixelBuffer(static_cast<size_t>(quarter.width) * quarter.height);
    for (int r = 0; r < quarter.height; ++r) {
        const uchar* four[4];
        for (int i = 0; i < 4; ++i) {
            const int y = 4 * r + i;
            four[i] = y < rows ? band.data() + static_cast<size_t>(y) * rowBytes + x0 / 8 : nullptr;
        }
        imaging::bits::quadCoverage(four, width, quarter.row(r));
    }
    const auto eighth = imaging::halvedPlane(quarter);
    for (int r = 0; r < eighth->height; ++r) {
        std::memcpy(plane.row(cellY + r) + cellX, eighth->row(r),
                    static_cast<size_t>(eighth->width));
    }
}

}  // namespace

InkClasses::InkClasses(const QImage& newer, const QImage& earlier, QPoint shift)
    : m_size(newer.size()) {
    const int w = newer.width();
    const int h = newer.height();
    const int rowBytes = (w + 7) / 8;
    const int tilesX = (w + kTile - 1) / kTile;
    std::array<std::shared_ptr<imaging::Plane>, 2> first;
    for (auto& plane : first) {
        plane = imaging::makeLevelPlane(w, h, kFirstLevel, 1);
    }
    std::array<std::vector<uchar>, 2> band;
    for (auto& b : band) {
        b.assign(static_cast<size_t>(rowBytes) * kTile, 0);
    }
    std::vector<uchar> scratch(static_cast<size_t>(rowBytes));
    std::vector<std::array<bool, 2>> changed(static_cast<size_t>(tilesX));
    for (int top = 0; top < h; top += kTile) {
        const int rows = std::min(kTile, h - top);
        std::fill(changed.begin(), changed.end(), std::array<bool, 2>{false, false});
        for (int r = 0; r < rows; ++r) {
            uchar* added = band[kAdded].data() + static_cast<size_t>(r) * rowBytes;
            uchar* removed = band[kRemoved].data() + static_cast<size_t>(r) * rowBytes;
            classRows(newer, earlier, shift, top + r, 0, rowBytes, scratch.data(),
                      {nullptr, added, removed});
            m_counts[kAdded] += inkIn(added, rowBytes);
            m_counts[kRemoved] += inkIn(removed, rowBytes);
            for (int t = 0; t < tilesX; ++t) {
                const int b0 = t * kTileBytes;
                const int n = std::min(kTileBytes, rowBytes - b0);
                changed[t][kAdded] = changed[t][kAdded] || anyInk(added + b0, n);
                changed[t][kRemoved] = changed[t][kRemoved] || anyInk(removed + b0, n);
            }
        }
        int runStart = -1;
        for (int t = 0; t <= tilesX; ++t) {
            const bool any = t < tilesX && (changed[t][kAdded] || changed[t][kRemoved]);
            if (any && runStart < 0) {
                runStart = t;
            } else if (!any && runStart >= 0) {
                m_areas.emplace_back(runStart * kTile, top,
                                     std::min(w, t * kTile) - runStart * kTile, rows);
                runStart = -1;
            }
            for (int c = 0; t < tilesX && c < 2; ++c) {
                if (changed[t][c]) {
                    tileLevel(band[c], rowBytes, rows, t * kTile, std::min(kTile, w - t * kTile),
                              *first[c], t * kCellsPerTile, top / 8);
                }
            }
        }
    }
    for (int c = 0; c < 2; ++c) {
        m_levels[c].push_back(first[c]);
        while (m_levels[c].back()->width > 1 || m_levels[c].back()->height > 1) {
            m_levels[c].push_back(imaging::halvedPlane(*m_levels[c].back()));
        }
    }
}

const imaging::Plane& InkClasses::level(Change change, int k) const {
    const auto& levels = m_levels[change];
    const size_t i =
        static_cast<size_t>(std::clamp(k - kFirstLevel, 0, static_cast<int>(levels.size()) - 1));
    return *levels[i];
}

}  // namespace sw::compare
