#include <algorithm>
#include <cmath>

#include "imaging/imaging_error.h"
#include "imaging/pixel_buffer.h"
#include "imaging/sheet.h"
#include "imaging/tiff_decode.h"

namespace sw::imaging::tiffdecode {

void fail(const QString& message) {
    throw ImagingError(message);
}

void failCorrupt(const Handle& tif, const QString& fallback) {
    const QString reason = tif.diagnostics().firstError;
    fail(QStringLiteral("Corrupt data: %1").arg(reason.isEmpty() ? fallback : reason));
}

void checkNotCorrupt(const Handle& tif) {
    if (tif.diagnostics().failed()) {
        failCorrupt(tif, {});
    }
}

namespace {

// Tiles up to this wide are accepted whatever the image's width.
constexpr uint32_t kWidestTile = 4096;

double resolution(TIFF* tif, ttag_t tag, int unit) {
    float value = 0;
    if (unit == RESUNIT_NONE || !TIFFGetField(tif, tag, &value) || !std::isfinite(value) ||
        value <= 0) {
        return Sheet::kDefaultDpi;
    }
    return unit == RESUNIT_CENTIMETER ? value * 2.54 : value;
}

}  // namespace

Layout readLayout(const Handle& handle) {
    TIFF* tif = handle.get();
    Layout l;
    uint32_t w = 0;
    uint32_t h = 0;
    uint16_t v16 = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    if (w == 0 || h == 0 || w > 0x7FFFFFF || h > 0x7FFFFFF) {
        fail(QStringLiteral("Corrupt data: the image size %1 x %2 is not valid").arg(w).arg(h));
    }
    l.width = static_cast<int>(w);
    l.height = static_cast<int>(h);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &v16);
    l.bps = v16;
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &v16);
    l.spp = v16;
    if (TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &v16)) {
        l.photometric = v16;
    }
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &v16);
    l.compression = v16;
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &v16);
    l.planar = v16;
    uint16_t extraCount = 0;
    uint16_t* extra = nullptr;
    if (TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extra) && extraCount > 0 && extra) {
        l.alpha =
            extra[0] == EXTRASAMPLE_ASSOCALPHA || extra[0] == EXTRASAMPLE_UNASSALPHA ? extra[0] : 0;
    }
    l.tiled = TIFFIsTiled(tif);
    if (l.tiled) {
        uint32_t tw = 0;
        uint32_t th = 0;
        TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tw);
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &th);
        // A tile row is decoded whole, so a tile much wider than the image would need a buffer
        // the image does not; a tile longer than the image is read only as far as the image goes.
        if (tw == 0 || th == 0 || tw > std::max<uint32_t>(w, kWidestTile) + 15) {
            fail(QStringLiteral("Unsupported TIFF: tiles of %1 x %2 pixels in an image of %3 x %4")
                     .arg(tw)
                     .arg(th)
                     .arg(w)
                     .arg(h));
        }
        l.tileWidth = static_cast<int>(tw);
        l.tileHeight = static_cast<int>(std::min(th, h));
    }
    uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
    if (TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &b)) {
        l.map[0] = r;
        l.map[1] = g;
        l.map[2] = b;
    }
    uint16_t unit = RESUNIT_INCH;
    TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
    l.dpiX = resolution(tif, TIFFTAG_XRESOLUTION, unit);
    l.dpiY = resolution(tif, TIFFTAG_YRESOLUTION, unit);
    return l;
}

Kind kindOf(const Layout& l) {
    const bool greyPhotometric = l.photometric == PHOTOMETRIC_MINISWHITE ||
                                 l.photometric == PHOTOMETRIC_MINISBLACK || l.photometric < 0;
    if (l.spp == 1 && l.bps == 1 &&
        (greyPhotometric || (l.photometric == PHOTOMETRIC_PALETTE && l.map[0]))) {
        return Kind::Bilevel;
    }
    if (l.spp == 1 && greyPhotometric && (l.bps == 2 || l.bps == 4 || l.bps == 8 || l.bps == 16)) {
        return Kind::Grey;
    }
    if (l.spp == 1 && l.photometric == PHOTOMETRIC_PALETTE && l.map[0] &&
        (l.bps == 2 || l.bps == 4 || l.bps == 8)) {
        return Kind::Palette;
    }
    if (l.bps == 8 && (l.spp == 3 || l.spp == 4) && l.photometric == PHOTOMETRIC_RGB &&
        l.planar == PLANARCONFIG_CONTIG) {
        return Kind::Rgb;
    }
    return Kind::Generic;
}

QImage allocate(int w, int h, QImage::Format format) {
    QImage image = pooledImage(w, h, format);
    if (image.isNull()) {
        fail(QStringLiteral("Not enough memory for an image of %1 x %2 pixels").arg(w).arg(h));
    }
    return image;
}

// Delivers the decoded rows of a contiguous image in order (sample values interleaved, as in the
// file), from strips one scanline at a time, or from tiles one band of tiles at a time.

QString compressionName(int c) {
    switch (c) {
        case COMPRESSION_NONE:
            return QStringLiteral("None");
        case COMPRESSION_CCITTRLE:
            return QStringLiteral("CCITT RLE");
        case COMPRESSION_CCITTFAX3:
            return QStringLiteral("CCITT Group 3");
        case COMPRESSION_CCITTFAX4:
            return QStringLiteral("CCITT Group 4");
        case COMPRESSION_LZW:
            return QStringLiteral("LZW");
        case COMPRESSION_OJPEG:
        case COMPRESSION_JPEG:
            return QStringLiteral("JPEG");
        case COMPRESSION_ADOBE_DEFLATE:
        case COMPRESSION_DEFLATE:
            return QStringLiteral("Deflate");
        case COMPRESSION_PACKBITS:
            return QStringLiteral("PackBits");
        default:
            return QStringLiteral("Compression %1").arg(c);
    }
}

QString photometricName(int p) {
    switch (p) {
        case PHOTOMETRIC_MINISWHITE:
            return QStringLiteral("min-is-white");
        case PHOTOMETRIC_MINISBLACK:
            return QStringLiteral("min-is-black");
        case PHOTOMETRIC_RGB:
            return QStringLiteral("RGB");
        case PHOTOMETRIC_PALETTE:
            return QStringLiteral("palette");
        case PHOTOMETRIC_MASK:
            return QStringLiteral("mask");
        case PHOTOMETRIC_SEPARATED:
            return QStringLiteral("separated");
        case PHOTOMETRIC_YCBCR:
            return QStringLiteral("YCbCr");
        case PHOTOMETRIC_CIELAB:
            return QStringLiteral("CIELab");
        case -1:
            return QStringLiteral("none");
        default:
            return QStringLiteral("photometric %1").arg(p);
    }
}

}  // namespace sw::imaging::tiffdecode
