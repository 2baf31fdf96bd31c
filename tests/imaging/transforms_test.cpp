// Sheet transforms: exact quarter turns with resolutions, free angles with fill, resampling that
// keeps thin lines, crop, and the two-colour reduction of print in blue. Bilevel turns and crops
// work on packed bits: sizes that are not multiples of 8 are where bit tricks go wrong.
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

struct TurnCase {
    int hundredths;
    QSize size;
};

void PrintTo(const TurnCase& c, std::ostream* os) {
    *os << c.hundredths << " hundredths of " << c.size.width() << "x" << c.size.height();
}

class QuarterTurns : public ::testing::TestWithParam<TurnCase> {};

// Every pixel lands where the turn puts it, odd turns swap size and resolution, and the opposite
// angle turns the sheet back.
TEST_P(QuarterTurns, MoveEveryPixelSwapResolutionsOnOddTurnsAndTurnBack) {
    const auto [hundredths, size] = GetParam();
    const Sheet sheet(test::randomBilevel(size.width(), size.height(), 7, 40).image(), 204, 98);
    const Sheet out = rotated(sheet, hundredths, 0);
    const int turns = (hundredths / 9000 % 4 + 4) % 4;
    ASSERT_EQ(out.size(), turns % 2 ? size.transposed() : size);
    EXPECT_EQ(std::pair(out.dpiX(), out.dpiY()),
              turns % 2 ? std::pair(98., 204.) : std::pair(204., 98.));
    ASSERT_TRUE(out.isBilevel());
    const QImage qtTurned = sheet.image().transformed(QTransform().rotate(90 * turns));
    EXPECT_EQ(out.image().convertToFormat(QImage::Format_RGB32),
              qtTurned.convertToFormat(QImage::Format_RGB32));
    EXPECT_TRUE(test::samePixels(rotated(out, -hundredths, 0), sheet));
}

INSTANTIATE_TEST_SUITE_P(Angles, QuarterTurns,
                         ::testing::Values(TurnCase{9000, {7, 3}}, TurnCase{-9000, {9, 17}},
                                           TurnCase{18000, {33, 65}}, TurnCase{27000, {130, 129}},
                                           TurnCase{0, {64, 1}}, TurnCase{-45000, {100, 37}}));

// The corners a free angle uncovers take the fill: on a bilevel sheet whichever of ink and paper
// is nearer, on a grey one the colour itself.
TEST(Rotate, FreeAngleGrowsToTheBoundingBoxAndFillsTheCorners) {
    const Sheet white = test::inkSheet(100, 50);
    const Sheet out = rotated(white, 4500, qRgb(10, 10, 10));
    EXPECT_NEAR(out.width(), (100 + 50) / std::sqrt(2.0), 1.0);
    EXPECT_TRUE(test::isInk(out, 0, 0));
    EXPECT_FALSE(test::isInk(out, out.width() / 2, out.height() / 2));
    EXPECT_FALSE(test::isInk(rotated(white, 3000, qRgb(240, 240, 250)), 0, 0));
    QImage grey(60, 60, QImage::Format_Grayscale8);
    grey.fill(200);
    const Sheet greyOut = rotated(Sheet(grey, 100, 100), 4500, qRgb(0, 0, 255));
    EXPECT_EQ(greyOut.image().pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(qGray(greyOut.image().pixel(greyOut.width() / 2, greyOut.height() / 2)), 200);
}

class Resample : public ::testing::TestWithParam<int> {};

// Halving (or more) a drawing of one-pixel lines must not lose a line, nor ink the paper between.
TEST_P(Resample, ShrinkingKeepsOnePixelLines) {
    const int factor = GetParam();
    const Sheet out =
        resampled(test::gridSheet(96 * factor, 48 * factor, 4 * factor, 1), 96, 48, false);
    ASSERT_TRUE(out.isBilevel());
    ASSERT_EQ(out.size(), QSize(96, 48));
    for (int line = 0; line < 24; ++line) {
        EXPECT_TRUE(test::isInk(out, (line * 4 * factor + 1) / factor, 2)) << "line " << line;
    }
    EXPECT_FALSE(test::isInk(out, 2, 2));
}

INSTANTIATE_TEST_SUITE_P(Factors, Resample, ::testing::Values(2, 3, 5, 8));

TEST(Resample, EnlargingRepeatsPixelsAndKeepsTheResolutionUnlessThePhysicalSizeIsAsked) {
    const Sheet sheet = test::randomBilevel(30, 20, 6, 50, 300);
    const Sheet big = resampled(sheet, 90, 60, false);
    EXPECT_EQ(big.dpiX(), 300);
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 90; ++x) {
            ASSERT_EQ(test::isInk(big, x, y), test::isInk(sheet, x / 3, y / 3));
        }
    }
    const Sheet physical = resampled(sheet, 90, 60, true);
    EXPECT_EQ(physical.dpiX(), 900);
    EXPECT_DOUBLE_EQ(physical.widthInches(), sheet.widthInches());
    EXPECT_THROW(resampled(sheet, 0, 5, false), ImagingError);
}

