#include "printing/page_grid.h"

#include <gtest/gtest.h>

#include <cmath>

#include "host/script_error.h"
#include "printing/test_sheets.h"

namespace sw::printing {
namespace {

PrinterMetrics printable(double widthIn, double heightIn) {
    PrinterMetrics m;
    m.printableWidthIn = widthIn;
    m.printableHeightIn = heightIn;
    m.paperWidthIn = widthIn;
    m.paperHeightIn = heightIn;
    return m;
}

// ---- Grid
// -----------------------------------------------------------------------------------------

struct GridCase {
    const char* label;
    double sheetWidthIn;  // at 200 dpi, printable 8 x 10 in unless said otherwise
    double printableWidthIn;
    double columnsExact;
    double lastColumnFraction;
    double columnsWithoutRule;
    double columnsWithRule;
};

void PrintTo(const GridCase& c, std::ostream* os) {
    *os << c.label;
}

class PageGridColumns : public ::testing::TestWithParam<GridCase> {};

TEST_P(PageGridColumns, CountsPagesWithTheExtraPageRule) {
    const GridCase& c = GetParam();
    constexpr double kDpi = 200;
    PageGrid grid =
        computePageGrid(c.sheetWidthIn * kDpi, 5 * kDpi, kDpi, printable(c.printableWidthIn, 10));
    EXPECT_NEAR(grid.columnsExact, c.columnsExact, 1e-9);
    EXPECT_NEAR(grid.lastColumnFraction, c.lastColumnFraction, 1e-9);
    EXPECT_EQ(grid.pageColumns, c.columnsWithoutRule);
    applyExtraPageRule(grid);
    EXPECT_EQ(grid.pageColumns, c.columnsWithRule);
    EXPECT_EQ(grid.pageRows, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PageGridColumns,
    ::testing::Values(GridCase{"smaller than the page", 4, 8, 0.5, 0.5, 1, 1},
                      GridCase{"exactly one page", 8, 8, 1, 0, 1, 1},
                      GridCase{"one pixel wider than the page", 8.005, 8, 1.000625, 0.000625, 2, 2},
                      GridCase{"exactly two pages", 16, 8, 2, 0, 2, 2},
                      // Two pages whose overlap (2 x 50 px) exceeds a page (80 px): one more.
                      GridCase{"exactly two tiny pages", 0.8, 0.4, 2, 0, 2, 3},
                      GridCase{"two and a half pages", 20, 8, 2.5, 0.5, 3, 3},
                      // .95 x 1600 + 2 x 50 = 1620 > 1600: one more.
                      GridCase{"2.95 pages", 23.6, 8, 2.95, 0.95, 3, 4},
                      // .93 x 1600 + 2 x 50 = 1588: no more.
                      GridCase{"2.93 pages", 23.44, 8, 2.93, 0.93, 3, 3},
                      // Rounding noise of a fitted scale does not split the sheet.
                      GridCase{"a hair over one page", 8 * (1 + 1e-12), 8, 1, 0, 1, 1}),
    test::LabelName());

TEST(PageGrid, RowsUseTheHorizontalResolutionToo) {
    // 2000 px high at resX 200 is 10 in, whatever the vertical resolution is.
    const PageGrid grid = computePageGrid(1600, 2000, 200, printable(8, 5));
    EXPECT_DOUBLE_EQ(grid.sheetHeightIn, 10);
    EXPECT_DOUBLE_EQ(grid.rowsExact, 2);
    EXPECT_DOUBLE_EQ(grid.tileOverlap, 50);
}

// ---- Tiles ------------------------------------------------------------------------------------

TEST(TileOrder, TwoByThreeRunsDownEachColumn) {
    // 2 columns x 3 rows of 8 x 10 in pages.
    PageGrid grid = computePageGrid(3200, 6000, 200, printable(8, 10));
    applyExtraPageRule(grid);
    ASSERT_EQ(grid.pageColumns, 2);
    ASSERT_EQ(grid.pageRows, 3);
    const QList<PageTile> tiles = tileOrder(grid);
    ASSERT_EQ(tiles.size(), 6);
    const int expectedColumn[] = {1, 1, 1, 2, 2, 2};
    const int expectedRow[] = {1, 2, 3, 1, 2, 3};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(tiles[i].pageNumber, i + 1);
        EXPECT_EQ(tiles[i].column, expectedColumn[i]);
        EXPECT_EQ(tiles[i].row, expectedRow[i]);
        EXPECT_EQ(tiles[i].label, QStringLiteral("Page %1 of 6").arg(i + 1));
        EXPECT_EQ(tiles[i].statusText, QStringLiteral("Printing Page %1 of 6").arg(i + 1));
        EXPECT_DOUBLE_EQ(tiles[i].source.width(), 1600);
        EXPECT_DOUBLE_EQ(tiles[i].source.height(), 2000);
    }
    // First page of a row or column at pixel 1; later ones shifted back by the overlap.
    EXPECT_EQ(tiles[0].source.topLeft(), QPointF(1, 1));
    EXPECT_EQ(tiles[1].source.topLeft(), QPointF(1, 2000 + 1 - 50));
    EXPECT_EQ(tiles[2].source.topLeft(), QPointF(1, 4000 + 1 - 50));
    EXPECT_EQ(tiles[3].source.topLeft(), QPointF(1600 + 1 - 50, 1));
    EXPECT_EQ(tiles[5].source.topLeft(), QPointF(1600 + 1 - 50, 4000 + 1 - 50));
}

class TileInvariants : public ::testing::TestWithParam<double> {};

TEST_P(TileInvariants, FirstPairOverlapsLaterPagesAbutNoGaps) {
    PageGrid grid = computePageGrid(GetParam() * 200, 2000, 200, printable(8, 10));
    applyExtraPageRule(grid);
    const QList<PageTile> tiles = tileOrder(grid);
    QList<QRectF> row;
    for (const PageTile& tile : tiles) {
        if (tile.row == 1) {
            row.append(tile.source);
        }
    }
    ASSERT_EQ(row.size(), grid.pageColumns);
    for (int i = 1; i < row.size(); ++i) {
        const double overlap = row[i - 1].right() - row[i].left();
        EXPECT_NEAR(overlap, i == 1 ? grid.tileOverlap : 0, 1e-9) << "page " << i + 1;
    }
    // The grid reaches a quarter inch less far than a grid without overlap.
    if (row.size() > 1) {
        EXPECT_NEAR(row.back().right(), grid.pageColumns * grid.tileWidth + 1 - grid.tileOverlap,
                    1e-9);
    }
}

INSTANTIATE_TEST_SUITE_P(SheetWidths, TileInvariants,
                         ::testing::Values(4.0, 8.0, 12.0, 16.0, 23.6, 36.0, 47.99));

TEST(TileOrder, MoreThan32767PagesOverflow) {
    PageGrid grid = computePageGrid(200 * 8 * 200, 200 * 10 * 200, 200, printable(8, 10));
    EXPECT_EQ(grid.pageCount(), 40000);
    try {
        (void)tileOrder(grid);
        FAIL() << "expected Overflow";
    } catch (const host::ScriptError& e) {
        EXPECT_EQ(e.description(), QStringLiteral("Overflow"));
    }
}

// ---- Scale
// ----------------------------------------------------------------------------------------

struct ScaleCase {
    const char* text;
    double expected;  // with a previous scale of 0.42 and a fit-to-page factor of 0.2
};

void PrintTo(const ScaleCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class SelectedScaleText : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(SelectedScaleText, GivesTheFactor) {
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

void PrintTo(const FitCase& c, std::ostream* os) {
    *os << c.label;
}

class FitToPage : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitToPage, LimitingSideSpansThePageAndTheGridIsOnePage) {
    const FitCase& c = GetParam();
    constexpr double kDpi = 300;
    const PrinterMetrics m = printable(c.printableWidthIn, c.printableHeightIn);
    const double w = c.sheetWidthIn * kDpi;
    const double h = c.sheetHeightIn * kDpi;
    const double scale = FitToPageScale(m, w, h, kDpi);
    const double scaledWidthIn = c.sheetWidthIn * scale;
    const double scaledHeightIn = c.sheetHeightIn * scale;
    EXPECT_LE(scaledWidthIn, c.printableWidthIn * (1 + 1e-12));
    EXPECT_LE(scaledHeightIn, c.printableHeightIn * (1 + 1e-12));
    EXPECT_TRUE(std::abs(scaledWidthIn - c.printableWidthIn) < 1e-9 ||
                std::abs(scaledHeightIn - c.printableHeightIn) < 1e-9);
    PageGrid grid = computePageGrid(w * scale, h * scale, kDpi, m);
    applyExtraPageRule(grid);
    EXPECT_EQ(grid.pageCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(Table, FitToPage,
                         ::testing::Values(FitCase{"wide sheet portrait", 36, 24, 8, 10.5},
                                           FitCase{"wide sheet landscape", 36, 24, 10.5, 8},
                                           FitCase{"tall sheet portrait", 24, 36, 8, 10.5},
                                           FitCase{"tall sheet landscape", 24, 36, 10.5, 8},
                                           FitCase{"small sheet is enlarged", 2, 3, 8, 10.5},
                                           FitCase{"same proportions", 16, 21, 8, 10.5}),
                         test::LabelName());

// ---- Crop window
// ----------------------------------------------------------------------------------

struct CropCase {
    const char* label;
    double sheetWidthIn;
    double sheetHeightIn;
    double resX;
    double resY;
    CropWindow expected;
};

void PrintTo(const CropCase& c, std::ostream* os) {
    *os << c.label;
}

class CropWindowPlacement : public ::testing::TestWithParam<CropCase> {};

TEST_P(CropWindowPlacement, IsCentredOnTheSheet) {
    const CropCase& c = GetParam();
    const CropWindow w =
        cropWindow(c.sheetWidthIn, c.sheetHeightIn, c.resX, c.resY, printable(8.5, 11));
    EXPECT_DOUBLE_EQ(w.left, c.expected.left);
    EXPECT_DOUBLE_EQ(w.top, c.expected.top);
    EXPECT_DOUBLE_EQ(w.right, c.expected.right);
    EXPECT_DOUBLE_EQ(w.bottom, c.expected.bottom);
    // Centred: equal space (or equal overhang) on both sides, page-sized.
    EXPECT_DOUBLE_EQ(w.left, c.sheetWidthIn * c.resX - w.right);
    EXPECT_DOUBLE_EQ(w.right - w.left, 8.5 * c.resX);
    EXPECT_DOUBLE_EQ(w.bottom - w.top, 11 * c.resY);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CropWindowPlacement,
    ::testing::Values(CropCase{"sheet larger", 36, 24, 200, 200, {2750, 1300, 4450, 3500}},
                      CropCase{"sheet smaller", 4, 5, 200, 200, {-450, -600, 1250, 1600}},
                      CropCase{"narrower but taller", 6, 30, 100, 100, {-125, 950, 725, 2050}},
                      // The height in inches comes from resX; the window's vertical values
                      // from resY.
                      CropCase{"resY half of resX", 8, 24, 200, 100, {-50, 650, 1650, 1750}}),
    test::LabelName());

}  // namespace
}  // namespace sw::printing
