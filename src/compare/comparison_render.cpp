// Drawing a comparison (see comparison.h): close views straight from the bits of both sheets, two
// bits per pixel; reduced views as the engine draws a sheet, from the new sheet's coverage, with
// the change classes' coverage laid over it only where the ink classes found changes.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "compare/comparison.h"
#include "compare/row_bits.h"
#include "imaging/bit_ops.h"
#include "imaging/imaging_error.h"
#include "imaging/sheet_renderer.h"

namespace sw::compare {

namespace {

using imaging::RowSpan;

constexpr QRgb kBlack = qRgb(0, 0, 0);
// In a reduced view a change outweighs this many times as much ink of both sheets in the hue of
// a pixel, so that a thin changed line beside a wall still shows its colour.
constexpr float kChangeWeight = 4.0F;

// Colours of the four pixel classes, indexed by (new bit << 1) | earlier bit.
std::array<QRgb, 4> classColours(CompareMode mode) {
    if (mode == CompareMode::EarlierOnly) {
        return {kPaper, kBlack, kPaper, kBlack};
    }
    return {kPaper, kEarlierInk, kNewInk, kBothInk};
}

// ---- Close views -------------------------------------------------------------------------------

void nearestComparison(const Comparison& c, CompareMode mode, QImage& target, const QPoint& origin,
                       const QRectF& display, QRgb bg) {
    const QImage& newer = c.newer().image();
    const QImage& earlier = c.earlier().image();
    const QPoint shift = c.shift();
    std::array<QRgb, 4> colours = classColours(mode);
    for (QRgb& colour : colours) {
        colour |= 0xFF000000u;
    }
    const double sx = newer.width() / display.width();
    const double sy = newer.height() / display.height();
    const int w = target.width();
    std::vector<int> column(static_cast<size_t>(w), -1);
    int x0 = w;
    int x1 = 0;
    for (int i = 0; i < w; ++i) {
        const double u = std::floor((origin.x() + i + 0.5 - display.left()) * sx);
        if (u >= 0 && u < newer.width()) {
            column[i] = static_cast<int>(u);
            x0 = std::min(x0, i);
            x1 = i + 1;
        }
    }
    const int b0 = x1 > x0 ? column[x0] / 8 : 0;
    const int b1 = x1 > x0 ? column[x1 - 1] / 8 + 1 : 0;
    std::vector<uchar> shifted(static_cast<size_t>(std::max(1, b1 - b0)));
    int lastRow = -1;
    const QRgb* lastOut = nullptr;
    for (int j = 0; j < target.height(); ++j) {
        auto* out = reinterpret_cast<QRgb*>(target.scanLine(j));
        const double v = std::floor((origin.y() + j + 0.5 - display.top()) * sy);
        if (v < 0 || v >= newer.height() || x1 <= x0) {
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
        const uchar* n = newer.constScanLine(row);
        shiftedRow(earlier, shift, row, newer.width(), b0, b1, shifted.data());
        int i = x0;
        if (sx == 1.0) {
            // One sheet pixel per output pixel: whole bytes of both rows at a time once aligned.
            for (; i < x1 && (column[i] & 7) != 0; ++i) {
                const int u = column[i];
                const int bit = 7 - (u & 7);
                out[i] = colours[(((n[u >> 3] >> bit) & 1) << 1) |
                                 ((shifted[(u >> 3) - b0] >> bit) & 1)];
            }
            for (; i + 8 <= x1; i += 8) {
                const int k = column[i] >> 3;
                const unsigned nb = n[k];
                const unsigned eb = shifted[k - b0];
                if ((nb | eb) == 0) {
                    std::fill_n(out + i, 8, colours[0]);
                    continue;
                }
                for (int t = 0; t < 8; ++t) {
                    out[i + t] = colours[(((nb >> (7 - t)) & 1) << 1) | ((eb >> (7 - t)) & 1)];
                }
            }
        }
        for (; i < x1; ++i) {
            const int u = column[i];
            const int bit = 7 - (u & 7);
            const int cls = (((n[u >> 3] >> bit) & 1) << 1) | ((shifted[(u >> 3) - b0] >> bit) & 1);
            out[i] = colours[cls];
        }
        lastRow = row;
        lastOut = out;
    }
}

// ---- Reduced views -----------------------------------------------------------------------------

// The coverage of one change class at any level: the kept levels from 8:1 up, the finer ones
// counted from the bits of the rows asked for (a few rows are kept, as neighbouring output rows
// share them).
class ChangeCoverage : public imaging::CoverageSource {
public:
    ChangeCoverage(const Comparison& c, InkClasses::Change change)
        : m_c(c),
          m_change(change),
          m_rowBytes((c.newer().width() + 7) / 8),
          m_scratch(static_cast<size_t>(m_rowBytes) + 8),
          m_bits(4, std::vector<uchar>(static_cast<size_t>(m_rowBytes) + 8)) {}

    QSize size() const override { return m_c.newer().size(); }

    const uchar* row(int level, int j, int lo, int hi) override {
        if (level >= InkClasses::kFirstLevel) {
            return m_c.classes().level(m_change, level).row(j) + lo;
        }
        for (Slot& slot : m_slots) {
            if (slot.level == level && slot.row == j) {
                return slot.values.data();
            }
        }
        Slot& slot = m_slots[m_next++ % m_slots.size()];
        slot.level = level;
        slot.row = j;
        slot.values.resize(static_cast<size_t>(std::max(0, hi - lo)) + 8);
        count(level, j, lo, hi, slot.values.data());
        return slot.values.data();
    }

private:
    struct Slot {
        int level = -1;
        int row = -1;
        std::vector<uchar> values;
    };

    void count(int level, int j, int lo, int hi, uchar* out) {
        const QImage& newer = m_c.newer().image();
        const int px0 = lo << level;
        const int px1 = std::min(newer.width(), hi << level);
        const int b0 = px0 >> 3;
        const int b1 = (px1 + 7) >> 3;
        const uchar* rows[4] = {nullptr, nullptr, nullptr, nullptr};
        for (int i = 0; i < (1 << level); ++i) {
            const int y = (j << level) + i;
            if (y >= newer.height()) {
                break;
            }
            uchar* bits = m_bits[i].data();
            const bool added = m_change == InkClasses::kAdded;
            classRows(newer, m_c.earlier().image(), m_c.shift(), y, b0, b1, m_scratch.data(),
                      {nullptr, added ? bits : nullptr, added ? nullptr : bits});
            rows[i] = bits;
        }
        switch (level) {
            case 0:
                imaging::bits::expandToBytes(rows[0], lo - 8 * b0, hi - lo, out);
                break;
            case 1:
                imaging::bits::pairCoverage(rows[0], rows[1], lo - 4 * b0, hi - lo, out);
                break;
            default: {
                m_quad.resize(static_cast<size_t>(hi - 2 * b0) + 8);
                imaging::bits::quadCoverage(rows, px1 - 8 * b0, m_quad.data());
                std::memcpy(out, m_quad.data() + (lo - 2 * b0), static_cast<size_t>(hi - lo));
                break;
            }
        }
    }

    const Comparison& m_c;
    InkClasses::Change m_change;
    int m_rowBytes;
    std::vector<uchar> m_scratch;
    std::vector<std::vector<uchar>> m_bits;
    std::vector<uchar> m_quad;
    std::array<Slot, 4> m_slots;
    size_t m_next = 0;
};

// One byte per pixel of `rect` from a sampler's rows (0 where a row misses the sheet).
template <class Sample>
std::vector<uchar> sampled(const QRect& rect, Sample sample) {
    std::vector<uchar> values(static_cast<size_t>(rect.width()) * rect.height(), 0);
    sample([&](const RowSpan& span) {
        uchar* row = values.data() + static_cast<size_t>(span.y - rect.y()) * rect.width();
        if (span.x1 > span.x0) {
            std::memcpy(row + (span.x0 - rect.x()), span.values,
                        static_cast<size_t>(span.x1 - span.x0));
        }
    });
    return values;
}

// The colour of a reduced pixel with these coverages of the three ink classes: darkened from
// the paper along the square-root curve by their total, towards their colours mixed by weight.
// A pixel with one change class alone (the usual case) is a table look-up.
class ChangeColours {
public:
    ChangeColours()
        : m_added(imaging::coverageColours(kPaper, kNewInk)),
          m_removed(imaging::coverageColours(kPaper, kEarlierInk)) {
        for (int c = 0; c < 256; ++c) {
            m_darkness[c] = static_cast<float>(std::sqrt(c / 255.0));
        }
    }

    QRgb operator()(int both, int added, int removed) const {
        if (both == 0 && removed == 0) {
            return m_added[added];
        }
        if (both == 0 && added == 0) {
            return m_removed[removed];
        }
        const float wb = static_cast<float>(both);
        const float wa = static_cast<float>(added) * kChangeWeight;
        const float wr = static_cast<float>(removed) * kChangeWeight;
        const float t = m_darkness[std::min(255, both + added + removed)] / (wb + wa + wr);
        auto channel = [&](int b, int a, int r) {
            const float ink = wb * static_cast<float>(255 - b) + wa * static_cast<float>(255 - a) +
                              wr * static_cast<float>(255 - r);
            return 255 - static_cast<int>(t * ink + 0.5F);
        };
        return qRgb(channel(qRed(kBothInk), qRed(kNewInk), qRed(kEarlierInk)),
                    channel(qGreen(kBothInk), qGreen(kNewInk), qGreen(kEarlierInk)),
                    channel(qBlue(kBothInk), qBlue(kNewInk), qBlue(kEarlierInk)));
    }

private:
    std::array<QRgb, 256> m_added;
    std::array<QRgb, 256> m_removed;
    std::array<float, 256> m_darkness{};
};

qint64 pixelsOf(const QRect& r) {
    return static_cast<qint64>(r.width()) * r.height();
}

// Pixels a joined rectangle of changed areas may hold beyond its parts without being split.
constexpr qint64 kJoinSlack = 64 * 64;

// The new sheet's coverage of the output rows that changed areas cross, kept from the first pass
// over the view for the second.
struct KeptRows {
    QRect region;
    std::vector<int> index;  // per row of the region: its row in `values`, or -1
    std::vector<uchar> values;

    [[nodiscard]] size_t offset(int x, int y) const {
        return static_cast<size_t>(index[y - region.y()]) * region.width() + (x - region.x());
    }
};

// Redraws the pixels of `rect` (output pixels) that show a change.
void drawChanges(const Comparison& c, CompareMode mode, QImage& target, const QPoint& origin,
                 const QRectF& display, const QRect& rect, const KeptRows& ink,
                 const std::array<QRgb, 256>& blackColours) {
    ChangeCoverage addedSource(c, InkClasses::kAdded);
    const std::vector<uchar> added = sampled(rect, [&](const imaging::RowSink& sink) {
        imaging::sampleCoverage(addedSource, display, rect, sink);
    });
    ChangeCoverage removedSource(c, InkClasses::kRemoved);
    const std::vector<uchar> removed = sampled(rect, [&](const imaging::RowSink& sink) {
        imaging::sampleCoverage(removedSource, display, rect, sink);
    });
    static const ChangeColours mixed;
    for (int j = 0; j < rect.height(); ++j) {
        auto* out = reinterpret_cast<QRgb*>(target.scanLine(rect.y() + j - origin.y())) +
                    (rect.x() - origin.x());
        const uchar* newInk = ink.values.data() + ink.offset(rect.x(), rect.y() + j);
        const size_t at = static_cast<size_t>(j) * rect.width();
        for (int i = 0; i < rect.width(); ++i) {
            const int a = added[at + i];
            const int r = removed[at + i];
            if ((a | r) == 0) {
                continue;
            }
            const int both = std::max(0, newInk[i] - a);
            out[i] = mode == CompareMode::Overlay ? mixed(both, a, r) | 0xFF000000u
                                                  : blackColours[std::min(255, both + r)];
        }
    }
}

// The changed areas in output pixels (a pixel more all round for the filter's reach), each
// joined with the previous one where that adds little: every rectangle costs a pass over its
// width.
std::vector<QRect> changedRects(const Comparison& c, const QRectF& display, const QRect& region) {
    const double sx = display.width() / std::max(1, c.newer().width());
    const double sy = display.height() / std::max(1, c.newer().height());
    std::vector<QRect> changed;
    for (const QRect& area : c.classes().changedAreas()) {
        const QRect out =
            QRect(QPoint(static_cast<int>(std::floor(display.left() + area.left() * sx)) - 1,
                         static_cast<int>(std::floor(display.top() + area.top() * sy)) - 1),
                  QPoint(static_cast<int>(std::ceil(display.left() + (area.right() + 1) * sx)) + 1,
                         static_cast<int>(std::ceil(display.top() + (area.bottom() + 1) * sy)) + 1))
                .intersected(region);
        if (out.isEmpty()) {
            continue;
        }
        if (!changed.empty()) {
            const QRect joined = changed.back().united(out);
            if (pixelsOf(joined) <=
                (pixelsOf(changed.back()) + pixelsOf(out)) * 5 / 4 + kJoinSlack) {
                changed.back() = joined;
                continue;
            }
        }
        changed.push_back(out);
    }
    return changed;
}

void reducedComparison(const Comparison& c, CompareMode mode, QImage& target, const QPoint& origin,
                       const QRectF& display, QRgb bg) {
    const QRect region(origin, target.size());
    const std::array<QRgb, 256> black = imaging::coverageColours(kPaper, kBlack);
    const std::array<QRgb, 256> lut =
        mode == CompareMode::Overlay ? imaging::coverageColours(kPaper, kBothInk) : black;
    const std::vector<QRect> changed = changedRects(c, display, region);
    KeptRows ink{region, std::vector<int>(static_cast<size_t>(region.height()), -1), {}};
    int kept = 0;
    for (const QRect& rect : changed) {
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            int& row = ink.index[y - region.y()];
            row = row < 0 ? kept++ : row;
        }
    }
    ink.values.assign(static_cast<size_t>(kept) * region.width(), 0);
    imaging::sampleSheet(c.newer(), display, region, [&](const RowSpan& span) {
        imaging::writeSpan(span, origin.x(), target.width(), lut, bg,
                           reinterpret_cast<QRgb*>(target.scanLine(span.y - origin.y())));
        if (ink.index[span.y - region.y()] >= 0 && span.x1 > span.x0) {
            std::memcpy(ink.values.data() + ink.offset(span.x0, span.y), span.values,
                        static_cast<size_t>(span.x1 - span.x0));
        }
    });
    for (const QRect& rect : changed) {
        drawChanges(c, mode, target, origin, display, rect, ink, black);
    }
}

// Eight bytes, one per pixel of a byte of bits (leftmost first), each `value` or 0.
constexpr std::array<std::uint64_t, 256> spreadTable(std::uint8_t value) {
    std::array<std::uint64_t, 256> table{};
    for (int b = 0; b < 256; ++b) {
        for (int i = 0; i < 8; ++i) {
            if (b & (0x80 >> i)) {
                table[b] |= std::uint64_t{value} << (8 * i);
            }
        }
    }
    return table;
}

}  // namespace

void renderComparison(const Comparison& c, CompareMode mode, QImage& target, const QPoint& origin,
                      const QRectF& display, QRgb background) {
    const QRgb bg = background | 0xFF000000u;
    const bool finite = std::isfinite(display.left()) && std::isfinite(display.top()) &&
                        std::isfinite(display.width()) && std::isfinite(display.height());
    if (c.newer().isNull() || !finite || display.width() < 1e-3 || display.height() < 1e-3) {
        target.fill(bg);
        return;
    }
    if (display.width() >= c.newer().width() && display.height() >= c.newer().height()) {
        nearestComparison(c, mode, target, origin, display, bg);
    } else {
        reducedComparison(c, mode, target, origin, display, bg);
    }
}

QImage comparisonPicture(const Comparison& c, CompareMode mode) {
    if (mode == CompareMode::EarlierOnly) {
        return c.earlierOnNew().image();
    }
    if (mode == CompareMode::NewOnly) {
        return c.newer().image();
    }
    const QImage& newer = c.newer().image();
    const int w = newer.width();
    const int h = newer.height();
    QImage picture(w, h, QImage::Format_Indexed8);
    if (picture.isNull()) {
        throw imaging::ImagingError(
            QStringLiteral("Not enough memory for an image of %1 x %2 pixels").arg(w).arg(h));
    }
    const std::array<QRgb, 4> colours = classColours(mode);
    picture.setColorTable({colours.begin(), colours.end()});
    static constexpr std::array<std::uint64_t, 256> kNewBits = spreadTable(2);
    static constexpr std::array<std::uint64_t, 256> kEarlierBits = spreadTable(1);
    const int bytes = (w + 7) / 8;
    std::vector<uchar> shifted(static_cast<size_t>(bytes));
    std::vector<uchar> row(static_cast<size_t>(bytes) * 8);
    for (int y = 0; y < h; ++y) {
        shiftedRow(c.earlier().image(), c.shift(), y, w, 0, bytes, shifted.data());
        const uchar* n = newer.constScanLine(y);
        for (int k = 0; k < bytes; ++k) {
            const std::uint64_t classes = kNewBits[n[k]] | kEarlierBits[shifted[k]];
            std::memcpy(row.data() + 8 * k, &classes, 8);
        }
        std::memcpy(picture.scanLine(y), row.data(), static_cast<size_t>(w));
    }
    return picture;
}

}  // namespace sw::compare
