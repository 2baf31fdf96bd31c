// Save then reload: pixels, size and resolution survive every format code and depth (the corpus
// test saves every corpus sheet too); saves replace files atomically and fail with a reason.
#include "support/test_paths.h"
#include <gtest/gtest.h>

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "imaging/imaging_error.h"
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
    Sheet s = test::randomBilevel(77, 33, 5, 30, 300);
    QImage image = s.image();
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
    EXPECT_EQ(again.dpiX(), 300);
    EXPECT_EQ(again.dpiY(), 150);
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
                                           DepthCase{"WorkingCopy_1bit", 3, 1, "Deflate", 1},
                                           DepthCase{"WorkingCopy_4bit", 3, 4, "Deflate", 1},
                                           DepthCase{"LZW_4bit", 29, 4, "LZW", 4},
                                           DepthCase{"WorkingCopy_8bit", 3, 8, "Deflate", 8},
                                           DepthCase{"LZW_8bit", 29, 8, "LZW", 8},
                                           DepthCase{"WorkingCopy_24bit", 3, 24, "Deflate", 8},
                                           DepthCase{"LZW_24bit", 29, 24, "LZW", 8},
                                           DepthCase{"WorkingCopy_32bit", 3, 32, "Deflate", 8}),
                         sw::test::byName);

// Sheets are decoded into memory that earlier sheets let go, uncleared: a blank sheet decoded into
// the buffer of an inked one (rows padded past the width) must show none of its ink.
TEST(Decode, ASheetLetGoLendsItsMemoryAndNothingElse) {
    QImage ink(4004, 2100, QImage::Format_Mono);  // 1 MB packed, 501 of 504 bytes a row used
    ink.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    ink.fill(1);
    const QByteArray inked = encodeTiff(Sheet(ink, 200, 200), kFormatCompressed, 1);
    ink.fill(0);
    const QByteArray blank = encodeTiff(Sheet(ink, 200, 200), kFormatCompressed, 1);
    const uchar* memory = nullptr;
    {
        const Sheet first = decodeTiff(inked);
        memory = first.image().constBits();
    }
    const size_t idle = PixelBuffer::idleBytes();
    EXPECT_GE(idle, size_t{504} * 2100);
    const Sheet second = decodeTiff(blank);
    EXPECT_EQ(second.image().constBits(), memory);
    EXPECT_LT(PixelBuffer::idleBytes(), idle);
    const QImage& bits = second.image();
    EXPECT_TRUE(std::all_of(bits.constBits(), bits.constBits() + bits.sizeInBytes(),
                            [](uchar b) { return b == 0; }));
}

TEST(Save, GreySheetAtOneBitIsReducedToInkAndPaper) {
    QImage grey(4, 2, QImage::Format_Grayscale8);
    grey.fill(30);
    grey.setPixel(1, 1, qRgb(220, 220, 220));
    const Sheet again = decodeTiff(encodeTiff(Sheet(grey, 100, 100), 29, 1));
    EXPECT_TRUE(again.isBilevel());
    EXPECT_TRUE(test::isInk(again, 0, 0));
    EXPECT_FALSE(test::isInk(again, 1, 1));
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
    try {
        saveTiffFile(blueSheet(), missing, 29, 1);
        FAIL();
    } catch (const ImagingError& e) {
        EXPECT_TRUE(e.message().contains(missing)) << qPrintable(e.message());
    }
}

}  // namespace
}  // namespace sw::imaging
