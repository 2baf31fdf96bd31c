#include <algorithm>
#include <vector>

#include "imaging/bit_ops.h"
#include "imaging/imaging_error.h"
#include "imaging/modified_huffman.h"
#include "imaging/tiff_decode.h"

namespace sw::imaging::tiffdecode {

namespace {

class RowReader {
public:
    RowReader(const Handle& tif, const Layout& l) : m_tif(tif), m_layout(l) {
        m_scanline = (static_cast<qint64>(l.width) * l.bps * l.spp + 7) / 8;
        if (l.tiled) {
            const qint64 bitsOffsetStep = static_cast<qint64>(l.tileWidth) * l.bps * l.spp;
            m_tileRow = static_cast<qint64>(TIFFTileRowSize64(tif.get()));
            if (l.tileWidth <= 0 || l.tileHeight <= 0 || bitsOffsetStep % 8 != 0 ||
                m_tileRow <= 0) {
                fail(QStringLiteral("Unsupported TIFF: tiles of %1 x %2 pixels")
                         .arg(l.tileWidth)
                         .arg(l.tileHeight));
            }
            // Only the rows of a tile inside the image are decoded (see loadBand).
            m_tile.resize(static_cast<size_t>(m_tileRow) * l.tileHeight);
            m_band.resize(static_cast<size_t>(m_scanline) * l.tileHeight);
        } else {
            m_libtiffScanline = TIFFScanlineSize(tif.get());
            m_buffer.resize(static_cast<size_t>(std::max<qint64>(m_libtiffScanline, m_scanline)));
        }
    }
    [[nodiscard]] qint64 scanlineBytes() const { return m_scanline; }

    // Writes row y (rows must come in increasing order, or restart at 0) into dst, which holds
    // `capacity` >= scanlineBytes() bytes. Rows of strips are decoded straight into dst when it
    // can hold what libtiff writes, so the image is written once and never copied.
    void read(int y, uchar* dst, qint64 capacity) {
        if (!m_layout.tiled && m_libtiffScanline <= capacity) {
            readScanline(y, dst);
        } else {
            std::copy_n(fetch(y), m_scanline, dst);
        }
    }

    const uchar* fetch(int y) {
        if (!m_layout.tiled) {
            readScanline(y, m_buffer.data());
            return m_buffer.data();
        }
        const int band = y / m_layout.tileHeight;
        if (band != m_bandIndex) {
            loadBand(band);
        }
        return m_band.data() + static_cast<size_t>(y % m_layout.tileHeight) * m_scanline;
    }

private:
    // Counts a step of the load (a row of strips, a band of tiles); throws once it is cancelled.
    void step() const {
        if (m_layout.token) {
            m_layout.token->step();
        }
    }

    void readScanline(int y, uchar* dst) {
        step();
        if (TIFFReadScanline(m_tif.get(), dst, static_cast<uint32_t>(y), 0) < 0) {
            failCorrupt(m_tif, QStringLiteral("cannot read row %1").arg(y));
        }
        checkNotCorrupt(m_tif);
    }

    void loadBand(int band) {
        step();
        TIFF* tif = m_tif.get();
        const Layout& l = m_layout;
        const qint64 pixelBits = static_cast<qint64>(l.bps) * l.spp;
        const int top = band * l.tileHeight;
        const int rows = std::min(l.tileHeight, l.height - top);
        for (int x = 0; x < l.width; x += l.tileWidth) {
            const uint32_t tile =
                TIFFComputeTile(tif, static_cast<uint32_t>(x), static_cast<uint32_t>(top), 0, 0);
            if (TIFFReadEncodedTile(tif, tile, m_tile.data(),
                                    static_cast<tmsize_t>(rows * m_tileRow)) < 0) {
                failCorrupt(m_tif, QStringLiteral("cannot read tile %1").arg(tile));
            }
            checkNotCorrupt(m_tif);
            const qint64 offset = x * pixelBits / 8;
            const qint64 bytes = (std::min(l.tileWidth, l.width - x) * pixelBits + 7) / 8;
            for (int r = 0; r < rows; ++r) {
                std::copy_n(m_tile.data() + r * m_tileRow, std::min(bytes, m_tileRow),
                            m_band.data() + r * m_scanline + offset);
            }
        }
        m_bandIndex = band;
    }

    const Handle& m_tif;
    Layout m_layout;
    qint64 m_scanline = 0;
    qint64 m_libtiffScanline = 0;
    qint64 m_tileRow = 0;
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

}  // namespace

// Also computes level 2 of the pyramid (4 x 4 ink counts) every four rows, while those rows are
// still in the processor's cache; `quarter` receives it when the bits are final as decoded (not
// for a palette whose order the sheet will swap).
QImage decodeBilevel(const Handle& tif, const Layout& l, std::shared_ptr<Plane>& quarter) {
    QImage image = allocate(l.width, l.height, QImage::Format_Mono);
    RowReader rows(tif, l);
    const bool invert = l.photometric == PHOTOMETRIC_MINISBLACK;
    const auto nb = static_cast<size_t>(rows.scanlineBytes());
    const auto stride = static_cast<size_t>(image.bytesPerLine());
    auto plane = makeLevelPlaneToFill(l.width, l.height, 2, 1);
    uchar* const bits = image.bits();
    for (int y = 0; y < l.height; ++y) {
        uchar* dst = bits + y * stride;
        rows.read(y, dst, static_cast<qint64>(stride));
        if (invert) {
            for (size_t i = 0; i < nb; ++i) {
                dst[i] = static_cast<uchar>(~dst[i]);
            }
        }
        // Padding bits must be paper before they are counted (the bytes past them the sheet
        // clears).
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
    // The strips are read in place: offsets and byte counts come from the file, so each is
    // cut to the data there is rather than trusted for an allocation.
    const QByteArrayView file = handle.memory();
    for (int first = 0, strip = 0; first < l.height; first += perStrip, ++strip) {
        if (l.token) {
            l.token->step();
        }
        const auto index = static_cast<uint32_t>(strip);
        if (index >= TIFFNumberOfStrips(tif)) {
            return {};
        }
        const uint64_t offset = TIFFGetStrileOffset(tif, index);
        const auto available = static_cast<uint64_t>(file.size());
        if (offset >= available) {
            return {};
        }
        const uint64_t size = std::min(TIFFGetStrileByteCount(tif, index), available - offset);
        const QByteArrayView codes =
            file.sliced(static_cast<qsizetype>(offset), static_cast<qsizetype>(size));
        if (!decodeModifiedHuffman(codes, fillOrder == FILLORDER_LSB2MSB, l.width, first,
                                   std::min(perStrip, l.height - first), image)) {
            return {};
        }
    }
    if (l.photometric == PHOTOMETRIC_MINISBLACK) {
        image.invertPixels();
    }
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    return image;
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
    if (l.token) {
        l.token->step();  // libtiff decodes the whole image in one call, which cannot be cut short
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

}  // namespace sw::imaging::tiffdecode
