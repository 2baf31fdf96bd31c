#include "printing/print_layout.h"

#include <gtest/gtest.h>

#include "printing/fake_printer_device.h"
#include "printing/test_sheets.h"
#include "printing/visible_part.h"

namespace sw::printing {

void PrintTo(const PageCountLabels& l, std::ostream* os) {
    *os << l.rows.toStdString() << " x " << l.columns.toStdString() << " = "
        << l.total.toStdString();
}

void PrintTo(const PreviewObject& o, std::ostream* os) {
    *os << (o.kind == PreviewObject::Kind::Line ? "line " : "rect ") << o.tag << " (" << o.from.x()
        << ", " << o.from.y() << ")-(" << o.to.x() << ", " << o.to.y() << ')';
}

namespace {

using K = PreviewObject::Kind;

struct LayoutCase {
    const char* label;
    LayoutOptions options;
    LayoutSheet sheet;  // has image, w x h pixels, dpi x y, drawn w x h (a tenth of the pixels)
    std::optional<PageCountLabels> labels;
    bool fitsOnOnePage;
    QString error;
    QList<PreviewObject> preview;  // empty: no preview
};

SW_PRINT_LABEL(LayoutCase)

class PageLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(PageLayout, GivesLabelsPreviewOrTheError) {
    const LayoutCase& c = GetParam();
    const auto letter = test::FakePrinterDevice::letter();
    ScaleMemory scale;
    const LayoutResult r = UpdatePageLayout(c.options, c.sheet, *letter, scale);
    EXPECT_EQ(r.error, c.error);
    EXPECT_EQ(r.labels, c.labels);
    EXPECT_EQ(r.fitsOnOnePage, c.fitsOnOnePage);
    EXPECT_EQ(r.preview.value_or(QList<PreviewObject>{}), c.preview);
    EXPECT_EQ(r.preview.has_value(), !c.preview.isEmpty());
}

const LayoutSheet k36x24{true, 7200, 4800, 200, 200, 720, 480};
const LayoutOptions kNoCrop{QStringLiteral("100%"), false};
const PageCountLabels kOnePage = onePageLabels();

// Crop window 2750..4450 x 1300..3500 sheet pixels, a tenth on screen.
const QList<PreviewObject> kCover36x24{
    {K::Rectangle, {0, 0}, {720, 130}, 1},
    {K::Rectangle, {0, 350}, {720, 480}, 2},
    {K::Rectangle, {0, 130}, {275, 350}, 3},
    {K::Rectangle, {445, 130}, {720, 350}, 4},
};
// 6 x 30 in at 100 dpi: the window -125..725 x 950..2050 reaches past both sides of the sheet.
const QList<PreviewObject> kCoverNarrow{
    {K::Rectangle, {0, 0}, {60, 95}, 1},
    {K::Rectangle, {0, 205}, {60, 300}, 2},
    {K::Rectangle, {0, 95}, {-12.5, 205}, 3},
    {K::Rectangle, {72.5, 95}, {60, 205}, 4},
};
// 17 x 33 in on 8.5 x 11 in pages: 2 columns, 3 rows.
const QList<PreviewObject> kGrid17x33{
    {K::Line, {170, 0}, {170, 660}, 1}, {K::Line, {340, 0}, {340, 660}, 2},
    {K::Line, {0, 220}, {340, 220}, 3}, {K::Line, {0, 440}, {340, 440}, 4},
    {K::Line, {0, 660}, {340, 660}, 5},
};
const QList<PreviewObject> kGrid8x10{{K::Line, {170, 0}, {170, 200}, 1},
                                     {K::Line, {0, 220}, {160, 220}, 2}};

const LayoutSheet kNarrow{true, 600, 3000, 100, 100, 60, 300};
const LayoutSheet k17x33{true, 3400, 6600, 200, 200, 340, 660};
const LayoutSheet k8x10{true, 1600, 2000, 200, 200, 160, 200};
const LayoutSheet kNoResolution{true, 7200, 4800, 0, 200, 720, 480};
const LayoutSheet kNotDrawn{true, 7200, 4800, 200, 200, 720, 0};
const QString kDivZero = QStringLiteral("Division by zero");

const LayoutCase kLayouts[] = {
    {"CropCoversAllButThePage", {}, k36x24, kOnePage, false, {}, kCover36x24},
    {"CropNarrowSheet", {}, kNarrow, kOnePage, false, {}, kCoverNarrow},
    {"GridLines", kNoCrop, k17x33, PageCountLabels{"3", "2", "6"}, false, {}, kGrid17x33},
    {"CropThatFits", {}, k8x10, kOnePage, true, {}, kGrid8x10},
    {"NoImageCropped", {}, {}, {}, false, {}, {}},
    {"NoImageUncropped", kNoCrop, {}, {}, false, {}, {}},
    {"NoResolution", kNoCrop, kNoResolution, {}, false, kDivZero, {}},
    // The labels of the crop test (5 x 3 pages) stay when the cover cannot be placed.
    {"LabelsBeforeAFailureStay",
     {},
     kNotDrawn,
     PageCountLabels{"3", "5", "15"},
     false,
     kDivZero,
     {}},
};
INSTANTIATE_TEST_SUITE_P(Table, PageLayout, ::testing::ValuesIn(kLayouts), test::LabelName());

TEST(PageLayoutOn, ABrokenPrinterGivesTheErrorLineOnly) {
    const test::FakePrinterDevice broken(QStringLiteral("Broken"), 12240, 15840,
                                         {0, 0, 0, 0, 5100, 6600, 5200, 6700});
    ScaleMemory scale;
    const LayoutResult r = UpdatePageLayout({}, k36x24, broken, scale);
    EXPECT_EQ(r.error, QStringLiteral("Division by zero"));
    EXPECT_FALSE(r.labels);
    EXPECT_FALSE(r.preview);
}

TEST(PageLayoutOn, FitToPageIsOnePageInBothOrientations) {
    auto printer = test::FakePrinterDevice::letter();
    ScaleMemory scale;
    for (int orientation : {kPortrait, kLandscape}) {
        printer->setSetting(PrinterSetting::Orientation, orientation);
        EXPECT_EQ(UpdatePageLayout({kFitToPage, false}, k36x24, *printer, scale).labels,
                  onePageLabels())
            << orientation;
    }
}

// ---- The visible part cut out by the print hand-off --------------------------------------------

struct VisibleCase {
    const char* label;
    QRectF display;
    QSize visible;
    std::vector<double> expected;  // x0, y0, width, height in sheet pixels
};

SW_PRINT_LABEL(VisibleCase)

class VisiblePartOfSheet : public ::testing::TestWithParam<VisibleCase> {};

TEST_P(VisiblePartOfSheet, IsTheWindowInSheetPixels) {
    const VisibleCase& c = GetParam();
    const VisiblePart p = visiblePart(c.display, QSizeF(7200, 4800), c.visible);
    EXPECT_EQ(std::vector<double>({p.x0, p.y0, p.width, double(p.height)}), c.expected);
}

const VisibleCase kVisible[] = {
    // Zoomed to 200 % and scrolled 300 pixels right: 150 sheet pixels in.
    {"ScrolledAt200Percent", {-300, 0, 14400, 9600}, {800, 600}, {150, 0, 400, 300}},
    {"NotScrolled", {0, 0, 7200, 4800}, {1000, 700}, {0, 0, 1000, 700}},
    // 4800 x 333 / 9600 = 166.5: the height rounds half to even.
    {"HeightRoundsToEven", {-10, -20, 14400, 9600}, {1000, 333}, {5, 10, 500, 166}},
};
INSTANTIATE_TEST_SUITE_P(Table, VisiblePartOfSheet, ::testing::ValuesIn(kVisible),
                         test::LabelName());

TEST(VisiblePartOfSheet, FailsLikeTheRuntime) {
    EXPECT_EQ(test::scriptError([] {
                  visiblePart({0, 0, 0, 100}, {100, 100}, {10, 10});
              }),
              "Overflow");  // 0 / 0
    // 40000 visible rows of a sheet drawn at its own size overflow the 16-bit height.
    EXPECT_EQ(test::scriptError([] {
                  visiblePart({0, 0, 100, 100}, {100, 100}, {10, 40000});
              }),
              "Overflow");
}

}  // namespace
}  // namespace sw::printing
