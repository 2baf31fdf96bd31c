#include "imaging/tiff_reader.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <QFile>

#include "imaging/bit_ops.h"
#include "imaging/imaging_error.h"
#include "imaging/modified_huffman.h"
#include "imaging/pyramid.h"
#include "imaging/tiff_io.h"

namespace sw::imaging {

namespace {

using tiffio::Handle;

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
    int tileHeight = 0;
    const uint16_t* map[3] = {nullptr, nullptr, nullptr};
    double dpiX = Sheet::kDefaultDpi;
    double dpiY = Sheet::kDefaultDpi;
};

enum class Kind { Bilevel, Grey, Palette, Rgb, Generic };

[[noreturn]] void fail(const QString& message) {
    throw ImagingError(message);
}

[[noreturn]] void failCorrupt(const Handle& tif, const QString& fallback) {
    const QString reason = tif.diagnostics().firstError;
    fail(QStringLiteral("Corrupt data: %1").arg(reason.isEmpty() ? fallback : reason));
}

void checkNotCorrupt(const Handle& tif) {
    if (tif.diagnostics().failed()) {
        failCorrupt(tif, {});
    }
}

Handle open(QByteArrayView data, qint64 maxAllocation) {
    if (!tiffio::hasTiffSignature(data)) {
        if (data.isEmpty()) {
            fail(QStringLiteral("Not a TIFF file (no data)"));
        }
        const QByteArray head = data.first(std::min<qsizetype>(data.size(), 256)).toByteArray();
        if (head.trimmed().startsWith('<')) {
            fail(QStringLiteral("Not a TIFF file (received an HTML or XML page)"));
        }
        fail(QStringLiteral("Not a TIFF file"));
    }
    Handle tif = Handle::openMemory(data, std::max<qint64>(maxAllocation, 64 << 20));
    if (!tif) {
        const QString reason = tif.diagnostics().firstError;
        fail(reason.isEmpty() ? QStringLiteral("Corrupt data: unreadable TIFF header")
                              : QStringLiteral("Corrupt data: %1").arg(reason));
    }
    return tif;
}

double resolution(TIFF* tif, ttag_t tag, int unit) {
    float value = 0;
    if (unit == RESUNIT_NONE || !TIFFGetField(tif, tag, &value) || !std::isfinite(value) ||
        value <= 0) {
        return Sheet::kDefaultDpi;
    }
    return unit == RESUNIT_CENTIMETER ? value * 2.54 : value;
}

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
        l.tileWidth = static_cast<int>(std::min<uint32_t>(tw, 1 << 20));
        l.tileHeight = static_cast<int>(std::min<uint32_t>(th, 1 << 20));
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

void checkSize(const Layout& l, Kind kind, const DecodeOptions& options) {
    const qint64 w = l.width;
    qint64 bytes = 0;
    switch (kind) {
        case Kind::Bilevel:
            bytes = (w + 31) / 32 * 4 * l.height;
            break;
        case Kind::Grey:
            bytes = (w + 3) / 4 * 4 * l.height;
            break;
        default:
            bytes = w * 4 * l.height;
    }
    if (bytes > options.maxImageBytes) {
        fail(QStringLiteral("The image of %1 x %2 pixels needs %3 MB, more than the limit of %4 MB")
                 .arg(l.width)
                 .arg(l.height)
                 .arg((bytes + (1 << 20) - 1) >> 20)
                 .arg(options.maxImageBytes >> 20));
    }
}

QImage allocate(int w, int h, QImage::Format format) {
    QImage image(w, h, format);
    if (image.isNull()) {
        fail(QStringLiteral("Not enough memory for an image of %1 x %2 pixels").arg(w).arg(h));
    }
    return image;
}

// Delivers the decoded rows of a contiguous image in order (sample values interleaved, as in the
// file), from strips one scanline at a time, or from tiles one band of tiles at a time.
class RowReader {
public:
    RowReader(const Handle& tif, const Layout& l) : m_tif(tif), m_layout(l) {
        m_scanline = (static_cast<qint64>(l.width) * l.bps * l.spp + 7) / 8;
        if (l.tiled) {
            const qint64 bitsOffsetStep = static_cast<qint64>(l.tileWidth) * l.bps * l.spp;
            if (l.tileWidth <= 0 || l.tileHeight <= 0 || bitsOffsetStep % 8 != 0) {
                fail(QStringLiteral("Unsupported TIFF: tiles of %1 x %2 pixels")
                         .arg(l.tileWidth)
                         .arg(l.tileHeight));
            }
            m_tile.resize(static_cast<size_t>(TIFFTileSize64(tif.get())));
            m_band.resize(static_cast<size_t>(m_scanline) * l.tileHeight);
        } else {
            m_buffer.resize(
                static_cast<size_t>(std::max<tmsize_t>(TIFFScanlineSize(tif.get()), m_scanline)));
        }
    }
    [[nodiscard]] qint64 scanlineBytes() const { return m_scanline; }

