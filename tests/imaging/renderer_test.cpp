// The drawing path: reduced views are true area averages (checked against a brute-force average
// of the pixels, down to the packed-bit cells they are made of), thin lines survive the fitted
// view, close views show the pixels themselves.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "imaging/bit_ops.h"
#include "imaging/sheet_fixtures.h"
#include "imaging/sheet_renderer.h"
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
                      ScaleCase{16.0, {-1, -2}, 2.0}, ScaleCase{3.3, {-1.7, -2.2}, 64},
                      ScaleCase{6.0, {0.5, 0}, 64}, ScaleCase{12.5, {1, 1}, 64}));

// The cells that reduced views are made of hold the ink of their pixels, at any start (`lo`) and
// over widths of 301 pixels: the vector path, the byte-by-byte tail, a last cell cut by the width,
// and a missing second row (the last row of an odd-height sheet).
TEST(CoverageCells, CountTheirInk) {
    constexpr int kWidth = 301;
    const Sheet sheet = test::randomBilevel(kWidth, 8, 9, 50);
    const auto row = [&](int y) { return sheet.image().constScanLine(y); };
    // Ink of cell c of `width` x `height` pixels with its top-left pixel at (c * width, y), 0..255.
    const auto inkOf = [&](int c, int y, int width, int height) {
        int ink = 0;
        for (int v = y; v < y + height; ++v) {
            for (int u = c * width; u < std::min(kWidth, (c + 1) * width); ++u) {
                ink += test::isInk(sheet, u, v);
            }
        }
        return ink * 255.0 / (width * height);
    };
    uchar cells[kWidth];
    const uchar* rows[4] = {row(0), row(1), row(2), row(3)};
    bits::quadCoverage(rows, kWidth, cells);
    for (int c = 0; c < 76; ++c) {
        EXPECT_NEAR(cells[c], inkOf(c, 0, 4, 4), 1.0) << "quad cell " << c;
    }
    for (const int lo : {0, 5}) {
        bits::pairCoverage(row(4), row(5), lo, 151 - lo, cells);
        for (int c = lo; c < 151; ++c) {
            EXPECT_NEAR(cells[c - lo], inkOf(c, 4, 2, 2), 1.0) << "pair cell " << c;
        }
        bits::pairCoverage(row(6), nullptr, lo, 151 - lo, cells);
        for (int c = lo; c < 151; ++c) {
            EXPECT_NEAR(cells[c - lo], inkOf(c, 6, 2, 1) / 2, 1.0) << "single row cell " << c;
        }
        bits::expandToBytes(row(7), lo, kWidth - lo, cells);
        for (int x = lo; x < kWidth; ++x) {
            EXPECT_EQ(cells[x - lo], test::isInk(sheet, x, 7) ? 255 : 0) << "pixel " << x;
        }
    }
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
// row or column by at least 40 grey levels against the white paper. Lines are looked at halfway
// between two lines across them, where nothing else darkens the view; a line may fall on the
// border of two output pixels, and the darker of them must show it.
TEST_P(FittedGrid, NoLineIsLost) {
    const GridCase c = GetParam();
    const Sheet grid =
        test::gridSheet(c.sheetWidth, c.sheetWidth * 2 / 3, c.spacing, c.spacing / 2);
    const QSize out(c.outputWidth, c.outputWidth * 2 / 3);
    const QRectF display = view::fittedRect(grid.size(), out);
    const QImage view = renderSheet(grid, out, display, kGrey);
    const double perPixel = display.width() / c.sheetWidth;
    const int clearX = static_cast<int>(display.left() + c.spacing * perPixel);
    const int clearY = static_cast<int>(display.top() + c.spacing * perPixel);
    EXPECT_GT(qGray(view.pixel(clearX, clearY)), 215);
    for (int k = 0; k * c.spacing + c.spacing / 2 < c.sheetWidth; ++k) {
        const double line = k * c.spacing + c.spacing / 2 + 0.5;
        const int x = static_cast<int>(display.left() + line * perPixel);
        const int y = static_cast<int>(display.top() + line * perPixel);
        int vertical = 255;
        int horizontal = y < out.height() ? 255 : 0;
        for (int d = -1; d <= 1; ++d) {
            vertical = std::min(vertical,
                                qGray(view.pixel(std::clamp(x + d, 0, out.width() - 1), clearY)));
            horizontal = std::min(
                horizontal, qGray(view.pixel(clearX, std::clamp(y + d, 0, out.height() - 1))));
        }
        EXPECT_LE(vertical, 215) << "vertical line " << k;
        EXPECT_LE(horizontal, 215) << "horizontal line " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Sheets, FittedGrid,
                         ::testing::Values(GridCase{1920, 8, 768}, GridCase{3000, 12, 800},
                                           GridCase{9600, 20, 1280}, GridCase{14400, 40, 1000}));

// Each output pixel of a close view shows the sheet pixel under its centre, in the sheet's
// colours, for bilevel, grey and colour sheets alike; off the sheet, the background.
TEST(Render, CloseViewsShowThePixelsThemselves) {
    QImage blue = test::randomBilevel(64, 48, 4, 50).image();
    blue.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 255)});
    for (const QImage& image : {blue, blue.convertToFormat(QImage::Format_Grayscale8),
                                blue.convertToFormat(QImage::Format_RGB32)}) {
        const Sheet sheet(image, 200, 200);
        for (const double zoom : {1.0, 3.0, 2.5}) {
            const QRectF display(10.5, 5, 64 * zoom, 48 * zoom);
            const QImage view = renderSheet(sheet, QSize(200, 150), display, kGrey);
            for (int y = 0; y < 150; ++y) {
                for (int x = 0; x < 200; ++x) {
                    const int u = static_cast<int>(std::floor((x + 0.5 - 10.5) / zoom));
                    const int v = static_cast<int>(std::floor((y + 0.5 - 5) / zoom));
                    const bool on = u >= 0 && v >= 0 && u < 64 && v < 48;
                    ASSERT_EQ(view.pixel(x, y), on ? sheet.image().pixel(u, v) : kGrey)
                        << image.format() << " at " << zoom << ": " << x << "," << y;
                }
            }
        }
    }
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
    const QRgb mean = renderSheet(Sheet(colour, 100, 100), {8, 8}, {0, 0, 8, 8}, kGrey).pixel(3, 3);
    EXPECT_NEAR(qRed(mean), 100, 1);
    EXPECT_NEAR(qGreen(mean), 50, 1);
    EXPECT_NEAR(qBlue(mean), 40, 1);
}

}  // namespace
}  // namespace sw::imaging
