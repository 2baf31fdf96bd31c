// Packed-bit operations against plain per-pixel definitions, on sizes that are and are not
// multiples of 8 (row padding is where bit tricks go wrong).
#include "imaging/bit_ops.h"

#include <gtest/gtest.h>

#include "imaging/sheet_fixtures.h"

namespace sw::imaging {
namespace {

bool bit(const QImage& image, int x, int y) {
    return (image.constScanLine(y)[x >> 3] >> (7 - (x & 7))) & 1;
}

bool paddingIsClear(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = image.width(); x < image.bytesPerLine() * 8; ++x) {
            if (bit(image, x, y)) {
                return false;
            }
        }
    }
    return true;
}

// Where pixel (x, y) of a w x h image goes after `turns` clockwise quarter turns.
QPoint turnedPoint(int x, int y, int w, int h, int turns) {
    switch (turns) {
        case 1:
            return {h - 1 - y, x};
        case 2:
            return {w - 1 - x, h - 1 - y};
        case 3:
            return {y, w - 1 - x};
        default:
            return {x, y};
    }
}

class QuarterTurns : public ::testing::TestWithParam<QSize> {};

// Every pixel lands where a turn puts it, and four turns give the input back.
TEST_P(QuarterTurns, MoveEveryPixelWhereATurnPutsItAndFourComeBack) {
    const QSize size = GetParam();
    const QImage image = test::randomBilevel(size.width(), size.height(), 7, 40).image();
    for (int turns = 1; turns < 4; ++turns) {
        const QImage out = bits::rotateQuarterTurns(image, turns);
        ASSERT_EQ(out.size(), turns % 2 ? size.transposed() : size);
        EXPECT_TRUE(paddingIsClear(out));
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x) {
                const QPoint p = turnedPoint(x, y, size.width(), size.height(), turns);
                ASSERT_EQ(bit(out, p.x(), p.y()), bit(image, x, y))
                    << turns << " turns, pixel " << x << "," << y;
            }
        }
    }
    QImage out = image;
    for (int i = 0; i < 4; ++i) {
        out = bits::rotateQuarterTurns(out, 1);
    }
    EXPECT_EQ(out, image);
    EXPECT_EQ(bits::rotateQuarterTurns(bits::rotateQuarterTurns(image, 3), 1), image);
    EXPECT_EQ(out.colorTable(), image.colorTable());
}

INSTANTIATE_TEST_SUITE_P(Sizes, QuarterTurns,
                         ::testing::Values(QSize(1, 1), QSize(8, 8), QSize(7, 3), QSize(9, 17),
                                           QSize(64, 1), QSize(1, 70), QSize(33, 65),
                                           QSize(100, 37), QSize(130, 129)),
                         [](const auto& info) {
                             return std::to_string(info.param.width()) + "x" +
                                    std::to_string(info.param.height());
                         });

class Crop : public ::testing::TestWithParam<QRect> {};

TEST_P(Crop, CopiesTheRectangleBitwise) {
    const QImage image = test::randomBilevel(75, 20, 5, 50).image();
    const QRect r = GetParam();
    const QImage out = bits::cropped(image, r);
    ASSERT_EQ(out.size(), r.size());
    EXPECT_TRUE(paddingIsClear(out));
    for (int y = 0; y < r.height(); ++y) {
        for (int x = 0; x < r.width(); ++x) {
            ASSERT_EQ(bit(out, x, y), bit(image, r.x() + x, r.y() + y));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Rects, Crop,
                         ::testing::Values(QRect(0, 0, 75, 20), QRect(3, 2, 9, 5),
                                           QRect(8, 0, 16, 1), QRect(69, 19, 6, 1),
                                           QRect(13, 4, 62, 16), QRect(74, 0, 1, 20)));

// 301 pixels: the vector path and the byte-by-byte tail, and a last cell cut by the width.
TEST(Coverage, CellsCountTheirInk) {
    constexpr int kWidth = 301;
    const QImage image = test::randomBilevel(kWidth, 8, 9, 50).image();
    uchar quads[76];
    const uchar* rows[4] = {image.constScanLine(0), image.constScanLine(1), image.constScanLine(2),
                            image.constScanLine(3)};
    bits::quadCoverage(rows, kWidth, quads);
    uchar pairs[151];
    bits::pairCoverage(image.constScanLine(4), image.constScanLine(5), 0, 151, pairs);
    uchar expanded[kWidth];
    bits::expandToBytes(image.constScanLine(6), 0, kWidth, expanded);
    auto inkIn = [&](int x0, int x1, int y0, int y1) {
        int ink = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < std::min(kWidth, x1); ++x) {
                ink += bit(image, x, y);
            }
        }
        return ink;
    };
    for (int c = 0; c < 76; ++c) {
        EXPECT_NEAR(quads[c], inkIn(4 * c, 4 * c + 4, 0, 4) * 255 / 16.0, 1.0) << "cell " << c;
    }
    for (int c = 0; c < 151; ++c) {
        EXPECT_NEAR(pairs[c], inkIn(2 * c, 2 * c + 2, 4, 6) * 255 / 4.0, 1.0) << "cell " << c;
    }
    for (int x = 0; x < kWidth; ++x) {
        EXPECT_EQ(expanded[x], bit(image, x, 6) ? 255 : 0);
    }
    // Unaligned starts, and a missing second row (the last row of an odd-height sheet).
    uchar part[140];
    bits::pairCoverage(image.constScanLine(4), image.constScanLine(5), 5, 140, part);
    EXPECT_EQ(0, memcmp(part, pairs + 5, 140));
    uchar single[151];
    bits::pairCoverage(image.constScanLine(4), nullptr, 0, 151, single);
    for (int c = 0; c < 151; ++c) {
        EXPECT_NEAR(single[c], inkIn(2 * c, 2 * c + 2, 4, 5) * 255 / 4.0, 1.0) << "cell " << c;
    }
    bits::expandToBytes(image.constScanLine(6), 3, 11, part);
    EXPECT_EQ(0, memcmp(part, expanded + 3, 11));
}

}  // namespace
}  // namespace sw::imaging
