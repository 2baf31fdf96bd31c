// Display-rectangle arithmetic of the control.
#include "imaging/view_geometry.h"

#include <gtest/gtest.h>

namespace sw::imaging::view {
namespace {

struct FitCase {
    QSizeF sheet;
    QSizeF window;
    QRectF expected;
};

void PrintTo(const FitCase& c, std::ostream* os) {
    *os << c.sheet.width() << "x" << c.sheet.height() << " in " << c.window.width() << "x"
        << c.window.height();
}

class Fit : public ::testing::TestWithParam<FitCase> {};

TEST_P(Fit, CentresTheWholeSheet) {
    EXPECT_EQ(fittedRect(GetParam().sheet, GetParam().window), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, Fit,
    ::testing::Values(FitCase{{14400, 9600}, {1920, 1080}, {150, 0, 1620, 1080}},
                      FitCase{{7200, 4800}, {600, 800}, {0, 200, 600, 400}},
                      FitCase{{100, 100}, {300, 300}, {0, 0, 300, 300}},
                      FitCase{{0, 0}, {300, 300}, {}}, FitCase{{100, 50}, {0, 0}, {}}));

class Zoomed : public ::testing::TestWithParam<double> {};

// Whatever the zoom, the sheet point under the anchor stays under it.
TEST_P(Zoomed, AnchorPointStaysPut) {
    const QSizeF sheet(7200, 4800);
    const QRectF current(-1234.5, 77, 3600, 2400);
    const QPointF anchor(400, 300);
    const QRectF next = zoomedRect(sheet, GetParam(), current, anchor);
    EXPECT_NEAR(next.width(), 7200 * GetParam() / 100, 1e-9);
    const QPointF u((anchor.x() - current.left()) / current.width(),
                    (anchor.y() - current.top()) / current.height());
    const QPointF v((anchor.x() - next.left()) / next.width(),
                    (anchor.y() - next.top()) / next.height());
    EXPECT_NEAR(u.x(), v.x(), 1e-12);
    EXPECT_NEAR(u.y(), v.y(), 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Percentages, Zoomed, ::testing::Values(0.5, 10, 50, 100, 110, 800, 6400));

TEST(Turned, FourQuarterTurnsComeBackAndTheAnchorStays) {
    const QRectF start(-300, -50, 1600, 900);
    const QPointF anchor(320, 240);
    QRectF r = start;
    for (int i = 0; i < 4; ++i) {
        r = turnedRect(r, 1, anchor);
    }
    EXPECT_NEAR(r.left(), start.left(), 1e-9);
    EXPECT_NEAR(r.top(), start.top(), 1e-9);
    EXPECT_EQ(r.size(), start.size());
    const QRectF once = turnedRect(start, 1, anchor);
    EXPECT_EQ(once.size(), start.size().transposed());
    EXPECT_EQ(turnedRect(once, -1, anchor), start);
}

}  // namespace
}  // namespace sw::imaging::view
