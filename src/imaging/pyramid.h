#pragma once

#include <map>
#include <memory>
#include <mutex>

#include <QtGlobal>

#include "imaging/pixel_buffer.h"
#include "imaging/sheet.h"

namespace sw::imaging {

// One level of a sheet's reduced-resolution pyramid: width x height pixels of `channels` bytes
// each, rows packed without padding, in a pooled buffer (see pixel_buffer.h) that whoever builds
// the level fills completely. For a bilevel sheet a pixel is the ink coverage (0 paper ..
// 255 ink) of its block; for a grey sheet the mean grey; for a colour sheet the mean of each of
// the four bytes of the 32-bit pixel (memory order).
struct Plane {
    int width = 0;
    int height = 0;
    int channels = 1;
    PixelBuffer data;

    [[nodiscard]] const uchar* row(int y) const {
        return data.data() + static_cast<size_t>(y) * width * channels;
    }
    [[nodiscard]] uchar* row(int y) {
        return data.data() + static_cast<size_t>(y) * width * channels;
    }
};

// The shared cache behind Sheet::cache(): levels are built on first use and kept until the last
// copy of the sheet goes. Guarded by its mutex, so copies used on different threads are safe.
struct Sheet::Cache {
    std::mutex mutex;
    std::map<int, std::shared_ptr<const Plane>> levels;
};

// Lowest level kept in the cache: 2 (4:1) for bilevel sheets, whose finer views are computed
// from the packed bits of the visible part only, and 1 (2:1) for grey and colour sheets.
int firstCachedLevel(const Sheet& sheet);

// Highest level worth having: the level at which the sheet is one pixel in both directions.
int topLevel(const Sheet& sheet);

// Level k (firstCachedLevel(sheet) <= k <= topLevel(sheet)) of the pyramid: pixel (x, y) sums up
// the 2^k x 2^k block of sheet pixels at (x * 2^k, y * 2^k); ceil(width / 2^k) pixels wide. Built
// from the next finer level on first use (bilevel level 2 straight from the bits, by counting
// set bits) and kept in the sheet's cache. Any thread.
std::shared_ptr<const Plane> pyramidLevel(const Sheet& sheet, int k);

// Puts an already computed level into the sheet's cache (the decoder computes level 2 of a bilevel
// sheet while the decoded rows are still in the processor's cache). Ignored when the level exists.
void attachLevel(const Sheet& sheet, int k, std::shared_ptr<const Plane> plane);

// The next coarser level of `finer`: the mean of each 2 x 2 block (the odd last column and row
// average their own pixels), as the pyramid builds its levels.
std::shared_ptr<Plane> halvedPlane(const Plane& finer);

// An empty plane (every byte 0) of the size level k of a width x height sheet has.
std::shared_ptr<Plane> makeLevelPlane(int width, int height, int k, int channels);

// The same with its bytes undefined, for a builder that writes every one of them (no clearing
// pass over megabytes about to be overwritten).
std::shared_ptr<Plane> makeLevelPlaneToFill(int width, int height, int k, int channels);

}  // namespace sw::imaging