    // Copies row y (rows must come in increasing order, or restart at 0) into dst, which holds at
    // least scanlineBytes() bytes.
    void read(int y, uchar* dst) { std::copy_n(fetch(y), m_scanline, dst); }

    const uchar* fetch(int y) {
        if (!m_layout.tiled) {
            if (TIFFReadScanline(m_tif.get(), m_buffer.data(), static_cast<uint32_t>(y), 0) < 0) {
                failCorrupt(m_tif, QStringLiteral("cannot read row %1").arg(y));
            }
            checkNotCorrupt(m_tif);
            return m_buffer.data();
        }
        const int band = y / m_layout.tileHeight;
        if (band != m_bandIndex) {
            loadBand(band);
        }
        return m_band.data() + static_cast<size_t>(y % m_layout.tileHeight) * m_scanline;
    }

private:
    void loadBand(int band) {
        TIFF* tif = m_tif.get();
        const Layout& l = m_layout;
        const qint64 tileRow = TIFFTileRowSize64(tif);
        const qint64 pixelBits = static_cast<qint64>(l.bps) * l.spp;
        for (int x = 0; x < l.width; x += l.tileWidth) {
            const uint32_t tile = TIFFComputeTile(tif, static_cast<uint32_t>(x),
                                                  static_cast<uint32_t>(band) * l.tileHeight, 0, 0);
            if (TIFFReadEncodedTile(tif, tile, m_tile.data(),
                                    static_cast<tmsize_t>(m_tile.size())) < 0) {
                failCorrupt(m_tif, QStringLiteral("cannot read tile %1").arg(tile));
            }
            checkNotCorrupt(m_tif);
            const qint64 offset = x * pixelBits / 8;
            const qint64 bytes = (std::min(l.tileWidth, l.width - x) * pixelBits + 7) / 8;
            for (int r = 0; r < l.tileHeight; ++r) {
                std::copy_n(m_tile.data() + r * tileRow, std::min(bytes, tileRow),
                            m_band.data() + r * m_scanline + offset);
            }
        }
        m_bandIndex = band;
    }

