// floor_thumbnail: the least a program can do to show a fitted 1-bit G4 sheet, the floor the
// whole-process figures of `sheetwise render` are compared with. libtiff decodes every strip
// into one buffer of packed bits, then one 8:1 box reduction turns each 8 x 8 block into a grey
// level (its share of ink), written as a binary PGM. Nothing else: no Qt, no pyramid, no
// colour, no scaling to an exact width.
//
//   floor_thumbnail SHEET.tif OUT.pgm
#include <tiffio.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: floor_thumbnail SHEET.tif OUT.pgm\n", stderr);
        return 2;
    }
    TIFF* tif = TIFFOpen(argv[1], "r");
    if (!tif) {
        return 1;
    }
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t bps = 1;
    uint16_t photometric = PHOTOMETRIC_MINISWHITE;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bps);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PHOTOMETRIC, &photometric);
    if (bps != 1 || TIFFIsTiled(tif)) {
        std::fputs("floor_thumbnail: only 1-bit sheets in strips\n", stderr);
        return 1;
    }
    const size_t rowBytes = (width + 7) / 8;
    const tmsize_t stripSize = TIFFStripSize(tif);
    const uint32_t strips = TIFFNumberOfStrips(tif);
    std::unique_ptr<unsigned char[]> bits(new unsigned char[stripSize * strips]);
    tmsize_t offset = 0;
    for (uint32_t s = 0; s < strips; ++s) {
        const tmsize_t got = TIFFReadEncodedStrip(tif, s, bits.get() + offset, -1);
        if (got < 0) {
            return 1;
        }
        offset += got;
    }
    TIFFClose(tif);

    // Ink pixels per byte: bit 1 in a min-is-white sheet, bit 0 otherwise. Grey 255 is paper.
    const unsigned flip = photometric == PHOTOMETRIC_MINISWHITE ? 0x00 : 0xFF;
    unsigned char inkOf[256];
    for (unsigned b = 0; b < 256; ++b) {
        inkOf[b] = static_cast<unsigned char>(__builtin_popcount(b ^ flip));
    }
    const size_t outW = rowBytes;
    const size_t outH = (height + 7) / 8;
    std::vector<unsigned char> grey(outW * outH);
    for (size_t oy = 0; oy < outH; ++oy) {
        const size_t y0 = oy * 8;
        const size_t rows = std::min<size_t>(8, height - y0);
        std::vector<unsigned> ink(outW, 0);
        for (size_t r = 0; r < rows; ++r) {
            const unsigned char* row = bits.get() + (y0 + r) * rowBytes;
            for (size_t ox = 0; ox < outW; ++ox) {
                ink[ox] += inkOf[row[ox]];
            }
        }
        for (size_t ox = 0; ox < outW; ++ox) {
            grey[oy * outW + ox] = static_cast<unsigned char>(255 - (ink[ox] * 255 + 32) / 64);
        }
    }

    FILE* out = std::fopen(argv[2], "wb");
    if (!out) {
        return 1;
    }
    std::fprintf(out, "P5\n%zu %zu\n255\n", outW, outH);
    const bool ok = std::fwrite(grey.data(), 1, grey.size(), out) == grey.size();
    return std::fclose(out) == 0 && ok ? 0 : 1;
}
