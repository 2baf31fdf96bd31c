// The drawing path: reduced views are true area averages (checked against a brute-force average
// of the pixels, down to the packed-bit cells they are made of), thin lines survive the fitted
// view, close views show the pixels themselves.
#include "support/test_paths.h"
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "imaging/bit_ops.h"
#include "imaging/pyramid.h"
#include "imaging/sheet_fixtures.h"
#include "imaging/sheet_renderer.h"
#include "imaging/tiff_reader.h"
#include "imaging/view_geometry.h"

namespace sw::imaging {
namespace {

constexpr QRgb kGrey = qRgb(128, 128, 128);

struct ScaleCase {
    double scale;     // sheet pixels per output pixel
    QPointF offset;   // display rectangle's top-left
    double maxError;  // largest difference from the true average allowed, 0..255
};

void PrintTo(const ScaleCase& c, std::ostream* os) {
    *os << "scale " << c.scale;
}

class Coverage : public ::testing::TestWithParam<ScaleCase> {};

// Ink coverage of every output pixel is the area-weighted ink of the sheet pixels under it. Views
// drawn from a pyramid level are exact where output pixels fall on the level's cells; elsewhere a
// cell cut by a pixel edge is shared out by area, so single pixels may differ on this worst-case
// noise sheet, but the ink as a whole is conserved and the mean error stays small.
TEST_P(Coverage, MatchesTheAreaAverageOfTheSheetPixels) {
    const Sheet sheet = test::randomBilevel(512, 384, 21, 35);
    const ScaleCase c = GetParam();
    const double s = c.scale;
    const QRectF display(c.offset, QSizeF(512 / s, 384 / s));
    double sumRendered = 0;
    double sumExpected = 0;
    double sumError = 0;
    int checked = 0;
    sampleSheet(sheet, display, QRect(0, 0, 40, 30), [&](const RowSpan& span) {
        for (int x = span.x0; x < span.x1; ++x) {
            const double a0 = (x - display.left()) * s;
            const double b0 = (span.y - display.top()) * s;
            if (a0 < 0 || b0 < 0 || a0 + s > 512 || b0 + s > 384) {
                continue;  // pixels over the sheet's edge are normalised differently
            }
            double ink = 0;
            for (int v = static_cast<int>(b0); v < std::ceil(b0 + s); ++v) {
                const double h = std::min(v + 1.0, b0 + s) - std::max<double>(v, b0);
                for (int u = static_cast<int>(a0); u < std::ceil(a0 + s); ++u) {
                    const double w = std::min(u + 1.0, a0 + s) - std::max<double>(u, a0);
                    ink += w * h * test::isInk(sheet, u, v);
                }
            }
            const double expected = 255.0 * ink / (s * s);
            const double rendered = span.values[x - span.x0];
            EXPECT_NEAR(rendered, expected, c.maxError) << "pixel " << x << "," << span.y;
            sumRendered += rendered;
            sumExpected += expected;
            sumError += std::abs(rendered - expected);
            ++checked;
        }
    });
    ASSERT_GT(checked, 100);
    EXPECT_NEAR(sumRendered / sumExpected, 1.0, 0.01);
    EXPECT_LT(sumError / checked, c.maxError / 4);
}

INSTANTIATE_TEST_SUITE_P(
    Scales, Coverage,
    ::testing::Values(ScaleCase{1.5, {-3.25, -7.5}, 2.0}, ScaleCase{2.0, {0, 0}, 2.0},
                      ScaleCase{4.0, {0, 0}, 2.0}, ScaleCase{8.0, {0, 0}, 2.0},
                      ScaleCase{16.0, {-1, -2}, 2.0}, ScaleCase{3.3, {-1.7, -2.2}, 64},
                      ScaleCase{6.0, {0.5, 0}, 64}, ScaleCase{12.5, {1, 1}, 64}));

// 301 pixels: the vector path and the byte-by-byte tail, and a last cell cut by the width.
TEST(CoverageCells, CountTheirInk) {
    constexpr int kWidth = 301;
    const Sheet sheet = test::randomBilevel(kWidth, 8, 9, 50);
    const QImage& image = sheet.image();
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
                ink += test::isInk(sheet, x, y);
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
        EXPECT_EQ(expanded[x], test::isInk(sheet, x, 6) ? 255 : 0);
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

struct GridCase {
    int sheetWidth;
    int spacing;
    int outputWidth;
};

void PrintTo(const GridCase& c, std::ostream* os) {
    *os << c.sheetWidth << " px, lines every " << c.spacing << ", to " << c.outputWidth;
}

class FittedGrid : public ::testing::TestWithParam<GridCase> {};

// The fitted view of a grid of one-pixel lines shows every line: each one darkens its output
// row or column by at least 40 grey levels against the white paper.
TEST_P(FittedGrid, NoLineIsLost) {
    const GridCase c = GetParam();
    const int height = c.sheetWidth * 2 / 3;
    const Sheet grid = test::gridSheet(c.sheetWidth, height, c.spacing, c.spacing / 2);
    const QSize out(c.outputWidth, c.outputWidth * 2 / 3);
    const QRectF display = view::fittedRect(grid.size(), out);
    const QImage view = renderSheet(grid, out, display, kGrey);
    const double perPixel = display.width() / c.sheetWidth;
    for (int k = 0; k * c.spacing + c.spacing / 2 < c.sheetWidth; ++k) {
        const double line = k * c.spacing + c.spacing / 2 + 0.5;
        const int x = static_cast<int>(display.left() + line * perPixel);
        const int y = static_cast<int>(display.top() + line * perPixel);
        // A line may fall on the border of two output pixels; the darker of them must show it.
        if (x < out.width()) {
            int darkest = 255;
            for (int row = 0; row < out.height(); row += 7) {
                for (int i = std::max(0, x - 1); i <= std::min(out.width() - 1, x + 1); ++i) {
                    darkest = std::min(darkest, qGray(view.pixel(i, row)));
                }
            }
            EXPECT_LE(darkest, 215) << "vertical line " << k;
        }
        if (y < out.height()) {
            int darkest = 255;
            for (int i = std::max(0, y - 1); i <= std::min(out.height() - 1, y + 1); ++i) {
                darkest = std::min(darkest, qGray(view.pixel(out.width() / 3 + 1, i)));
            }
            EXPECT_LE(darkest, 215) << "horizontal line " << k;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sheets, FittedGrid,
                         ::testing::Values(GridCase{1920, 8, 768}, GridCase{3000, 12, 800},
                                           GridCase{7200, 24, 960}, GridCase{9600, 20, 1280},
                                           GridCase{14400, 40, 1920}, GridCase{14400, 40, 1000}));

// Each output pixel shows the sheet pixel under its centre.
TEST(Render, CloseViewsShowThePixelsThemselves) {
    const Sheet sheet = test::randomBilevel(64, 48, 4, 50);
    for (const double zoom : {1.0, 3.0, 2.5}) {
        const QSize out(static_cast<int>(64 * zoom), static_cast<int>(48 * zoom));
        const QImage view = renderSheet(sheet, out, QRectF(QPointF(), out), kGrey);
        for (int y = 0; y < out.height(); ++y) {
            for (int x = 0; x < out.width(); ++x) {
                const bool ink = test::isInk(sheet, static_cast<int>((x + 0.5) / zoom),
                                             static_cast<int>((y + 0.5) / zoom));
                ASSERT_EQ(view.pixel(x, y), ink ? qRgb(0, 0, 0) : qRgb(255, 255, 255))
                    << zoom << ": " << x << "," << y;
            }
        }
    }
}

TEST(Render, OutsideTheSheetIsBackgroundAndInkHasThePaletteColour) {
    QImage image(10, 10, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 255)});
    image.fill(1);
    const Sheet blue(image, 200, 200);
    const QImage view = renderSheet(blue, QSize(40, 40), QRectF(10.5, 5, 20, 20), kGrey);
    EXPECT_EQ(view.pixel(5, 20), kGrey);
    EXPECT_EQ(view.pixel(20, 2), kGrey);
    EXPECT_EQ(view.pixel(10, 15), qRgb(0, 0, 255));  // its centre is on the sheet
    EXPECT_EQ(view.pixel(30, 15), kGrey);
}

// Whatever rectangle a caller sets, the frame is drawn without trouble: degenerate ones show
// the background, a huge one the sheet.
TEST(Render, DegenerateDisplayRectanglesAreHarmless) {
    const Sheet sheet = test::inkSheet(300, 200);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const QRectF& display : {QRectF(0, 0, 1e-9, 1e-9), QRectF(0, 0, -50, 30),
                                  QRectF(nan, 0, 10, 10), QRectF(0, 0, inf, inf)}) {
        EXPECT_EQ(renderSheet(sheet, QSize(20, 10), display, kGrey).pixel(10, 5), kGrey);
    }
    const QImage huge = renderSheet(sheet, QSize(20, 10), QRectF(-1e12, -1e12, 3e12, 3e12), kGrey);
    EXPECT_EQ(huge.pixel(10, 5), qRgb(255, 255, 255));
}

// A target drawn from an origin is that part of the whole view; a grey target (`sheetwise render`
// to PGM) gets exactly the colour drawing converted by Qt. For every kind of sheet and every way
// of sampling it: reduced from a pyramid level, from the bits, close up, and partly off the sheet.
TEST(Render, PartsAndGreyTargetsAreTheWholeColourDrawingCutAndConverted) {
    QImage blueInk = test::randomBilevel(300, 200, 5, 30).image();
    blueInk.setColorTable({qRgb(250, 250, 240), qRgb(0, 0, 255)});
    QImage colour(300, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 300; ++x) {
            colour.setPixel(x, y, qRgb(x % 256, y, (x * y) % 256));
        }
    }
    const Sheet sheets[] = {test::randomBilevel(300, 200, 4, 30), Sheet(blueInk, 200, 200),
                            Sheet(colour.convertToFormat(QImage::Format_Grayscale8), 200, 200),
                            Sheet(colour, 200, 200)};
    for (const Sheet& sheet : sheets) {
        for (const QRectF& display : {QRectF(3, 2, 60, 40), QRectF(0, 0, 200, 133),
                                      QRectF(-20, 0, 900, 600), QRectF(40, -30, 150, 100)}) {
            const QImage whole = renderSheet(sheet, QSize(200, 140), display, kGrey);
            for (const auto format : {QImage::Format_RGB32, QImage::Format_Grayscale8}) {
                QImage part(170, 110, format);
                renderSheet(sheet, part, QPoint(20, 25), display, kGrey);
                EXPECT_EQ(part, whole.copy(20, 25, 170, 110).convertToFormat(format));
            }
        }
    }
}

TEST(Render, GreyAndColourSheetsAreAveragedPerChannel) {
    QImage colour(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            colour.setPixel(x, y, (x + y) % 2 ? qRgb(200, 0, 40) : qRgb(0, 100, 40));
        }
    }
    const QImage view =
        renderSheet(Sheet(colour, 100, 100), QSize(8, 8), QRectF(0, 0, 8, 8), kGrey);
    EXPECT_NEAR(qRed(view.pixel(3, 3)), 100, 1);
    EXPECT_NEAR(qGreen(view.pixel(3, 3)), 50, 1);
    EXPECT_NEAR(qBlue(view.pixel(3, 3)), 40, 1);
    QImage grey(64, 64, QImage::Format_Grayscale8);
    grey.fill(77);
    const QImage greyView =
        renderSheet(Sheet(grey, 100, 100), QSize(5, 5), QRectF(0, 0, 5, 5), kGrey);
    EXPECT_EQ(greyView.pixel(2, 2), qRgb(77, 77, 77));
}

// The decoder computes level 2 on the way; it must equal the level built from the finished bits.
TEST(Pyramid, LevelComputedWhileDecodingEqualsTheLevelBuiltLater) {
    const Sheet decoded =
        readTiffFile(test::dataPath(QStringLiteral("corpus/drawings_bilevel/CCITT_2.TIF")));
    const Sheet fresh(decoded.image().copy(), decoded.dpiX(), decoded.dpiY());
    const auto a = pyramidLevel(decoded, 2);
    const auto b = pyramidLevel(fresh, 2);
    ASSERT_NE(a.get(), b.get());
    EXPECT_EQ(a->width, b->width);
    EXPECT_EQ(a->height, b->height);
    EXPECT_EQ(std::memcmp(a->data.data(), b->data.data(), a->data.size()), 0);
}

}  // namespace
}  // namespace sw::imaging
