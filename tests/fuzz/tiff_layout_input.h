#pragma once

#include "support/tiff_builder.h"

#include <cstddef>
#include <cstdint>
#include <iterator>

#include <QByteArray>

#include "imaging/imaging_error.h"
#include "imaging/sheet_loader.h"
#include "imaging/tiff_reader.h"

// Shared by the strip and tile fuzz targets: a TIFF whose header is always valid, built from the
// input's first bytes, with the rest of the input as its strips or tiles. Every decoder (bilevel
// with the G3 fallback, grey, palette, RGB and RGBA, libtiff's RGBA decoder) then sees pixel
// data the fuzzer controls instead of the fuzzer spending its time on directory parsing.
//
// Input: kind, compression, flags, width (2 bytes), height (2 bytes), rows per strip or tile
// width, tile length, then the data, cut into as many equal blocks as the image has strips or
// tiles. Flags: bit 0 fill order 2, bit 1 G3 two-dimensional, bit 2 horizontal predictor,
// bit 3 planes stored separately (colour only).
namespace sw::fuzz {

struct ImageKind {
    quint16 photometric;
    quint16 bitsPerSample;
    quint16 samples;
    quint16 extraSample;  // 0 none, 1 associated alpha, 2 unassociated alpha
};

inline constexpr ImageKind kKinds[] = {
    {0, 1, 1, 0}, {1, 1, 1, 0},  {3, 1, 1, 0},  {1, 2, 1, 0}, {0, 4, 1, 0}, {1, 8, 1, 0},
    {0, 8, 1, 0}, {1, 16, 1, 0}, {3, 2, 1, 0},  {3, 4, 1, 0}, {3, 8, 1, 0}, {2, 8, 3, 0},
    {2, 8, 4, 1}, {2, 8, 4, 2},  {2, 16, 3, 0}, {6, 8, 3, 0}, {5, 8, 4, 0}, {1, 8, 2, 2},
};

// None, CCITT RLE, G3, G4, LZW, JPEG, Deflate, PackBits.
inline constexpr quint16 kCompressions[] = {1, 2, 3, 4, 5, 7, 8, 32773};

inline QByteArray layoutTiff(const std::uint8_t* data, std::size_t size, bool tiled) {
    constexpr std::size_t kHeader = 9;
    if (size < kHeader) {
        return {};
    }
    const ImageKind kind = kKinds[data[0] % std::size(kKinds)];
    const quint16 compression = kCompressions[data[1] % std::size(kCompressions)];
    const std::uint8_t flags = data[2];
    const quint32 width = 1 + (data[3] | data[4] << 8) % 1024;
    const quint32 height = 1 + (data[5] | data[6] << 8) % 1024;
    const bool planar = (flags & 8) && kind.samples > 1;
    QList<test::TiffTag> tags = {
        {256, {width}},
        {257, {height}},
        {258, QList<quint32>(kind.samples, kind.bitsPerSample)},
        {259, {compression}},
        {262, {kind.photometric}},
        {266, {flags & 1 ? 2u : 1u}},
        {277, {kind.samples}},
        {284, {planar ? 2u : 1u}},
    };
    quint32 blocks = 0;
    if (tiled) {
        const quint32 tileWidth = 16 * (1 + data[7] % 16);
        const quint32 tileLength = 16 * (1 + data[8] % 16);
        tags << test::TiffTag{322, {tileWidth}} << test::TiffTag{323, {tileLength}};
        blocks = ((width + tileWidth - 1) / tileWidth) * ((height + tileLength - 1) / tileLength);
    } else {
        const quint32 rowsPerStrip = data[7] == 0 ? height : data[7];
        tags << test::TiffTag{278, {rowsPerStrip}};
        blocks = (height + rowsPerStrip - 1) / rowsPerStrip;
    }
    blocks *= planar ? kind.samples : 1;
    if (compression == 3) {
        tags << test::TiffTag{292, {flags & 2 ? 1u : 0u}};
    }
    if (flags & 4) {
        tags << test::TiffTag{317, {2}};
    }
    if (kind.extraSample != 0) {
        tags << test::TiffTag{338, {kind.extraSample}};
    }
    if (kind.photometric == 3) {
        QList<quint32> map;
        for (int channel = 0; channel < 3; ++channel) {
            for (int i = 0; i < (1 << kind.bitsPerSample); ++i) {
                map << static_cast<quint32>((i * 40503 + channel * 21845) & 0xFFFF);
            }
        }
        tags << test::TiffTag{320, map};
    }
    QList<QByteArray> pieces;
    const std::size_t payload = size - kHeader;
    for (quint32 i = 0; i < blocks; ++i) {
        const std::size_t from = kHeader + payload * i / blocks;
        const std::size_t to = kHeader + payload * (i + 1) / blocks;
        pieces << QByteArray(reinterpret_cast<const char*>(data + from),
                             static_cast<qsizetype>(to - from));
    }
    return test::buildTiff(tags, pieces);
}

// Decodes the built file (small images only: many runs per second); a decoded sheet also gets
// its reduced levels, so odd sizes reach the pyramid.
inline void decodeLayout(const std::uint8_t* data, std::size_t size, bool tiled) {
    const QByteArray file = layoutTiff(data, size, tiled);
    if (file.isEmpty()) {
        return;
    }
    imaging::DecodeOptions options;
    options.maxImageBytes = 8 << 20;
    try {
        imaging::prepareForDisplay(imaging::decodeTiff(file, options));
    } catch (const imaging::ImagingError&) {
    }
}

}  // namespace sw::fuzz
