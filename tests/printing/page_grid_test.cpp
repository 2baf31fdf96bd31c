#include "printing/page_grid.h"

#include <gtest/gtest.h>

#include <cmath>

#include "printing/test_sheets.h"

namespace sw::printing {
namespace {

PrinterMetrics printable(double widthIn, double heightIn) {
    PrinterMetrics m;
    m.printableWidthIn = m.paperWidthIn = widthIn;
    m.printableHeightIn = m.paperHeightIn = heightIn;
    return m;
}

// ---- Grid --------------------------------------------------------------------------------------

struct GridCase {
    const char* label;
    double sheetWidthIn;  // at 200 dpi, 5 in high, on printable pages 10 in high
    double printableWidthIn;
    double columnsExact;
    double lastColumnFraction;
    double columnsWithoutRule;
    double columnsWithRule;
};

SW_PRINT_LABEL(GridCase)

class PageGridColumns : public ::testing::TestWithParam<GridCase> {};

TEST_P(PageGridColumns, CountsPagesWithTheExtraPageRule) {
    const GridCase& c = GetParam();
    PageGrid grid =
        computePageGrid(c.sheetWidthIn * 200, 1000, 200, printable(c.printableWidthIn, 10));
    EXPECT_NEAR(grid.columnsExact, c.columnsExact, 1e-9);
    EXPECT_NEAR(grid.lastColumnFraction, c.lastColumnFraction, 1e-9);
    EXPECT_EQ(grid.pageColumns, c.columnsWithoutRule);
    applyExtraPageRule(grid);
    EXPECT_EQ(grid.pageColumns, c.columnsWithRule);
    EXPECT_EQ(grid.pageRows, 1);
}

const GridCase kGrids[] = {
    {"SmallerThanThePage", 4, 8, 0.5, 0.5, 1, 1},
    {"ExactlyOnePage", 8, 8, 1, 0, 1, 1},
    {"OnePixelWider", 8.005, 8, 1.000625, 0.000625, 2, 2},
    {"ExactlyTwoPages", 16, 8, 2, 0, 2, 2},
    // Two pages whose overlap (2 x 50 px) exceeds a page (80 px): one more.
    {"ExactlyTwoTinyPages", 0.8, 0.4, 2, 0, 2, 3},
    {"TwoAndAHalf", 20, 8, 2.5, 0.5, 3, 3},
    // .95 x 1600 + 2 x 50 = 1620 > 1600: one more; .93 x 1600 + 2 x 50 = 1588: no more.
    {"Pages2_95", 23.6, 8, 2.95, 0.95, 3, 4},
    {"Pages2_93", 23.44, 8, 2.93, 0.93, 3, 3},
    // Rounding noise of a fitted scale does not split the sheet.
    {"AHairOverOnePage", 8 * (1 + 1e-12), 8, 1, 0, 1, 1},
};
INSTANTIATE_TEST_SUITE_P(Table, PageGridColumns, ::testing::ValuesIn(kGrids), test::LabelName());

// ---- Tiles -------------------------------------------------------------------------------------

TEST(TileOrder, TwoByThreeRunsDownEachColumnFromOverlappedOrigins) {
    PageGrid grid = computePageGrid(3200, 6000, 200, printable(8, 10));
    applyExtraPageRule(grid);
    QStringList tiles;
    for (const PageTile& t : tileOrder(grid)) {
        tiles << QString::asprintf("%s c%d r%d at %g,%g %gx%g / %s", qPrintable(t.label), t.column,
                                   t.row, t.source.x(), t.source.y(), t.source.width(),
                                   t.source.height(), qPrintable(t.statusText));
    }
    // The first page of a row or column at pixel 1, later ones shifted back by the overlap.
    EXPECT_EQ(tiles,
              (QStringList{"Page 1 of 6 c1 r1 at 1,1 1600x2000 / Printing Page 1 of 6",
                           "Page 2 of 6 c1 r2 at 1,1951 1600x2000 / Printing Page 2 of 6",
                           "Page 3 of 6 c1 r3 at 1,3951 1600x2000 / Printing Page 3 of 6",
                           "Page 4 of 6 c2 r1 at 1551,1 1600x2000 / Printing Page 4 of 6",
                           "Page 5 of 6 c2 r2 at 1551,1951 1600x2000 / Printing Page 5 of 6",
                           "Page 6 of 6 c2 r3 at 1551,3951 1600x2000 / Printing Page 6 of 6"}));
}

class TileInvariants : public ::testing::TestWithParam<double> {};

// The first two pages of a row share the overlap, later ones abut: no gaps.
TEST_P(TileInvariants, FirstPairOverlapsLaterPagesAbut) {
    PageGrid grid = computePageGrid(GetParam() * 200, 2000, 200, printable(8, 10));
    applyExtraPageRule(grid);
    QList<QRectF> row;
    for (const PageTile& tile : tileOrder(grid)) {
        if (tile.row == 1) {
            row.append(tile.source);
        }
    }
    ASSERT_EQ(row.size(), grid.pageColumns);
    for (int i = 1; i < row.size(); ++i) {
        EXPECT_NEAR(row[i - 1].right() - row[i].left(), i == 1 ? grid.tileOverlap : 0, 1e-9) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(SheetWidths, TileInvariants,
                         ::testing::Values(4.0, 8.0, 12.0, 16.0, 23.6, 36.0, 47.99));

TEST(TileOrder, MoreThan32767PagesOverflow) {
    const PageGrid grid = computePageGrid(200 * 8 * 200, 200 * 10 * 200, 200, printable(8, 10));
    EXPECT_EQ(grid.pageCount(), 40000);
    EXPECT_EQ(test::scriptError([&] { (void)tileOrder(grid); }), "Overflow");
}

// ---- Scale -------------------------------------------------------------------------------------

struct ScaleCase {
    const char* text;
    double expected;  // with a previous scale of 0.42 and a fit-to-page factor of 0.2
};

void PrintTo(const ScaleCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class SelectedScaleText : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(SelectedScaleText, GivesTheFactorAndRemembersIt) {
    ScaleMemory memory{0.42};
    const double scale = SelectedScale(
        QString::fromUtf8(GetParam().text), [] { return 0.2; }, memory);
    EXPECT_DOUBLE_EQ(scale, GetParam().expected);
    EXPECT_DOUBLE_EQ(memory.lastScale, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SelectedScaleText,
    ::testing::Values(ScaleCase{"Fit To Page", 0.2}, ScaleCase{"100%", 1.0}, ScaleCase{"75%", 0.75},
                      ScaleCase{"66%", 0.66}, ScaleCase{"50%", 0.5}, ScaleCase{"33%", 0.33},
                      ScaleCase{"25%", 0.25}, ScaleCase{"10%", 0.1}, ScaleCase{"80", 0.8},
                      ScaleCase{" 150 ", 1.5}, ScaleCase{"12.5", 0.125},
                      // Not a number: the previous scale stays in force.
                      ScaleCase{"80%", 0.42}, ScaleCase{"fit to page", 0.42}, ScaleCase{"", 0.42},
                      ScaleCase{"abc", 0.42}, ScaleCase{"0", 0.42}, ScaleCase{"-50", 0.42}));

struct FitCase {
    const char* label;
    double sheetWidthIn;
    double sheetHeightIn;
    double printableWidthIn;
    double printableHeightIn;
};

SW_PRINT_LABEL(FitCase)

class FitToPage : public ::testing::TestWithParam<FitCase> {};

// The limiting side spans the page, the other fits, and the grid is one page.
TEST_P(FitToPage, LimitingSideSpansThePage) {
    const FitCase& c = GetParam();
    const PrinterMetrics m = printable(c.printableWidthIn, c.printableHeightIn);
    const double scale = FitToPageScale(m, c.sheetWidthIn * 300, c.sheetHeightIn * 300, 300);
    const double widthIn = c.sheetWidthIn * scale;
    const double heightIn = c.sheetHeightIn * scale;
    EXPECT_LE(widthIn, c.printableWidthIn * (1 + 1e-12));
    EXPECT_LE(heightIn, c.printableHeightIn * (1 + 1e-12));
    EXPECT_TRUE(std::abs(widthIn - c.printableWidthIn) < 1e-9 ||
                std::abs(heightIn - c.printableHeightIn) < 1e-9);
    PageGrid grid = computePageGrid(widthIn * 300, heightIn * 300, 300, m);
    applyExtraPageRule(grid);
    EXPECT_EQ(grid.pageCount(), 1);
}

const FitCase kFits[] = {
    {"WideSheetPortrait", 36, 24, 8, 10.5}, {"WideSheetLandscape", 36, 24, 10.5, 8},
    {"TallSheetPortrait", 24, 36, 8, 10.5}, {"TallSheetLandscape", 24, 36, 10.5, 8},
    {"SmallSheetEnlarged", 2, 3, 8, 10.5},  {"SameProportions", 16, 21, 8, 10.5},
};
INSTANTIATE_TEST_SUITE_P(Table, FitToPage, ::testing::ValuesIn(kFits), test::LabelName());

// ---- Crop window -------------------------------------------------------------------------------

struct CropCase {
    const char* label;
    double sheetWidthIn;
    double sheetHeightIn;
    double resX;
    double resY;
    QRectF expected;  // sheet pixels, on Letter
};

SW_PRINT_LABEL(CropCase)

class CropWindowPlacement : public ::testing::TestWithParam<CropCase> {};

TEST_P(CropWindowPlacement, IsAPageCentredOnTheSheet) {
    const CropCase& c = GetParam();
    const CropWindow w =
        cropWindow(c.sheetWidthIn, c.sheetHeightIn, c.resX, c.resY, printable(8.5, 11));
    const QRectF& e = c.expected;
    EXPECT_EQ(std::vector({w.left, w.top, w.right, w.bottom}),
              std::vector({e.left(), e.top(), e.right(), e.bottom()}));
}

const CropCase kCrops[] = {
    {"SheetLarger", 36, 24, 200, 200, QRectF(2750, 1300, 1700, 2200)},
    {"SheetSmaller", 4, 5, 200, 200, QRectF(-450, -600, 1700, 2200)},
    {"NarrowerButTaller", 6, 30, 100, 100, QRectF(-125, 950, 850, 1100)},
    // The height in inches comes from resX; the window's vertical values from resY.
    {"ResYHalfOfResX", 8, 24, 200, 100, QRectF(-50, 650, 1700, 1100)},
};
INSTANTIATE_TEST_SUITE_P(Table, CropWindowPlacement, ::testing::ValuesIn(kCrops),
                         test::LabelName());

}  // namespace
}  // namespace sw::printing
