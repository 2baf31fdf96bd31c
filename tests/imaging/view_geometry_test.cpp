// Display-rectangle arithmetic of the control: the fitted rectangle and quarter turns.
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

// A turn keeps the sheet point under the anchor where it is; opposite turns cancel. (The zoom's
// anchor is checked through the control, which keeps the point under the window centre.)
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