class Crop : public ::testing::TestWithParam<QRectF> {};

// A crop takes the whole pixels nearest the rectangle, clamped to the sheet, bit for bit.
TEST_P(Crop, CopiesTheRectangleClampedToTheSheetOrRefusesOneOutside) {
    const Sheet sheet = test::randomBilevel(75, 20, 5, 50);
    const QRect area = GetParam().toRect().intersected(QRect(0, 0, 75, 20));
    if (area.isEmpty()) {
        EXPECT_THROW(cropped(sheet, GetParam()), ImagingError);
        return;
    }
    const Sheet part = cropped(sheet, GetParam());
    ASSERT_EQ(part.size(), area.size());
    for (int y = 0; y < area.height(); ++y) {
        for (int x = 0; x < area.width(); ++x) {
            ASSERT_EQ(test::isInk(part, x, y), test::isInk(sheet, area.x() + x, area.y() + y));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Rects, Crop,
                         ::testing::Values(QRectF(3, 2, 9, 5), QRectF(69, 19, 6, 1),
                                           QRectF(13, 4, 62, 16), QRectF(40.4, 10, 100, 100),
                                           QRectF(80, 0, 10, 10)));

// Print in blue: a grey sheet splits at mid-grey without dithering; a bilevel one keeps its ink,
// and reducing it twice (the blue batch does) changes nothing more.
TEST(Reduce, GreySplitsAtMidGreyAndBilevelKeepsItsInkOnceReduced) {
    const QRgb blue = qRgb(0, 0, 255);
    const QRgb white = qRgb(255, 255, 255);
    QImage grey(4, 1, QImage::Format_Grayscale8);
    const uchar values[4] = {0, 127, 128, 255};
    memcpy(grey.scanLine(0), values, 4);
    const Sheet out = reducedToBilevel(Sheet(grey, 300, 300), blue, white);
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(out.image().pixel(x, 0), x < 2 ? blue : white) << x;
    }
    EXPECT_EQ(out.dpiX(), 300);
    const Sheet sheet = test::randomBilevel(40, 30, 2);
    const Sheet once = reducedToBilevel(sheet, blue, white);
    EXPECT_TRUE(test::samePixels(once, reducedToBilevel(once, blue, white)));
    EXPECT_EQ(bits::countInk(once.image()), bits::countInk(sheet.image()));
    EXPECT_EQ(once.inkColour(), blue);
}

TEST(Sheet, MonoImageIsNormalisedToPaperAtIndexZero) {
    QImage image(10, 1, QImage::Format_Mono);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});  // Qt's default order
    image.fill(1);                                              // all white
    image.setPixel(3, 0, 0);                                    // one black pixel
    const Sheet sheet(image, 0, -5);
    EXPECT_EQ(sheet.paperColour(), qRgb(255, 255, 255));
    EXPECT_TRUE(test::isInk(sheet, 3, 0));
    EXPECT_EQ(std::pair(sheet.dpiX(), sheet.dpiY()),
              std::pair(Sheet::kDefaultDpi, Sheet::kDefaultDpi));
}

// Every transform carries the sheet's source along: the centre of an ink blob, mapped from the
// source, lands on the blob in each result, and the saved file brings the source back.
TEST(SheetSource, FollowsTurnsResamplesAndCropsIntoTheSavedFile) {
    Sheet sheet = test::inkSheet(300, 200, QRect(60, 40, 5, 5), 200, 100);
    const std::function<Sheet(const Sheet&)> steps[] = {
        [](const Sheet& s) { return rotated(s, 9000, qRgb(255, 255, 255)); },
        [](const Sheet& s) { return rotated(s, -3000, qRgb(255, 255, 255)); },
        [](const Sheet& s) { return resampled(s, s.width() / 2, s.height() / 2, false); },
        [](const Sheet& s) { return cropped(s, QRectF(10, 10, s.width() - 30, s.height() - 20)); },
        [](const Sheet& s) { return decodeTiff(encodeTiff(s, kFormatCompressed, 1)); },
    };
    for (const auto& step : steps) {
        sheet = step(sheet);
        const QPointF at = sheet.source().toImage.map(QPointF(62.5, 42.5));
        EXPECT_TRUE(test::isInk(sheet, static_cast<int>(at.x()), static_cast<int>(at.y())))
            << at.x() << "," << at.y() << " on " << sheet.width() << "x" << sheet.height();
        EXPECT_EQ(sheet.source().size, QSize(300, 200));
        EXPECT_EQ(sheet.source().dpiY, 100);
    }
    EXPECT_FALSE(Sheet::Source::fromText("sheetwise-source 300 200 200 100 0 0 0 0 1 1"));
}

}  // namespace
}  // namespace sw::imaging
