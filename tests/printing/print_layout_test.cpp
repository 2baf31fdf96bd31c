#include "printing/print_layout.h"

#include <gtest/gtest.h>

#include "host/script_error.h"
#include "printing/fake_printer_device.h"
#include "printing/test_sheets.h"
#include "printing/visible_part.h"

namespace sw::printing {
namespace {

using K = PreviewObject::Kind;

// A sheet of w x h inches at `dpi`, drawn at a tenth of its pixel size.
LayoutSheet sheetOf(double widthIn, double heightIn, double dpi, double displayDivisor = 10) {
    LayoutSheet s;
    s.hasImage = true;
    s.imageWidthPx = widthIn * dpi;
    s.imageHeightPx = heightIn * dpi;
    s.resX = dpi;
    s.resY = dpi;
    s.displayWidth = s.imageWidthPx / displayDivisor;
    s.displayHeight = s.imageHeightPx / displayDivisor;
    return s;
}

class PageLayout : public ::testing::Test {
protected:
    std::unique_ptr<test::FakePrinterDevice> printer = test::FakePrinterDevice::letter();
    ScaleMemory scale;
};

TEST_F(PageLayout, OpeningStateCoversEverythingOutsideTheCentredPage) {
    const LayoutResult r = UpdatePageLayout({}, sheetOf(36, 24, 200), *printer, scale);
    EXPECT_TRUE(r.error.isEmpty()) << r.error.toStdString();
    EXPECT_FALSE(r.fitsOnOnePage);
    EXPECT_EQ(r.labels, onePageLabels());
    ASSERT_TRUE(r.preview);
    // Crop window 2750..4450 x 1300..3500 sheet pixels, a tenth on screen.
    const QList<PreviewObject> expected = {
        {K::Rectangle, {0, 0}, {720, 130}, 1},
        {K::Rectangle, {0, 350}, {720, 480}, 2},
        {K::Rectangle, {0, 130}, {275, 350}, 3},
        {K::Rectangle, {445, 130}, {720, 350}, 4},
    };
    EXPECT_EQ(*r.preview, expected);
}

TEST_F(PageLayout, NarrowTallSheetPutsTheSideStripsOutsideTheSheet) {
    const LayoutResult r = UpdatePageLayout({}, sheetOf(6, 30, 100), *printer, scale);
    ASSERT_TRUE(r.preview);
    ASSERT_EQ(r.preview->size(), 4);
    EXPECT_LT((*r.preview)[2].to.x(), 0);              // left strip ends left of 0
    EXPECT_GT((*r.preview)[3].from.x(), 60);           // right strip starts right of it
    EXPECT_EQ((*r.preview)[0].to, QPointF(60, 95));    // top strip is visible
    EXPECT_EQ((*r.preview)[1].from, QPointF(0, 205));  // and so is the bottom one
}

TEST_F(PageLayout, WithoutCropTheGridLinesMarkEveryPage) {
    // 17 x 33 in on 8.5 x 11 in pages: 2 columns, 3 rows.
    const LayoutResult r =
        UpdatePageLayout({QStringLiteral("100%"), false}, sheetOf(17, 33, 200), *printer, scale);
    EXPECT_EQ(r.labels, (PageCountLabels{"3", "2", "6"}));
    ASSERT_TRUE(r.preview);
    const QList<PreviewObject> expected = {
        {K::Line, {170, 0}, {170, 660}, 1}, {K::Line, {340, 0}, {340, 660}, 2},
        {K::Line, {0, 220}, {340, 220}, 3}, {K::Line, {0, 440}, {340, 440}, 4},
        {K::Line, {0, 660}, {340, 660}, 5},
    };
    EXPECT_EQ(*r.preview, expected);
}

TEST_F(PageLayout, CropTickedButFitsShowsTheOnePageGrid) {
    const LayoutResult r = UpdatePageLayout({}, sheetOf(8, 10, 200), *printer, scale);
    EXPECT_TRUE(r.fitsOnOnePage);
    EXPECT_EQ(r.labels, onePageLabels());
    ASSERT_TRUE(r.preview);
    EXPECT_EQ(r.preview->size(), 2);
    EXPECT_EQ(r.preview->front().kind, K::Line);
}

TEST_F(PageLayout, FitToPageIsOnePageInBothOrientations) {
    for (int orientation : {kPortrait, kLandscape}) {
        printer->setSetting(PrinterSetting::Orientation, orientation);
        const LayoutResult r =
            UpdatePageLayout({kFitToPage, false}, sheetOf(36, 24, 200), *printer, scale);
        EXPECT_EQ(r.labels, onePageLabels()) << orientation;
    }
}

TEST_F(PageLayout, NoImageLeavesLabelsAndPreviewAlone) {
    LayoutSheet none;
    for (bool crop : {true, false}) {
        const LayoutResult r =
            UpdatePageLayout({QStringLiteral("100%"), crop}, none, *printer, scale);
        EXPECT_FALSE(r.labels);
        EXPECT_FALSE(r.preview);
        EXPECT_TRUE(r.error.isEmpty());
    }
}

TEST_F(PageLayout, ArithmeticFailuresBecomeAnErrorLine) {
    test::FakePrinterDevice broken(QStringLiteral("Broken"), 12240, 15840,
                                   {0, 0, 0, 0, 5100, 6600, 5200, 6700});
    const LayoutResult r = UpdatePageLayout({}, sheetOf(36, 24, 200), broken, scale);
    EXPECT_EQ(r.error, QStringLiteral("Division by zero"));
    EXPECT_FALSE(r.labels);
    EXPECT_FALSE(r.preview);

    LayoutSheet noResolution = sheetOf(36, 24, 200);
    noResolution.resX = 0;
    EXPECT_FALSE(UpdatePageLayout({QStringLiteral("100%"), false}, noResolution, *printer, scale)
                     .error.isEmpty());
}

TEST_F(PageLayout, LabelsWrittenBeforeAFailureStay) {
    LayoutSheet sheet = sheetOf(36, 24, 200);
    sheet.displayHeight = 0;  // the cover cannot be placed
    const LayoutResult r = UpdatePageLayout({}, sheet, *printer, scale);
    EXPECT_EQ(r.error, QStringLiteral("Division by zero"));
    ASSERT_TRUE(r.labels);
    EXPECT_EQ(r.labels->total, QStringLiteral("15"));  // the crop test's grid, 5 x 3
    EXPECT_FALSE(r.preview);
}

}  // namespace
}  // namespace sw::printing

