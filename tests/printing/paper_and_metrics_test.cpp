#include <gtest/gtest.h>

#include "printing/fake_printer_device.h"
#include "printing/paper_names.h"
#include "printing/printer_metrics.h"
#include "printing/test_sheets.h"

namespace sw::printing {
namespace {

using test::FakePrinterDevice;

// ---- Paper names -------------------------------------------------------------------------------

struct NameCase {
    const char* label;
    int code;
    double widthTwips;
    double heightTwips;
    const char* name;
};

SW_PRINT_LABEL(NameCase)

class PaperName : public ::testing::TestWithParam<NameCase> {};

TEST_P(PaperName, IsTheTableNameOrElseThePageSizeInInches) {
    const NameCase& c = GetParam();
    EXPECT_EQ(PaperSizeName(c.code, c.widthTwips, c.heightTwips), QString::fromUtf8(c.name));
}

const NameCase kNames[] = {
    {"Letter", 1, 720, 1440, "Letter, 8 1/2 x 11 in"},
    {"A4", 9, 720, 1440, "A4, 210 x 297 mm"},
    {"Code17", 17, 720, 1440, "11 x 17 in"},
    {"CSheet", 24, 720, 1440, "C size sheet"},
    {"EnvelopeC5", 28, 720, 1440, "Envelope C5, 162 x 229 mm"},
    {"EnvelopeC3", 29, 720, 1440, "Envelope C3, 324 x 458 mm"},
    {"LastNamed", 41, 720, 1440, "German Legal Fanfold, 8 1/2 x 13 in"},
    {"Code0", 0, 15840, 24480, "11.00x17.00"},
    {"Code42", 42, 12240, 15840, "8.50x11.00"},
    {"Code66", 66, 34560, 51840, "24.00x36.00"},
    {"NegativeCode", -1, 12240, 15840, "8.50x11.00"},
    {"HalfAnInchWide", 0, 720, 1440, ".50x1.00"},
    {"RoundedToCents", 0, 11906, 16838, "8.27x11.69"},
};
INSTANTIATE_TEST_SUITE_P(Table, PaperName, ::testing::ValuesIn(kNames), test::LabelName());

TEST(PaperName, FallbackFollowsThePrintersOrientation) {
    FakePrinterDevice printer(QStringLiteral("Plotter"), 15840, 24480, {}, 0);
    EXPECT_EQ(PaperSizeName(0, printer), QStringLiteral("11.00x17.00"));
    printer.setSetting(PrinterSetting::Orientation, kLandscape);
    EXPECT_EQ(PaperSizeName(0, printer), QStringLiteral("17.00x11.00"));
    EXPECT_EQ(PaperSizeName(3, printer), QStringLiteral("Tabloid, 11 x 17 in"));
}

TEST(PaperCodes, EveryNumberedQtPageSizeMapsBackToTheSameSize) {
    int mapped = 0;
    for (int code = 1; code <= kLastNamedPaperCode; ++code) {
        if (const std::optional<QPageSize> size = pageSizeForPaperCode(code)) {
            ++mapped;
            const int back = paperCodeForPageSize(*size);
            ASSERT_GE(back, 1) << code;
            EXPECT_EQ(pageSizeForPaperCode(back)->sizePoints(), size->sizePoints()) << code;
        }
    }
    EXPECT_GE(mapped, 30);
    EXPECT_EQ(paperCodeForPageSize(QPageSize(QPageSize::A4)), 9);
    EXPECT_FALSE(pageSizeForPaperCode(0));
    // The C, D and E size sheets are the ANSI engineering sheets.
    EXPECT_EQ(pageSizeForPaperCode(24)->size(QPageSize::Inch), QSizeF(17, 22));
    EXPECT_EQ(pageSizeForPaperCode(26)->size(QPageSize::Inch), QSizeF(34, 44));
    EXPECT_EQ(paperCodeForPageSize(QPageSize(QPageSize::AnsiD)), 25);
    const QPageSize unnamed(QSizeF(36, 24), QPageSize::Inch, QString(), QPageSize::ExactMatch);
    EXPECT_EQ(paperCodeForPageSize(unnamed), 0);
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
    ASSERT_EQ(size.has_value(), GetParam().widthPt > 0);
    if (size) {
        EXPECT_NEAR(size->sizePoints().width(), GetParam().widthPt, 1);
        EXPECT_NEAR(size->sizePoints().height(), GetParam().heightPt, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, PaperArgument,
    ::testing::Values(ParseCase{"1", 612, 792}, ParseCase{"9", 595, 842},
                      ParseCase{"letter", 612, 792}, ParseCase{"Tabloid", 792, 1224},
                      ParseCase{"a3", 842, 1191}, ParseCase{"Arch D", 1728, 2592},
                      ParseCase{"36x24in", 2592, 1728}, ParseCase{"210x297mm", 595, 842},
                      ParseCase{"0", 0, 0}, ParseCase{"nonsense", 0, 0}, ParseCase{"0x5in", 0, 0},
                      ParseCase{"", 0, 0}));

// ---- Printable area ----------------------------------------------------------------------------

struct AreaCase {
    const char* label;
    double pageWidthTwips;
    double pageHeightTwips;
    FakePrinterDevice::Caps caps;  // dpi x/y, offset x/y, printable w/h, page w/h (portrait)
    int widthPx;
    int heightPx;
    double widthIn;
    double heightIn;
};

SW_PRINT_LABEL(AreaCase)

class PrintableArea : public ::testing::TestWithParam<AreaCase> {};

// The page less its four margins; turning the page swaps the sides and the twips agree.
TEST_P(PrintableArea, IsThePageLessItsMarginsInEitherOrientation) {
    const AreaCase& c = GetParam();
    FakePrinterDevice printer(QStringLiteral("P"), c.pageWidthTwips, c.pageHeightTwips, c.caps);
    const PrinterMetrics m = readPrinterMetrics(printer);
    EXPECT_EQ(m.printableWidthPx, c.widthPx);
    EXPECT_EQ(m.printableHeightPx, c.heightPx);
    EXPECT_DOUBLE_EQ(m.printableWidthIn, c.widthIn);
    EXPECT_DOUBLE_EQ(m.printableHeightIn, c.heightIn);
    EXPECT_DOUBLE_EQ(printer.printableWidthTwips(), m.printableWidthIn * 1440);

    printer.setSetting(PrinterSetting::Orientation, kLandscape);
    const PrinterMetrics turned = readPrinterMetrics(printer);
    EXPECT_DOUBLE_EQ(turned.paperWidthIn, m.paperHeightIn);
    EXPECT_DOUBLE_EQ(turned.printableWidthIn, m.printableHeightIn);
    EXPECT_DOUBLE_EQ(turned.printableHeightIn, m.printableWidthIn);
}

const AreaCase kAreas[] = {
    {"Borderless", 12240, 15840, {600, 600, 0, 0, 5100, 6600, 5100, 6600}, 5100, 6600, 8.5, 11},
    {"Quarter", 12240, 15840, {600, 600, 150, 150, 4800, 6300, 5100, 6600}, 4800, 6300, 8, 10.5},
    // Left 100, right 50, top 120, bottom 180.
    {"Uneven", 12240, 15840, {600, 600, 100, 120, 4950, 6300, 5100, 6600}, 4950, 6300, 8.25, 10.5},
    {"Dpi300x600", 12240, 15840, {300, 600, 0, 0, 2550, 6600, 2550, 6600}, 2550, 6600, 8.5, 11},
    // 2.5 printer pixels across: the half goes to the even neighbour.
    {"HalfPixelToEven", 3600, 1440, {1, 1, 0, 0, 2, 1, 2, 1}, 2, 1, 2, 1},
};
INSTANTIATE_TEST_SUITE_P(Table, PrintableArea, ::testing::ValuesIn(kAreas), test::LabelName());

TEST(PrintableArea, NoUsablePrinterFailsWithTheRuntimeError) {
    const FakePrinterDevice noDpi(QStringLiteral("P"), 12240, 15840,
                                  {0, 600, 0, 0, 5100, 6600, 5000, 6600});
    EXPECT_EQ(test::scriptError([&] { (void)readPrinterMetrics(noDpi); }), "Division by zero");
    const FakePrinterDevice noPage(QStringLiteral("P"), 0, 0, {0, 600, 0, 0, 0, 6600, 0, 6600});
    EXPECT_EQ(test::scriptError([&] { (void)readPrinterMetrics(noPage); }), "Overflow");  // 0 / 0
}

}  // namespace
}  // namespace sw::printing
