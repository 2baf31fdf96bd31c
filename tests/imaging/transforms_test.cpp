// Sheet transforms: exact quarter turns with resolutions, free angles with fill, resampling that
// keeps thin lines, crop, and the two-colour reduction of print in blue.
#include "imaging/transforms.h"

#include <gtest/gtest.h>

#include <functional>

#include "imaging/bit_ops.h"
#include "imaging/imaging_error.h"
#include "imaging/sheet_fixtures.h"
#include "imaging/tiff_reader.h"
#include "imaging/tiff_writer.h"

namespace sw::imaging {
namespace {

Sheet withDpi(const Sheet& s, double x, double y) {
    return Sheet(s.image(), x, y);
}

struct TurnCase {
    int hundredths;
    bool swaps;
};

void PrintTo(const TurnCase& c, std::ostream* os) {
    *os << c.hundredths << " hundredths";
}

class QuarterTurnAngles : public ::testing::TestWithParam<TurnCase> {};

// Odd turns swap size and resolution; the opposite angle turns the sheet back.
TEST_P(QuarterTurnAngles, SwapSizeAndResolutionOnOddTurnsAndTurnBack) {
    const Sheet sheet = withDpi(test::randomBilevel(90, 40, 1), 204, 98);
    const Sheet out = rotated(sheet, GetParam().hundredths, 0);
    EXPECT_EQ(out.size(), GetParam().swaps ? QSize(40, 90) : QSize(90, 40));
    EXPECT_EQ(out.dpiX(), GetParam().swaps ? 98 : 204);
    EXPECT_EQ(out.dpiY(), GetParam().swaps ? 204 : 98);
    EXPECT_TRUE(out.isBilevel());
    EXPECT_TRUE(test::samePixels(rotated(out, -GetParam().hundredths, 0), sheet));
}

INSTANTIATE_TEST_SUITE_P(Angles, QuarterTurnAngles,
                         ::testing::Values(TurnCase{9000, true}, TurnCase{-9000, true},
                                           TurnCase{18000, false}, TurnCase{27000, true},
                                           TurnCase{36000, false}, TurnCase{0, false},
                                           TurnCase{-45000, true}));

TEST(Rotate, FreeAngleGrowsToTheBoundingBoxAndFillsTheCorners) {
    QImage white(100, 50, QImage::Format_Mono);
    white.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    white.fill(0);
    const Sheet sheet(white, 200, 200);
    const Sheet out = rotated(sheet, 4500, qRgb(10, 10, 10));
    EXPECT_NEAR(out.width(), (100 + 50) / std::sqrt(2.0), 1.0);
    EXPECT_NEAR(out.height(), (100 + 50) / std::sqrt(2.0), 1.0);
    EXPECT_TRUE(test::isInk(out, 0, 0));                                // corner: dark fill
    EXPECT_FALSE(test::isInk(out, out.width() / 2, out.height() / 2));  // the sheet: paper
    const Sheet light = rotated(sheet, 3000, qRgb(240, 240, 250));
    EXPECT_FALSE(test::isInk(light, 0, 0));
    QImage grey(60, 60, QImage::Format_Grayscale8);
    grey.fill(200);
    const Sheet greyOut = rotated(Sheet(grey, 100, 100), 4500, qRgb(0, 0, 255));
    EXPECT_EQ(greyOut.image().pixel(0, 0), qRgb(0, 0, 255)) << "a grey sheet takes the colour";
    EXPECT_EQ(qGray(greyOut.image().pixel(greyOut.width() / 2, greyOut.height() / 2)), 200);
}

class Resample : public ::testing::TestWithParam<int> {};

// Halving (or more) a drawing of one-pixel lines must not lose a line.
TEST_P(Resample, ShrinkingKeepsOnePixelLines) {
    const int factor = GetParam();
    const Sheet grid = test::gridSheet(96 * factor, 48 * factor, 4 * factor, 1);
    const Sheet out = resampled(grid, 96, 48, false);
    ASSERT_TRUE(out.isBilevel());
    ASSERT_EQ(out.size(), QSize(96, 48));
    for (int line = 0; line < 24; ++line) {
        const int x = (line * 4 * factor + 1) / factor;
        EXPECT_TRUE(test::isInk(out, x, 2)) << "vertical line " << line;
    }
    // Between the lines the paper stays paper.
    EXPECT_FALSE(test::isInk(out, 2, 2));
}

INSTANTIATE_TEST_SUITE_P(Factors, Resample, ::testing::Values(2, 3, 5, 8));

TEST(Resample, ResolutionIsKeptUnlessThePhysicalSizeIsAsked) {
    const Sheet sheet = test::randomBilevel(400, 200, 3, 20, 400);
    const Sheet kept = resampled(sheet, 200, 100, false);
    EXPECT_EQ(kept.dpiX(), 400);
    const Sheet physical = resampled(sheet, 200, 100, true);
    EXPECT_EQ(physical.dpiX(), 200);
    EXPECT_DOUBLE_EQ(physical.widthInches(), sheet.widthInches());
}

TEST(Resample, EnlargingRepeatsPixels) {
    const Sheet sheet = test::randomBilevel(30, 20, 6, 50);
    const Sheet big = resampled(sheet, 90, 60, false);
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 90; ++x) {
            ASSERT_EQ(test::isInk(big, x, y), test::isInk(sheet, x / 3, y / 3));
        }
    }
}

