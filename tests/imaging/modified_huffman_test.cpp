// The G3 one-dimensional fallback decoder against libtiff's own encoder, and every seed of the
// fuzz corpus (our own small files in many encodings) decoding to the picture it was made from.
#include "imaging/modified_huffman.h"

#include "support/test_paths.h"
#include <gtest/gtest.h>
#include <tiffio.h>

#include <QDir>
#include <QTemporaryDir>

#include "imaging/sheet_fixtures.h"
#include "imaging/tiff_reader.h"

namespace sw::imaging {
namespace {

// The sheet's rows encoded by libtiff as one G3 1-D strip (with end-of-line codes).
QByteArray libtiffG3Strip(const Sheet& sheet, bool reversed) {
    QTemporaryDir dir;
    const QByteArray path = dir.filePath(QStringLiteral("g3.tif")).toLocal8Bit();
    TIFF* out = TIFFOpen(path.constData(), "w");
    TIFFSetField(out, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(sheet.width()));
    TIFFSetField(out, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(sheet.height()));
    TIFFSetField(out, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(out, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(out, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(out, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX3);
    TIFFSetField(out, TIFFTAG_GROUP3OPTIONS, 0);
    TIFFSetField(out, TIFFTAG_FILLORDER, reversed ? FILLORDER_LSB2MSB : FILLORDER_MSB2LSB);
    TIFFSetField(out, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(sheet.height()));
    for (int y = 0; y < sheet.height(); ++y) {
        TIFFWriteScanline(out, const_cast<uchar*>(sheet.image().constScanLine(y)), y, 0);
    }
    TIFFClose(out);
    TIFF* in = TIFFOpen(path.constData(), "r");
    QByteArray raw(static_cast<qsizetype>(TIFFRawStripSize(in, 0)), '\0');
    TIFFReadRawStrip(in, 0, raw.data(), raw.size());
    TIFFClose(in);
    return raw;
}

// Long runs need chained make-up codes (beyond 2560), short ones the terminating codes.
Sheet runsSheet() {
    QImage image(6000, 6, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    image.fill(0);
    const int runs[6][4] = {{0, 1, 2, 3},        {5000, 5999, 0, 0}, {1, 2700, 2700, 2763},
                            {63, 64, 127, 5937}, {1728, 3456, 0, 0}, {0, 6000, 0, 0}};
    for (int y = 0; y < 6; ++y) {
        for (int k = 0; k < 4; k += 2) {
            for (int x = runs[y][k]; x < runs[y][k + 1]; ++x) {
                image.setPixel(x, y, 1);
            }
        }
    }
    return Sheet(image, 200, 200);
}

struct StripCase {
    const char* name;
    bool fromCorpus;
    bool reversed;
};

using sw::test::PrintTo;

class OneDimensional : public ::testing::TestWithParam<StripCase> {};

TEST_P(OneDimensional, DecodesWhatLibtiffEncodes) {
    const StripCase c = GetParam();
    const Sheet sheet =
        c.fromCorpus
            ? readTiffFile(test::dataPath(QStringLiteral("corpus/drawings_bilevel/CCITT_2.TIF")))
            : runsSheet();
    QImage out(sheet.width(), sheet.height(), QImage::Format_Mono);
    out.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    ASSERT_TRUE(decodeModifiedHuffman(libtiffG3Strip(sheet, c.reversed), c.reversed, sheet.width(),
                                      0, sheet.height(), out));
    EXPECT_TRUE(test::samePixels(Sheet(out, 200, 200), Sheet(sheet.image(), 200, 200)));
}

INSTANTIATE_TEST_SUITE_P(Strips, OneDimensional,
                         ::testing::Values(StripCase{"Drawing", true, false},
                                           StripCase{"DrawingReversedBits", true, true},
                                           StripCase{"LongAndShortRuns", false, false}),
                         sw::test::byName);

TEST(OneDimensional, GarbageAndShortDataAreRefused) {
    QImage out(100, 2, QImage::Format_Mono);
    EXPECT_FALSE(decodeModifiedHuffman(QByteArray(40, '\0'), false, 100, 0, 2, out));
    EXPECT_FALSE(decodeModifiedHuffman(QByteArray("\x35"), false, 100, 0, 2, out));
    EXPECT_FALSE(decodeModifiedHuffman(QByteArray(), false, 100, 0, 1, out));
}

class FuzzSeeds : public ::testing::TestWithParam<QString> {};

// The seeds are one 45 x 29 drawing at 150 x 75 dpi in many encodings.
TEST_P(FuzzSeeds, DecodeToTheSameDrawing) {
    const Sheet sheet = readTiffFile(GetParam());
    EXPECT_EQ(sheet.size(), QSize(45, 29));
    EXPECT_EQ(sheet.dpiX(), 150);
    EXPECT_EQ(sheet.dpiY(), 75);
    EXPECT_LT(qGray(sheet.image().pixel(2, 10)), 128);  // the frame's left edge
    EXPECT_GT(qGray(sheet.image().pixel(6, 20)), 128);  // paper inside
}

QStringList seeds() {
    const QDir dir(QStringLiteral(SW_TEST_DATA_DIR "/../fuzz/seeds/tiff_decode"));
    QStringList files;
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
        files << dir.filePath(name);
    }
    return files;
}

INSTANTIATE_TEST_SUITE_P(Corpus, FuzzSeeds, ::testing::ValuesIn(seeds()),
                         [](const auto& info) { return test::caseName(info.param).toStdString(); });

}  // namespace
}  // namespace sw::imaging
