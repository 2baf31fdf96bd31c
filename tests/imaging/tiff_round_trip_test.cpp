// Encoders against decoders. Save then reload: pixels, size and resolution survive every format
// code and depth (the corpus test saves every corpus sheet too); saves replace files atomically
// and fail with a reason. The G3 one-dimensional fallback decoder against libtiff's own encoder,
// and every seed of the fuzz corpus (our own small files in many encodings) decoding to the
// picture it was made from.
#include "support/test_paths.h"
#include <gtest/gtest.h>
#include <tiffio.h>

#include <algorithm>

#include <QDir>
#include <QTemporaryDir>

#include "imaging/imaging_error.h"
#include "imaging/modified_huffman.h"
#include "imaging/pixel_buffer.h"
#include "imaging/sheet_fixtures.h"
#include "imaging/tiff_reader.h"
#include "imaging/tiff_writer.h"

namespace sw::imaging {
namespace {

struct DepthCase {
    const char* name;
    int formatCode;
    int bitsPerPixel;
    const char* compression;
    int bitsPerSample;  // in the file
};

using sw::test::PrintTo;

Sheet blueSheet() {
    QImage image = test::randomBilevel(77, 33, 5, 30).image();
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 255)});
    return Sheet(image, 300, 150);
}

class Depths : public ::testing::TestWithParam<DepthCase> {};

// Every depth reproduces the colours of a print-in-blue sheet; 1 and 4 bits come back as the same
// packed bilevel sheet (the blue batch's temporary files are format 3 at 4 bits, which keeps such
// a sheet at one bit per pixel).
TEST_P(Depths, ColoursSurviveAndBilevelStaysPacked) {
    const DepthCase c = GetParam();
    const Sheet sheet = blueSheet();
    const QByteArray bytes = encodeTiff(sheet, c.formatCode, c.bitsPerPixel);
    const Sheet again = decodeTiff(bytes);
    EXPECT_EQ(readTiffFacts(bytes).compression, QString::fromLatin1(c.compression));
    EXPECT_EQ(readTiffFacts(bytes).bitsPerSample, c.bitsPerSample);
    ASSERT_EQ(again.size(), sheet.size());
    EXPECT_EQ(std::pair(again.dpiX(), again.dpiY()), std::pair(300., 150.));
    if (c.bitsPerPixel <= 4) {
        EXPECT_TRUE(test::samePixels(again, sheet));
        return;
    }
    for (int y = 0; y < sheet.height(); ++y) {
        for (int x = 0; x < sheet.width(); ++x) {
            const QRgb want = sheet.image().pixel(x, y);
            const int grey = qGray(want);
            ASSERT_EQ(again.image().pixel(x, y) | 0xFF000000u,
                      c.bitsPerPixel == 8 ? qRgb(grey, grey, grey) : want);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, Depths,
                         ::testing::Values(DepthCase{"G4_1bit", 29, 1, "CCITT Group 4", 1},
                                           DepthCase{"WorkingCopy_4bit", 3, 4, "Deflate", 1},
                                           DepthCase{"LZW_4bit", 29, 4, "LZW", 4},
                                           DepthCase{"WorkingCopy_8bit", 3, 8, "Deflate", 8},
                                           DepthCase{"WorkingCopy_24bit", 3, 24, "Deflate", 8},
                                           DepthCase{"WorkingCopy_32bit", 3, 32, "Deflate", 8}),
                         sw::test::byName);

// Sheets are decoded into memory that earlier sheets let go, uncleared: a blank sheet decoded into
// the buffer of an inked one (rows padded past the width) must show none of its ink.
TEST(Decode, ASheetLetGoLendsItsMemoryAndNothingElse) {
    // 1 MB packed, 501 of 504 bytes a row used.
    const QByteArray inked = encodeTiff(test::inkSheet(4004, 2100, {0, 0, 4004, 2100}), 29, 1);
    const QByteArray blank = encodeTiff(test::inkSheet(4004, 2100), 29, 1);
    const uchar* memory = decodeTiff(inked).image().constBits();  // let go at once
    const size_t idle = PixelBuffer::idleBytes();
    EXPECT_GE(idle, size_t{504} * 2100);
    const Sheet second = decodeTiff(blank);
    EXPECT_EQ(second.image().constBits(), memory);
    EXPECT_LT(PixelBuffer::idleBytes(), idle);
    const QImage& bits = second.image();
    EXPECT_TRUE(std::all_of(bits.constBits(), bits.constBits() + bits.sizeInBytes(),
                            [](uchar b) { return b == 0; }));
}

// A failed save leaves the previous file as it was and no temporary file behind: an unknown format
// code or depth, or no sheet; a missing folder is named.
TEST(Save, FailedSaveKeepsThePreviousFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sheet.tif"));
    saveTiffFile(blueSheet(), path, 29, 1);
    const QByteArray old = test::readFile(path);
    EXPECT_THROW(saveTiffFile(blueSheet(), path, 7, 1), ImagingError);
    EXPECT_THROW(saveTiffFile(blueSheet(), path, 3, 7), ImagingError);
    EXPECT_THROW(saveTiffFile(Sheet(), path, 29, 1), ImagingError);
    EXPECT_EQ(test::readFile(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("sheet.tif")});
    const QString missing = dir.filePath(QStringLiteral("no/such/folder/sheet.tif"));
    EXPECT_TRUE(
        test::errorOf([&] { saveTiffFile(blueSheet(), missing, 29, 1); }).contains(missing));
}

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

struct StripCase {
    const char* name;
    bool fromCorpus;
    bool reversed;
};

class OneDimensional : public ::testing::TestWithParam<StripCase> {};

TEST_P(OneDimensional, DecodesWhatLibtiffEncodes) {
    const StripCase c = GetParam();
    // The grid's rows hold white runs of 64, 2624 and 685 between one-pixel black ones, and one
    // all black run of 6000: make-up codes alone, chained beyond 2560, and with terminating codes.
    const Sheet sheet = c.fromCorpus ? readTiffFile(test::corpus("drawings_bilevel/CCITT_2.TIF"))
                                     : test::gridSheet(6000, 70, 2625, 64);
    QImage out = test::inkSheet(sheet.width(), sheet.height()).image();
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

INSTANTIATE_TEST_SUITE_P(Corpus, FuzzSeeds,
                         ::testing::ValuesIn(test::filesIn(SW_TEST_DATA_DIR
                                                           "/../fuzz/seeds/tiff_decode")),
                         [](const auto& info) { return test::caseName(info.param).toStdString(); });

}  // namespace
}  // namespace sw::imaging