    const Handle& m_tif;
    Layout m_layout;
    qint64 m_scanline = 0;
    std::vector<uchar> m_buffer;
    std::vector<uchar> m_tile;
    std::vector<uchar> m_band;
    int m_bandIndex = -1;
};

QRgb mapColour(const Layout& l, int index, bool eightBitMap) {
    const int shift = eightBitMap ? 0 : 8;
    return qRgb(l.map[0][index] >> shift, l.map[1][index] >> shift, l.map[2][index] >> shift);
}

bool mapIsEightBit(const Layout& l) {
    const int n = 1 << l.bps;
    for (int i = 0; i < n; ++i) {
        if (l.map[0][i] > 255 || l.map[1][i] > 255 || l.map[2][i] > 255) {
            return false;
        }
    }
    return true;
}

// Also computes level 2 of the pyramid (4 x 4 ink counts) every four rows, while those rows are
// still in the processor's cache; `quarter` receives it when the bits are final as decoded (not
// for a palette whose order the sheet will swap).
QImage decodeBilevel(const Handle& tif, const Layout& l, std::shared_ptr<Plane>& quarter) {
    QImage image = allocate(l.width, l.height, QImage::Format_Mono);
    RowReader rows(tif, l);
    const bool invert = l.photometric == PHOTOMETRIC_MINISBLACK;
    const auto nb = static_cast<size_t>(rows.scanlineBytes());
    auto plane = makeLevelPlane(l.width, l.height, 2, 1);
    for (int y = 0; y < l.height; ++y) {
        uchar* dst = image.scanLine(y);
        rows.read(y, dst);
        if (invert) {
            for (size_t i = 0; i < nb; ++i) {
                dst[i] = static_cast<uchar>(~dst[i]);
            }
        }
        // Padding bits must be paper before they are counted.
        if (l.width % 8 != 0) {
            dst[nb - 1] &= static_cast<uchar>(0xFF << (8 - l.width % 8));
        }
        if (y % 4 == 3 || y == l.height - 1) {
            const int top = y - y % 4;
            const uchar* group[4];
            for (int i = 0; i < 4; ++i) {
                group[i] = top + i <= y ? image.constScanLine(top + i) : nullptr;
            }
            bits::quadCoverage(group, l.width, plane->row(top / 4));
        }
    }
    if (l.photometric == PHOTOMETRIC_PALETTE) {
        const bool eight = mapIsEightBit(l);
        image.setColorTable({mapColour(l, 0, eight), mapColour(l, 1, eight)});
    } else {
        image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
        quarter = std::move(plane);
    }
    return image;
}

// Bilevel G3 one-dimensional strips decoded without libtiff's codec (see modified_huffman.h);
// a null image when they do not decode either.
QImage decodeOneDimensionalG3(const Handle& handle, const Layout& l) {
    TIFF* tif = handle.get();
    uint32_t options = 0;
    TIFFGetField(tif, TIFFTAG_GROUP3OPTIONS, &options);
    if (l.compression != COMPRESSION_CCITTFAX3 || (options & GROUP3OPT_2DENCODING) || l.tiled ||
        l.photometric == PHOTOMETRIC_PALETTE) {
        return {};
    }
    uint32_t rowsPerStrip = 0;
    uint16_t fillOrder = FILLORDER_MSB2LSB;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    TIFFGetFieldDefaulted(tif, TIFFTAG_FILLORDER, &fillOrder);
    const int perStrip = static_cast<int>(std::clamp<uint32_t>(rowsPerStrip, 1, l.height));
    QImage image = allocate(l.width, l.height, QImage::Format_Mono);
    std::vector<char> raw;
    for (int first = 0, strip = 0; first < l.height; first += perStrip, ++strip) {
        const tmsize_t size = TIFFRawStripSize(tif, static_cast<uint32_t>(strip));
        if (size <= 0 || size > (tmsize_t{256} << 20)) {
            return {};
        }
        raw.resize(static_cast<size_t>(size));
        const tmsize_t got = TIFFReadRawStrip(tif, static_cast<uint32_t>(strip), raw.data(), size);
        if (got <= 0 ||
            !decodeModifiedHuffman(QByteArrayView(raw.data(), got), fillOrder == FILLORDER_LSB2MSB,
                                   l.width, first, std::min(perStrip, l.height - first), image)) {
            return {};
        }
    }
    if (l.photometric == PHOTOMETRIC_MINISBLACK) {
        image.invertPixels();
    }
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    return image;
}

// Sample i of a row of `bps`-bit samples.
inline int sampleAt(const uchar* row, int i, int bps) {
    switch (bps) {
        case 8:
            return row[i];
        case 16:
            return reinterpret_cast<const uint16_t*>(row)[i];
        default: {
            const int bit = i * bps;
            return (row[bit >> 3] >> (8 - bps - (bit & 7))) & ((1 << bps) - 1);
        }
    }
}

QImage decodeGrey(const Handle& tif, const Layout& l) {
    QImage image = allocate(l.width, l.height, QImage::Format_Grayscale8);
    RowReader rows(tif, l);
    const int maxValue = (1 << l.bps) - 1;
    const bool invert = l.photometric == PHOTOMETRIC_MINISWHITE;
    for (int y = 0; y < l.height; ++y) {
        const uchar* src = rows.fetch(y);
        uchar* dst = image.scanLine(y);
        for (int x = 0; x < l.width; ++x) {
            const int v = sampleAt(src, x, l.bps);
            const int grey = l.bps == 16 ? v >> 8 : (v * 255 + maxValue / 2) / maxValue;
            dst[x] = static_cast<uchar>(invert ? 255 - grey : grey);
        }
    }
    return image;
}

// Palette images that use at most two colours (a print-in-blue sheet saved at 4 bits, say) come
// back as packed bilevel sheets; others as 32-bit colour.
QImage decodePalette(const Handle& tif, const Layout& l) {
    const bool eight = mapIsEightBit(l);
    {
        QImage mono = allocate(l.width, l.height, QImage::Format_Mono);
        RowReader rows(tif, l);
        int first = -1;
        int second = -1;
        bool twoColours = true;
        for (int y = 0; y < l.height && twoColours; ++y) {
            const uchar* src = rows.fetch(y);
            uchar* dst = mono.scanLine(y);
            std::fill_n(dst, mono.bytesPerLine(), 0);
            for (int x = 0; x < l.width; ++x) {
                const int v = sampleAt(src, x, l.bps);
                if (first < 0 || v == first) {
                    first = v;
                    continue;
                }
                if (second < 0) {
                    second = v;
                }
                if (v != second) {
                    twoColours = false;
                    break;
                }
                dst[x >> 3] |= static_cast<uchar>(0x80 >> (x & 7));
            }
        }
        if (twoColours) {
            const QRgb a = mapColour(l, std::max(first, 0), eight);
            mono.setColorTable({a, second < 0 ? a : mapColour(l, second, eight)});
            return mono;
        }
    }
    QImage image = allocate(l.width, l.height, QImage::Format_RGB32);
    RowReader rows(tif, l);
    for (int y = 0; y < l.height; ++y) {
        const uchar* src = rows.fetch(y);
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < l.width; ++x) {
            dst[x] = mapColour(l, sampleAt(src, x, l.bps), eight);
        }
    }
    return image;
}

