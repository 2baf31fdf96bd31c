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
    plane->data.resize(static_cast<size_t>(width) * height * channels);
    return plane;
}

std::shared_ptr<Plane> bilevelQuarter(const QImage& mono) {
    auto plane = makeLevelPlane(mono.width(), mono.height(), 2, 1);
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

std::shared_ptr<Plane> halve(const Source& src) {
    const int w = levelSize(src.width, 1);
    const int h = levelSize(src.height, 1);
    const int c = src.channels;
    auto plane = makePlane(w, h, c);
    for (int y = 0; y < h; ++y) {
        const uchar* a = src.row(2 * y);
        const uchar* b = 2 * y + 1 < src.height ? src.row(2 * y + 1) : a;
        uchar* out = plane->row(y);
        for (int x = 0; x < w; ++x) {
            const int x0 = 2 * x;
            const int x1 = std::min(2 * x + 1, src.width - 1);
            for (int ch = 0; ch < c; ++ch) {
                const int sum = a[x0 * c + ch] + a[x1 * c + ch] + b[x0 * c + ch] + b[x1 * c + ch];
                out[x * c + ch] = static_cast<uchar>((sum + 2) >> 2);
            }
        }
    }
    return plane;
}

std::shared_ptr<Plane> buildLevel(const Sheet& sheet, int k,
                                  const std::shared_ptr<const Plane>& finer) {
    if (finer) {
        const Plane* p = finer.get();
        Source src{p->width, p->height, p->channels,
                   [](const void* o, int y) { return static_cast<const Plane*>(o)->row(y); }, p};
        return halve(src);
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

std::shared_ptr<Plane> makeLevelPlane(int width, int height, int k, int channels) {
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