namespace sw::printing {
namespace {

// ---- The visible part cut out by the print hand-off
// ------------------------------------------------

struct VisibleCase {
    const char* label;
    QRectF display;
    QSizeF source;
    QSize visible;
    float x0;
    float y0;
    float width;
    int height;
};

void PrintTo(const VisibleCase& c, std::ostream* os) {
    *os << c.label;
}

class VisiblePartOfSheet : public ::testing::TestWithParam<VisibleCase> {};

TEST_P(VisiblePartOfSheet, IsTheWindowInSheetPixels) {
    const VisibleCase& c = GetParam();
    const VisiblePart part = visiblePart(c.display, c.source, c.visible);
    EXPECT_FLOAT_EQ(part.x0, c.x0);
    EXPECT_FLOAT_EQ(part.y0, c.y0);
    EXPECT_FLOAT_EQ(part.width, c.width);
    EXPECT_EQ(part.height, c.height);
}

INSTANTIATE_TEST_SUITE_P(
    Table, VisiblePartOfSheet,
    ::testing::Values(
        // Zoomed to 200 % and scrolled 300 pixels right: 150 sheet pixels in.
        VisibleCase{"scrolled at 200 percent",
                    {-300, 0, 14400, 9600},
                    {7200, 4800},
                    {800, 600},
                    150,
                    0,
                    400,
                    300},
        VisibleCase{"not scrolled", {0, 0, 7200, 4800}, {7200, 4800}, {1000, 700}, 0, 0, 1000, 700},
        // 4800 x 333 / 9600 = 166.5: the height rounds half to even.
        VisibleCase{"height rounds to even",
                    {-10, -20, 14400, 9600},
                    {7200, 4800},
                    {1000, 333},
                    5,
                    10,
                    500,
                    166}),
    test::LabelName());

TEST(VisiblePartOfSheet, FailsLikeTheRuntime) {
    EXPECT_THROW(visiblePart({0, 0, 0, 100}, {100, 100}, {10, 10}), host::ScriptError);
    // 40000 visible rows of a sheet drawn at its own size overflow the 16-bit height.
    EXPECT_THROW(visiblePart({0, 0, 100, 100}, {100, 100}, {10, 40000}), host::ScriptError);
}

}  // namespace
}  // namespace sw::printing