QImage decodeRgb(const Handle& tif, const Layout& l) {
    const bool alpha = l.spp == 4 && l.alpha != 0;
    QImage image =
        allocate(l.width, l.height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    RowReader rows(tif, l);
    for (int y = 0; y < l.height; ++y) {
        const uchar* s = rows.fetch(y);
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < l.width; ++x, s += l.spp) {
            if (!alpha) {
                dst[x] = qRgb(s[0], s[1], s[2]);
            } else if (l.alpha == EXTRASAMPLE_ASSOCALPHA && s[3] > 0) {
                auto un = [a = s[3]](int c) { return std::min(255, (c * 255 + a / 2) / a); };
                dst[x] = qRgba(un(s[0]), un(s[1]), un(s[2]), s[3]);
            } else {
                dst[x] = qRgba(s[0], s[1], s[2], s[3]);
            }
        }
    }
    return image;
}

QImage decodeGeneric(const Handle& tif, const Layout& l) {
    char reason[1024] = {};
    if (!TIFFRGBAImageOK(tif.get(), reason)) {
        fail(QStringLiteral("Unsupported TIFF: %1").arg(QString::fromLocal8Bit(reason)));
    }
    QImage image = allocate(l.width, l.height, QImage::Format_ARGB32);
    auto* raster = reinterpret_cast<uint32_t*>(image.bits());
    if (!TIFFReadRGBAImageOriented(tif.get(), static_cast<uint32_t>(l.width),
                                   static_cast<uint32_t>(l.height), raster, ORIENTATION_TOPLEFT,
                                   1)) {
        failCorrupt(tif, QStringLiteral("cannot decode the image"));
    }
    checkNotCorrupt(tif);
    bool opaque = true;
    const qsizetype n = static_cast<qsizetype>(l.width) * l.height;
    for (qsizetype i = 0; i < n; ++i) {
        const uint32_t p = raster[i];
        raster[i] = qRgba(TIFFGetR(p), TIFFGetG(p), TIFFGetB(p), TIFFGetA(p));
        opaque = opaque && TIFFGetA(p) == 255;
    }
    if (opaque) {
        image.reinterpretAsFormat(QImage::Format_RGB32);
    }
    return image;
}

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

}  // namespace