TEST(Resample, ZeroSizeIsRefused) {
    EXPECT_THROW(resampled(test::randomBilevel(10, 10, 1), 0, 5, false), ImagingError);
}

TEST(Crop, ClampsToTheSheetAndRefusesAnOutsideRectangle) {
    const Sheet sheet = test::randomBilevel(50, 40, 8);
    const Sheet part = cropped(sheet, QRectF(40.4, 30, 100, 100));
    EXPECT_EQ(part.size(), QSize(10, 10));
    EXPECT_EQ(test::isInk(part, 3, 4), test::isInk(sheet, 43, 34));
    EXPECT_THROW(cropped(sheet, QRectF(60, 0, 10, 10)), ImagingError);
}

TEST(Reduce, GreyBecomesTwoColoursWithoutDithering) {
    QImage grey(4, 1, QImage::Format_Grayscale8);
    const uchar values[4] = {0, 127, 128, 255};
    memcpy(grey.scanLine(0), values, 4);
    const Sheet out = reducedToBilevel(Sheet(grey, 300, 300), qRgb(0, 0, 255), qRgb(255, 255, 255));
    EXPECT_EQ(out.image().pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(out.image().pixel(1, 0), qRgb(0, 0, 255));
    EXPECT_EQ(out.image().pixel(2, 0), qRgb(255, 255, 255));
    EXPECT_EQ(out.image().pixel(3, 0), qRgb(255, 255, 255));
    EXPECT_EQ(out.dpiX(), 300);
}

// Reducing twice (the blue batch does) changes nothing more.
TEST(Reduce, BilevelKeepsItsInkAndIsIdempotent) {
    const Sheet sheet = test::randomBilevel(40, 30, 2);
    const Sheet blue = reducedToBilevel(sheet, qRgb(0, 0, 255), qRgb(255, 255, 255));
    const Sheet twice = reducedToBilevel(blue, qRgb(0, 0, 255), qRgb(255, 255, 255));
    EXPECT_TRUE(test::samePixels(blue, twice));
    EXPECT_EQ(bits::countInk(blue.image()), bits::countInk(sheet.image()));
    EXPECT_EQ(blue.inkColour(), qRgb(0, 0, 255));
}

TEST(Sheet, MonoImageIsNormalisedToPaperAtIndexZero) {
    QImage image(10, 1, QImage::Format_Mono);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});  // Qt's default order
    image.fill(1);                                              // all white
    image.setPixel(3, 0, 0);                                    // one black pixel
    const Sheet sheet(image, 0, -5);
    EXPECT_EQ(sheet.paperColour(), qRgb(255, 255, 255));
    EXPECT_EQ(bits::countInk(sheet.image()), 1);
    EXPECT_TRUE(test::isInk(sheet, 3, 0));
    EXPECT_EQ(sheet.dpiX(), Sheet::kDefaultDpi);
    EXPECT_EQ(sheet.dpiY(), Sheet::kDefaultDpi);
}

// Every transform carries the sheet's source along: the centre of an ink blob, mapped from the
// source, lands on the blob in each result, and the saved file brings the source back.
TEST(SheetSource, FollowsTurnsResamplesAndCropsIntoTheSavedFile) {
    QImage image(300, 200, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    image.fill(0);
    for (int y = 40; y < 45; ++y) {
        for (int x = 60; x < 65; ++x) {
            image.setPixel(x, y, 1);
        }
    }
    Sheet sheet(image, 200, 100);
    const QPointF blob(62.5, 42.5);
    const std::function<Sheet(const Sheet&)> steps[] = {
        [](const Sheet& s) { return rotated(s, 9000, qRgb(255, 255, 255)); },
        [](const Sheet& s) { return rotated(s, -3000, qRgb(255, 255, 255)); },
        [](const Sheet& s) { return resampled(s, s.width() / 2, s.height() / 2, false); },
        [](const Sheet& s) { return cropped(s, QRectF(10, 10, s.width() - 30, s.height() - 20)); },
        [](const Sheet& s) { return decodeTiff(encodeTiff(s, kFormatCompressed, 1)); },
    };
    for (const auto& step : steps) {
        sheet = step(sheet);
        const QPointF at = sheet.source().toImage.map(blob);
        EXPECT_TRUE(test::isInk(sheet, static_cast<int>(at.x()), static_cast<int>(at.y())))
            << at.x() << "," << at.y() << " on " << sheet.width() << "x" << sheet.height();
        EXPECT_EQ(sheet.source().size, QSize(300, 200));
        EXPECT_EQ(sheet.source().dpiY, 100);
    }
    EXPECT_FALSE(Sheet::Source::fromText("sheetwise-source 300 200 200 100 0 0 0 0 1 1"));
}

}  // namespace
}  // namespace sw::imaging
