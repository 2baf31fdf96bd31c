#pragma once

#include <array>
#include <memory>
#include <vector>

#include <QPoint>
#include <QRect>
#include <QSize>

#include "imaging/pyramid.h"
#include "imaging/sheet.h"

namespace sw::compare {

// Where a new sheet and an earlier one (packed 1-bit, same resolution, the earlier one moved by
// a whole-pixel shift) differ, measured once when the comparison is made or moved:
//   - the pixels that are ink only in the new sheet (added) and only in the earlier one
//     (removed), counted over the new sheet's area;
//   - which tiles of kTile x kTile pixels hold any such pixel, so that drawing spends time on
//     changes only where there are changes;
//   - the coverage of both change classes on the reduced levels from kFirstLevel (8:1) up, the
//     same levels the engine keeps of a sheet, so that a fitted view of the changes costs what a
//     fitted view of a sheet costs. Finer levels are counted from the bits where they are shown.
// About 1/32 of the packed sheet's size per class. Immutable after construction; any thread.
class InkClasses {
public:
    static constexpr int kTile = 256;      // pixels; 32 cells of level 3
    static constexpr int kFirstLevel = 3;  // coarsest level counted from the bits, kept
    enum Change { kAdded = 0, kRemoved = 1 };

    InkClasses(const QImage& newer, const QImage& earlier, QPoint shift);

    [[nodiscard]] QSize size() const { return m_size; }
    [[nodiscard]] qint64 added() const { return m_counts[kAdded]; }
    [[nodiscard]] qint64 removed() const { return m_counts[kRemoved]; }

    // Tiles holding a change, as rectangles of the new sheet's pixels (runs of neighbouring
    // tiles of a tile row joined), clipped to the sheet.
    [[nodiscard]] const std::vector<QRect>& changedAreas() const { return m_areas; }
    [[nodiscard]] bool anyChange() const { return !m_areas.empty(); }

    // Level k >= kFirstLevel of a change class (clamped to the coarsest level).
    [[nodiscard]] const imaging::Plane& level(Change change, int k) const;

private:
    QSize m_size;
    std::array<qint64, 2> m_counts{};
    std::vector<QRect> m_areas;
    std::array<std::vector<std::shared_ptr<const imaging::Plane>>, 2> m_levels;
};

}  // namespace sw::compare