Sheet decodeTiff(QByteArrayView data, const DecodeOptions& options) {
    Handle tif = open(data, options.maxImageBytes);
    const Layout layout = readLayout(tif);
    const Kind kind = kindOf(layout);
    checkSize(layout, kind, options);
    // Complaints about the directory (bogus counts, unsorted tags) are not fatal once libtiff
    // has accepted it; only failures while decoding the pixels are.
    tif.clearErrors();
    QImage image;
    std::shared_ptr<Plane> quarter;
    switch (kind) {
        case Kind::Bilevel:
            try {
                image = decodeBilevel(tif, layout, quarter);
            } catch (const ImagingError&) {
                image = decodeOneDimensionalG3(tif, layout);
                if (image.isNull()) {
                    throw;
                }
                quarter.reset();
            }
            break;
        case Kind::Grey:
            image = decodeGrey(tif, layout);
            break;
        case Kind::Palette:
            image = decodePalette(tif, layout);
            break;
        case Kind::Rgb:
            image = decodeRgb(tif, layout);
            break;
        case Kind::Generic:
            image = decodeGeneric(tif, layout);
            break;
    }
    Sheet sheet(std::move(image), layout.dpiX, layout.dpiY);
    if (quarter) {
        attachLevel(sheet, 2, std::move(quarter));
    }
    return sheet;
}

TiffFacts readTiffFacts(QByteArrayView data) {
    Handle tif = open(data, 64 << 20);
    const Layout l = readLayout(tif);
    TiffFacts facts;
    facts.width = l.width;
    facts.height = l.height;
    facts.bitsPerSample = l.bps;
    facts.samplesPerPixel = l.spp;
    facts.compression = compressionName(l.compression);
    facts.photometric = photometricName(l.photometric);
    facts.dpiX = l.dpiX;
    facts.dpiY = l.dpiY;
    facts.tiled = l.tiled;
    return facts;
}

struct MappedFile::Private {
    QFile file;
    uchar* map = nullptr;
    QByteArray copy;
};

MappedFile::MappedFile(const QString& path) : d(new Private) {
    d->file.setFileName(path);
    if (!d->file.open(QIODevice::ReadOnly)) {
        const QString reason = d->file.errorString();
        delete d;
        throw ImagingError(QStringLiteral("Cannot open %1: %2").arg(path, reason));
    }
    if (d->file.size() > 0) {
        d->map = d->file.map(0, d->file.size());
    }
    if (!d->map) {
        d->copy = d->file.readAll();
    }
}

MappedFile::~MappedFile() {
    delete d;
}

QByteArrayView MappedFile::bytes() const {
    if (d->map) {
        return {reinterpret_cast<const char*>(d->map), d->file.size()};
    }
    return d->copy;
}

Sheet readTiffFile(const QString& path, const DecodeOptions& options) {
    MappedFile file(path);
    return decodeTiff(file.bytes(), options);
}

}  // namespace sw::imaging
