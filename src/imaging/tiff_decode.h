#pragma once

#include <tiffio.h>

#include <memory>

#include <QImage>
#include <QString>

#include "imaging/load_token.h"
#include "imaging/pyramid.h"
#include "imaging/tiff_io.h"

// Internals of the TIFF reader (tiff_reader.cpp): the layout of a file's first image and the
// pixel decoders for each kind of image. Reentrant; used by one decode at a time per handle.
namespace sw::imaging::tiffdecode {

using tiffio::Handle;

// The first image's tags as the decoders need them (defaults as TIFF defines them), and the load
// the decode serves.
struct Layout {
    int width = 0;
    int height = 0;
    int bps = 1;
    int spp = 1;
    int photometric = -1;
    int compression = COMPRESSION_NONE;
    int planar = PLANARCONFIG_CONTIG;
    int alpha = 0;  // 0 none, EXTRASAMPLE_ASSOCALPHA or EXTRASAMPLE_UNASSALPHA
    bool tiled = false;
    int tileWidth = 0;
    int tileHeight = 0;  // rows of a band of tiles: the tile length, at most the image height
    const uint16_t* map[3] = {nullptr, nullptr, nullptr};
    double dpiX = Sheet::kDefaultDpi;
    double dpiY = Sheet::kDefaultDpi;
    LoadToken* token = nullptr;  // counted after every row decoded; may cancel
};

// Which decoder an image goes to; Generic is libtiff's RGBA interface (YCbCr, CMYK, 16-bit
// colour, planar colour, tiled colour, ...).
enum class Kind { Bilevel, Grey, Palette, Rgb, Generic };

// Throw ImagingError: the message as given; "Corrupt data: " with libtiff's first error (or the
// fallback); the same when libtiff has reported an error on the handle.
[[noreturn]] void fail(const QString& message);
[[noreturn]] void failCorrupt(const Handle& tif, const QString& fallback);
void checkNotCorrupt(const Handle& tif);

// The first image's tags; throws for an image without a valid size or with tiles far wider than
// the image.
Layout readLayout(const Handle& handle);
Kind kindOf(const Layout& layout);
QString compressionName(int compression);
QString photometricName(int photometric);

// A new image with undefined pixels in a pooled buffer (the decoders write every byte), or
// ImagingError "Not enough memory ...".
QImage allocate(int width, int height, QImage::Format format);

// Decoders, one per kind. decodeBilevel also computes level 2 of the pyramid into `quarter` when
// the decoded bits are final (see tiff_pixels.cpp); decodeOneDimensionalG3 returns a null image
// when the strips are not G3 one-dimensional or do not decode.
QImage decodeBilevel(const Handle& tif, const Layout& l, std::shared_ptr<Plane>& quarter);
QImage decodeOneDimensionalG3(const Handle& tif, const Layout& l);
QImage decodeGrey(const Handle& tif, const Layout& l);
QImage decodePalette(const Handle& tif, const Layout& l);
QImage decodeRgb(const Handle& tif, const Layout& l);
QImage decodeGeneric(const Handle& tif, const Layout& l);

}  // namespace sw::imaging::tiffdecode
