#include "imaging/pyramid.h"

#include <algorithm>

#include "imaging/bit_ops.h"

namespace sw::imaging {

namespace {

int levelSize(int size, int k) {
    return static_cast<int>((static_cast<qint64>(size) + (1LL << k) - 1) >> k);
}

std::shared_ptr<Plane> makePlane(int width, int height, int channels) {
    auto plane = std::make_shared<Plane>();
    plane->width = width;
    plane->height = height;
    plane->channels = channels;
    plane->data = PixelBuffer(static_cast<size_t>(width) * height * channels);
    return plane;
}

std::shared_ptr<Plane> bilevelQuarter(const QImage& mono) {
    auto plane = makeLevelPlaneToFill(mono.width(), mono.height(), 2, 1);
    const int h = plane->height;
    for (int y = 0; y < h; ++y) {
        const uchar* rows[4];
        for (int i = 0; i < 4; ++i) {
            const int sy = 4 * y + i;
            rows[i] = sy < mono.height() ? mono.constScanLine(sy) : nullptr;
        }
        bits::quadCoverage(rows, mono.width(), plane->row(y));
    }
    return plane;
}

// Level 0 of a grey or colour sheet seen as a plane (rows of the QImage, padded).
struct Source {
    int width;
    int height;
    int channels;
    const uchar* (*rowOf)(const void*, int);
    const void* owner;
    [[nodiscard]] const uchar* row(int y) const { return rowOf(owner, y); }
};

// Mean of 2 x 2 blocks. One-channel rows (the coverage levels of bilevel sheets, grey sheets)
// go through a plain loop the compiler vectorises; the odd last column and row repeat the edge.
void halveRow(const uchar* a, const uchar* b, int srcWidth, int channels, uchar* out) {
    const int pairs = srcWidth / 2;
    if (channels == 1) {
        for (int x = 0; x < pairs; ++x) {
            out[x] =
                static_cast<uchar>((a[2 * x] + a[2 * x + 1] + b[2 * x] + b[2 * x + 1] + 2) >> 2);
        }
    } else {
        for (int x = 0; x < pairs; ++x) {
            for (int ch = 0; ch < channels; ++ch) {
                const int i = 2 * x * channels + ch;
                out[x * channels + ch] =
                    static_cast<uchar>((a[i] + a[i + channels] + b[i] + b[i + channels] + 2) >> 2);
            }
        }
    }
    if (srcWidth % 2) {
        for (int ch = 0; ch < channels; ++ch) {
            const int i = (srcWidth - 1) * channels + ch;
            out[pairs * channels + ch] = static_cast<uchar>((a[i] + b[i] + 1) >> 1);
        }
    }
}

std::shared_ptr<Plane> halve(const Source& src) {
    auto plane = makePlane(levelSize(src.width, 1), levelSize(src.height, 1), src.channels);
    for (int y = 0; y < plane->height; ++y) {
        const uchar* a = src.row(2 * y);
        const uchar* b = 2 * y + 1 < src.height ? src.row(2 * y + 1) : a;
        halveRow(a, b, src.width, src.channels, plane->row(y));
    }
    return plane;
}

std::shared_ptr<Plane> buildLevel(const Sheet& sheet, int k,
                                  const std::shared_ptr<const Plane>& finer) {
    if (finer) {
        return halvedPlane(*finer);
    }
    if (sheet.isBilevel()) {
        return bilevelQuarter(sheet.image());
    }
    const QImage& img = sheet.image();
    const int channels = img.depth() == 8 ? 1 : 4;
    Source src{img.width(), img.height(), channels,
               [](const void* o, int y) { return static_cast<const QImage*>(o)->constScanLine(y); },
               &img};
    return halve(src);
}

}  // namespace

std::shared_ptr<Plane> halvedPlane(const Plane& finer) {
    Source src{finer.width, finer.height, finer.channels,
               [](const void* o, int y) { return static_cast<const Plane*>(o)->row(y); }, &finer};
    return halve(src);
}

std::shared_ptr<Plane> makeLevelPlane(int width, int height, int k, int channels) {
    auto plane = makeLevelPlaneToFill(width, height, k, channels);
    std::fill_n(plane->data.data(), plane->data.size(), uchar{0});
    return plane;
}

std::shared_ptr<Plane> makeLevelPlaneToFill(int width, int height, int k, int channels) {
    return makePlane(levelSize(width, k), levelSize(height, k), channels);
}

void attachLevel(const Sheet& sheet, int k, std::shared_ptr<const Plane> plane) {
    const auto cache = sheet.cache();
    std::lock_guard lock(cache->mutex);
    cache->levels.emplace(k, std::move(plane));
}

int firstCachedLevel(const Sheet& sheet) {
    return sheet.isBilevel() ? 2 : 1;
}

int topLevel(const Sheet& sheet) {
    int k = 0;
    while ((sheet.width() >> k) > 1 || (sheet.height() >> k) > 1) {
        ++k;
    }
    return std::max(k, firstCachedLevel(sheet));
}

std::shared_ptr<const Plane> pyramidLevel(const Sheet& sheet, int k) {
    const auto cache = sheet.cache();
    const int first = firstCachedLevel(sheet);
    k = std::clamp(k, first, topLevel(sheet));
    {
        std::lock_guard lock(cache->mutex);
        auto it = cache->levels.find(k);
        if (it != cache->levels.end()) {
            return it->second;
        }
    }
    std::shared_ptr<const Plane> finer = k > first ? pyramidLevel(sheet, k - 1) : nullptr;
    std::shared_ptr<const Plane> built = buildLevel(sheet, k, finer);
    std::lock_guard lock(cache->mutex);
    auto [it, inserted] = cache->levels.emplace(k, built);
    return it->second;
}

}  // namespace sw::imaging
