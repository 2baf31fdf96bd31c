// What the print dialog's layout computes: paper names, the printable area, the page grid with
// its extra-page rule and tiles, the scale, the preview over the sheet and the visible part.
#include "printing/print_layout.h"

#include <gtest/gtest.h>

#include "printing/fake_printer_device.h"
#include "printing/paper_names.h"
#include "printing/test_sheets.h"
#include "printing/visible_part.h"

namespace sw::printing {
namespace {

using sw::test::PrintTo;
using test::FakePrinterDevice;

struct NameCase {
    const char* name;
    int code;
    double widthTwips;  // of the printer's page in portrait
    double heightTwips;
    int orientation;
    const char* paper;
};

class PaperName : public ::testing::TestWithParam<NameCase> {};

// Each numbered paper has its name; any other code is named by the printer's page in inches.
TEST_P(PaperName, IsTheTableNameOrElseThePageSizeInInches) {
    const NameCase& c = GetParam();
    FakePrinterDevice printer(QStringLiteral("P"), c.widthTwips, c.heightTwips, {}, c.code);
    printer.setSetting(PrinterSetting::Orientation, c.orientation);
    EXPECT_EQ(PaperSizeName(c.code, printer), QString::fromUtf8(c.paper));
}

const NameCase kNames[] = {
    {"Letter", 1, 720, 1440, kPortrait, "Letter, 8 1/2 x 11 in"},
    {"TabloidTurned", 3, 15840, 24480, kLandscape, "Tabloid, 11 x 17 in"},
    {"CSheet", 24, 720, 1440, kPortrait, "C size sheet"},
    {"LastNamed", 41, 720, 1440, kPortrait, "German Legal Fanfold, 8 1/2 x 13 in"},
    {"Code0", 0, 15840, 24480, kPortrait, "11.00x17.00"},
    {"Code0Turned", 0, 15840, 24480, kLandscape, "17.00x11.00"},
    {"NegativeCode", -1, 12240, 15840, kPortrait, "8.50x11.00"},
    {"RoundedToCents", 0, 11906, 16838, kPortrait, "8.27x11.69"},
};
INSTANTIATE_TEST_SUITE_P(Table, PaperName, ::testing::ValuesIn(kNames), sw::test::byName);

// The C, D and E size sheets are the ANSI engineering sheets; a size without a code has none.
TEST(PaperCodes, EveryNumberedQtPageSizeMapsBackToTheSameSize) {
    for (int code = 1; code <= kLastNamedPaperCode; ++code) {
        if (const std::optional<QPageSize> size = pageSizeForPaperCode(code)) {
            const std::optional<QPageSize> back = pageSizeForPaperCode(paperCodeForPageSize(*size));
            EXPECT_EQ(back.value_or(QPageSize()).sizePoints(), size->sizePoints()) << code;
        }
    }
    EXPECT_FALSE(pageSizeForPaperCode(0));
    EXPECT_EQ(pageSizeForPaperCode(26)->size(QPageSize::Inch), QSizeF(34, 44));
    EXPECT_EQ(paperCodeForPageSize(QPageSize(QPageSize::AnsiD)), 25);
    EXPECT_EQ(paperCodeForPageSize(
                  QPageSize(QSizeF(36, 24), QPageSize::Inch, QString(), QPageSize::ExactMatch)),
              0);
}

struct ParseCase {
    const char* text;
    double widthPt;  // 0: no size
    double heightPt;
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class PaperArgument : public ::testing::TestWithParam<ParseCase> {};

TEST_P(PaperArgument, NamesAPageSize) {
    const std::optional<QPageSize> size = parsePaperName(QString::fromUtf8(GetParam().text));
    EXPECT_NEAR(size ? size->sizePoints().width() : 0, GetParam().widthPt, 1);
    EXPECT_NEAR(size ? size->sizePoints().height() : 0, GetParam().heightPt, 1);
}

const ParseCase kPaperArguments[] = {
    {"1", 612, 792},   {"9", 595, 842},        {"letter", 612, 792},    {"Tabloid", 792, 1224},
    {"a3", 842, 1191}, {"Arch D", 1728, 2592}, {"36x24in", 2592, 1728}, {"210x297mm", 595, 842},
    {"0", 0, 0},       {"nonsense", 0, 0},     {"0x5in", 0, 0},         {"", 0, 0},
};
INSTANTIATE_TEST_SUITE_P(Table, PaperArgument, ::testing::ValuesIn(kPaperArguments));

struct AreaCase {
    const char* name;
    double pageWidthTwips;
    double pageHeightTwips;
    test::FakePrinterCaps caps;  // dpi x/y, offset x/y, printable w/h, page w/h (portrait)
    double widthIn;              // printable
    double heightIn;
    const char* error;
};

class PrintableArea : public ::testing::TestWithParam<AreaCase> {};

// The page less its four margins in printer pixels and inches; turning the page swaps the sides.
// A printer without a resolution or a page fails with the runtime's error.
TEST_P(PrintableArea, IsThePageLessItsMarginsInEitherOrientation) {
    const AreaCase& c = GetParam();
    FakePrinterDevice printer(QStringLiteral("P"), c.pageWidthTwips, c.pageHeightTwips, c.caps);
    ASSERT_EQ(test::scriptError([&] { (void)readPrinterMetrics(printer); }), c.error);
    if (c.widthIn == 0) {
        return;
    }
    const PrinterMetrics m = readPrinterMetrics(printer);
    EXPECT_EQ(QSizeF(m.printableWidthIn, m.printableHeightIn), QSizeF(c.widthIn, c.heightIn));
    EXPECT_EQ(QSizeF(m.printableWidthPx, m.printableHeightPx),
              QSizeF(c.widthIn * c.caps.dpiX, c.heightIn * c.caps.dpiY));
    EXPECT_DOUBLE_EQ(printer.printableWidthTwips(), m.printableWidthIn * 1440);
    printer.setSetting(PrinterSetting::Orientation, kLandscape);
    const PrinterMetrics turned = readPrinterMetrics(printer);
    EXPECT_EQ(QSizeF(turned.printableHeightIn, turned.printableWidthIn),
              QSizeF(c.widthIn, c.heightIn));
    EXPECT_DOUBLE_EQ(turned.paperWidthIn, m.paperHeightIn);
}

const char* const kFine = "no error";
const AreaCase kAreas[] = {
    {"Borderless", 12240, 15840, {}, 8.5, 11, kFine},
    // Left 100, right 50, top 120, bottom 180.
    {"Uneven", 12240, 15840, {600, 600, 100, 120, 4950, 6300}, 8.25, 10.5, kFine},
    {"Dpi300x600", 12240, 15840, {300, 600, 0, 0, 2550, 6600, 2550}, 8.5, 11, kFine},
    // 2.5 printer pixels across: the half goes to the even neighbour.
    {"HalfPixelToEven", 3600, 1440, {1, 1, 0, 0, 2, 1, 2, 1}, 2, 1, kFine},
    {"NoResolution", 12240, 15840, {0, 600, 0, 0, 5100, 6600, 5000}, 0, 0, "Division by zero"},
    {"NoPage", 0, 0, {0, 600, 0, 0, 0, 6600, 0}, 0, 0, "Overflow"},  // 0 / 0
};
INSTANTIATE_TEST_SUITE_P(Table, PrintableArea, ::testing::ValuesIn(kAreas), sw::test::byName);

PrinterMetrics printable(double widthIn, double heightIn) {
    PrinterMetrics m;
    m.printableWidthIn = m.paperWidthIn = widthIn;
    m.printableHeightIn = m.paperHeightIn = heightIn;
    return m;
}

TEST(TileOrder, MoreThan32767PagesOverflow) {
    const PageGrid grid = computePageGrid(200 * 8 * 200, 200 * 10 * 200, 200, printable(8, 10));
    EXPECT_EQ(grid.pageCount(), 40000);
    EXPECT_EQ(test::scriptError([&] { (void)tileOrder(grid); }), "Overflow");
}

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
    EXPECT_DOUBLE_EQ(SelectedScale(
                         QString::fromUtf8(GetParam().text), [] { return 0.2; }, memory),
                     GetParam().expected);
    EXPECT_DOUBLE_EQ(memory.lastScale, GetParam().expected);
}

// The listed texts, then typed numbers; what is not a number keeps the previous scale.
const ScaleCase kScales[] = {
    {"Fit To Page", 0.2}, {"100%", 1.0}, {"75%", 0.75}, {"66%", 0.66},         {"50%", 0.5},
    {"33%", 0.33},        {"25%", 0.25}, {"10%", 0.1},  {"80", 0.8},           {" 150 ", 1.5},
    {"12.5", 0.125},      {"80%", 0.42}, {"", 0.42},    {"fit to page", 0.42}, {"abc", 0.42},
    {"0", 0.42},          {"-50", 0.42},
};
INSTANTIATE_TEST_SUITE_P(Table, SelectedScaleText, ::testing::ValuesIn(kScales));

struct LayoutCase {
    const char* name;
    LayoutOptions options;
    LayoutSheet sheet;   // has image, w x h pixels, dpi x y, drawn w x h (a tenth of the pixels)
    const char* labels;  // rows, columns and total; empty: none
    bool fitsOnOnePage;
    const char* error;
    const char* preview;  // each object as tag, kind and corners; empty: none; null: not checked
};

class PageLayout : public ::testing::TestWithParam<LayoutCase> {};

// On Letter: the grey cover around the centred crop window, or the page boundaries, the labels,
// or the error with whatever was computed before it.
TEST_P(PageLayout, GivesLabelsPreviewOrTheError) {
    const LayoutCase& c = GetParam();
    ScaleMemory scale;
    const LayoutResult r =
        UpdatePageLayout(c.options, c.sheet, *FakePrinterDevice::letter(), scale);
    EXPECT_EQ(r.error, c.error);
    const PageCountLabels l = r.labels.value_or(PageCountLabels{});
    EXPECT_EQ(QStringList({l.rows, l.columns, l.total}).join(' ').trimmed(), c.labels);
    EXPECT_EQ(r.fitsOnOnePage, c.fitsOnOnePage);
    QStringList preview;
    for (const PreviewObject& o : r.preview.value_or(QList<PreviewObject>{})) {
        preview << QString::asprintf("%d%s %g,%g %g,%g", o.tag,
                                     o.kind == PreviewObject::Kind::Line ? "line" : "rect",
                                     o.from.x(), o.from.y(), o.to.x(), o.to.y());
    }
    if (c.preview != nullptr) {
        EXPECT_EQ(r.preview ? preview.join("; ") : QString(), c.preview);
    }
}

// A sheet of w x h pixels at 200 dpi, drawn at a tenth of its pixels.
LayoutSheet sheet(double w, double h) {
    return {true, w, h, 200, 200, w / 10, h / 10};
}

const LayoutOptions kCrop;
const LayoutOptions kNoCrop{QStringLiteral("100%"), false};
const LayoutOptions kFit{kFitToPage, false};
const char* const kDivZero = "Division by zero";

const LayoutCase kLayouts[] = {
    // Crop window 2750..4450 x 1300..3500 sheet pixels, a tenth on screen.
    {"CropCoversAllButThePage", kCrop, sheet(7200, 4800), "1 1 1", false, "",
     "1rect 0,0 720,130; 2rect 0,350 720,480; 3rect 0,130 275,350; 4rect 445,130 720,350"},
    // 6 x 30 in (the height in inches from resX) at 100 x 50 dpi: the window -125..725 x
    // 475..1025 reaches past both sides of the sheet and takes its vertical values from resY.
    {"CropNarrowSheetAtTwoResolutions", kCrop, LayoutSheet{true, 600, 3000, 100, 50, 60, 300},
     "1 1 1", false, "",
     "1rect 0,0 60,47.5; 2rect 0,102.5 60,300; 3rect 0,47.5 -12.5,102.5; 4rect 72.5,47.5 "
     "60,102.5"},
    // 17 x 33 in on 8.5 x 11 in pages: 2 columns, 3 rows.
    {"GridLines", kNoCrop, sheet(3400, 6600), "3 2 6", false, "",
     "1line 170,0 170,660; 2line 340,0 340,660; 3line 0,220 340,220; 4line 0,440 340,440; "
     "5line 0,660 340,660"},
    {"CropThatFits", kCrop, sheet(1600, 2000), "1 1 1", true, "",
     "1line 170,0 170,200; 2line 0,220 160,220"},
    // Fitted, the limiting side of a wide or a tall sheet spans exactly one page.
    {"FitWideSheet", kFit, sheet(7200, 4800), "1 1 1", false, "",
     "1line 720,0 720,480; 2line 0,932 720,932"},
    {"FitTallSheet", kFit, sheet(4800, 7200), "1 1 1", false, "",
     "1line 556,0 556,720; 2line 0,720 480,720"},
    // The extra page: when the last part of a page and the overlaps of the pages before it (50
    // pixels each) do not fit on one page (1700 x 2200 pixels), one more page on that axis.
    {"ExactlyOnePage", kNoCrop, sheet(1700, 2200), "1 1 1", false, "", nullptr},
    {"OnePixelMore", kNoCrop, sheet(1701, 2201), "2 2 4", false, "", nullptr},
    // .95 x 1700 + 2 x 50 > 1700 across, .96 x 2200 + 2 x 50 > 2200 down: one more each way.
    {"ExtraPageEachWay", kNoCrop, sheet(5015, 6512), "4 4 16", false, "", nullptr},
    {"NoExtraPage", kNoCrop, sheet(4981, 6446), "3 3 9", false, "", nullptr},
    // Rounding noise of a fitted scale does not split the sheet.
    {"AHairOverOnePage", kNoCrop, sheet(1700 * (1 + 1e-12), 2200), "1 1 1", false, "", nullptr},
    {"NoImageCropped", kCrop, LayoutSheet{}, "", false, "", ""},
    {"NoResolution", kNoCrop, LayoutSheet{true, 7200, 4800, 0, 200, 720, 480}, "", false, kDivZero,
     ""},
    // The labels of the crop test (5 x 3 pages) stay when the cover cannot be placed.
    {"LabelsBeforeAFailureStay", kCrop, LayoutSheet{true, 7200, 4800, 200, 200, 720, 0}, "3 5 15",
     false, kDivZero, ""},
};
INSTANTIATE_TEST_SUITE_P(Table, PageLayout, ::testing::ValuesIn(kLayouts), sw::test::byName);

struct VisibleCase {
    const char* name;
    QRectF display;
    QSize visible;
    std::vector<double> expected;  // x0, y0, width, height in sheet pixels; empty: "Overflow"
};

class VisiblePartOfSheet : public ::testing::TestWithParam<VisibleCase> {};

// The part of a 7200 x 4800 sheet the viewer shows, cut out by the print hand-off.
TEST_P(VisiblePartOfSheet, IsTheWindowInSheetPixels) {
    const VisibleCase& c = GetParam();
    std::vector<double> part;
    const QString error = test::scriptError([&] {
        const VisiblePart p = visiblePart(c.display, QSizeF(7200, 4800), c.visible);
        part = {p.x0, p.y0, p.width, double(p.height)};
    });
    EXPECT_EQ(part, c.expected);
    EXPECT_EQ(error, c.expected.empty() ? "Overflow" : "no error");
}

const VisibleCase kVisible[] = {
    // At 200 % and scrolled 10 right, 20 down: 5 and 10 sheet pixels in. 4800 x 333 / 9600 =
    // 166.5: the height rounds half to even.
    {"ScrolledHeightRoundsToEven", {-10, -20, 14400, 9600}, {1000, 333}, {5, 10, 500, 166}},
    {"NotDrawn", {0, 0, 0, 4800}, {10, 10}, {}},  // 0 / 0
    // 40000 visible rows of a sheet drawn at its own size overflow the 16-bit height.
    {"TallerThan16Bits", {0, 0, 7200, 4800}, {10, 40000}, {}},
};
INSTANTIATE_TEST_SUITE_P(Table, VisiblePartOfSheet, ::testing::ValuesIn(kVisible),
                         sw::test::byName);

}  // namespace
}  // namespace sw::printing
