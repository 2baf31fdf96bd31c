#include <gtest/gtest.h>

#include "host/script_error.h"
#include "printing/fake_printer_device.h"
#include "printing/paper_names.h"
#include "printing/printer_metrics.h"
#include "printing/test_sheets.h"

namespace sw::printing {
namespace {

using test::FakePrinterDevice;

// ---- Paper names -----------------------------------------------------------------------------

struct NameCase {
    int code;
    const char* name;
};

void PrintTo(const NameCase& c, std::ostream* os) {
    *os << "code " << c.code;
}

class NamedPaper : public ::testing::TestWithParam<NameCase> {};

TEST_P(NamedPaper, HasItsNameWhateverThePageSize) {
    EXPECT_EQ(PaperSizeName(GetParam().code, 720, 1440), QString::fromUtf8(GetParam().name));
}

INSTANTIATE_TEST_SUITE_P(Table, NamedPaper,
                         ::testing::Values(NameCase{1, "Letter, 8 1/2 x 11 in"},
                                           NameCase{9, "A4, 210 x 297 mm"},
                                           NameCase{17, "11 x 17 in"}, NameCase{24, "C size sheet"},
                                           NameCase{28, "Envelope C5, 162 x 229 mm"},
                                           NameCase{29, "Envelope C3, 324 x 458 mm"},
                                           NameCase{41, "German Legal Fanfold, 8 1/2 x 13 in"}));

struct FallbackCase {
    const char* label;
    int code;
    double widthTwips;
    double heightTwips;
    const char* text;
};

void PrintTo(const FallbackCase& c, std::ostream* os) {
    *os << c.label;
}

class FallbackPaper : public ::testing::TestWithParam<FallbackCase> {};

TEST_P(FallbackPaper, ShowsThePageSizeInInches) {
    const FallbackCase& c = GetParam();
    EXPECT_EQ(PaperSizeName(c.code, c.widthTwips, c.heightTwips), QString::fromUtf8(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    Table, FallbackPaper,
    ::testing::Values(FallbackCase{"code 0", 0, 15840, 24480, "11.00x17.00"},
                      FallbackCase{"code 42", 42, 12240, 15840, "8.50x11.00"},
                      FallbackCase{"code 66 (A2)", 66, 34560, 51840, "24.00x36.00"},
                      FallbackCase{"negative code", -1, 12240, 15840, "8.50x11.00"},
                      FallbackCase{"half an inch wide", 0, 720, 1440, ".50x1.00"},
                      FallbackCase{"rounded to cents", 0, 11906, 16838, "8.27x11.69"}),
    test::LabelName());

TEST(PaperSizeName, FallbackFollowsThePrintersOrientation) {
    FakePrinterDevice printer(QStringLiteral("Plotter"), 15840, 24480, {}, 0);
    EXPECT_EQ(PaperSizeName(0, printer), QStringLiteral("11.00x17.00"));
    printer.setSetting(PrinterSetting::Orientation, kLandscape);
    EXPECT_EQ(PaperSizeName(0, printer), QStringLiteral("17.00x11.00"));
    EXPECT_EQ(PaperSizeName(3, printer), QStringLiteral("Tabloid, 11 x 17 in"));
}

TEST(PaperCodes, EveryNumberedQtPageSizeMapsBackToTheSameSize) {
    int mapped = 0;
    for (int code = 1; code <= kLastNamedPaperCode; ++code) {
        const std::optional<QPageSize> size = pageSizeForPaperCode(code);
        if (!size) {
            continue;
        }
        ++mapped;
        const int back = paperCodeForPageSize(*size);
        ASSERT_GE(back, 1) << code;
        EXPECT_EQ(pageSizeForPaperCode(back)->sizePoints(), size->sizePoints()) << code;
    }
    EXPECT_GE(mapped, 30);
    EXPECT_EQ(paperCodeForPageSize(QPageSize(QPageSize::Letter)), 1);
    EXPECT_EQ(paperCodeForPageSize(QPageSize(QPageSize::A4)), 9);
    EXPECT_FALSE(pageSizeForPaperCode(0));
    // The C, D and E size sheets are the ANSI engineering sheets.
    EXPECT_EQ(pageSizeForPaperCode(24)->size(QPageSize::Inch), QSizeF(17, 22));
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
    if (GetParam().widthPt == 0) {
        EXPECT_FALSE(size);
        return;
    }
    ASSERT_TRUE(size);
    EXPECT_NEAR(size->sizePoints().width(), GetParam().widthPt, 1);
    EXPECT_NEAR(size->sizePoints().height(), GetParam().heightPt, 1);
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
    FakePrinterDevice::Caps caps;
    int printableWidthPx;
    int printableHeightPx;
    double printableWidthIn;
    double printableHeightIn;
};

void PrintTo(const AreaCase& c, std::ostream* os) {
    *os << c.label;
}

class PrintableArea : public ::testing::TestWithParam<AreaCase> {};

TEST_P(PrintableArea, IsThePageLessItsFourMargins) {
    const AreaCase& c = GetParam();
    const FakePrinterDevice printer(QStringLiteral("P"), c.pageWidthTwips, c.pageHeightTwips,
                                    c.caps);
    const PrinterMetrics m = readPrinterMetrics(printer);
    EXPECT_EQ(m.printableWidthPx, c.printableWidthPx);
    EXPECT_EQ(m.printableHeightPx, c.printableHeightPx);
    EXPECT_DOUBLE_EQ(m.printableWidthIn, c.printableWidthIn);
    EXPECT_DOUBLE_EQ(m.printableHeightIn, c.printableHeightIn);
    EXPECT_EQ(m.rightMargin, c.caps.physWidth - c.caps.horzRes - c.caps.offsetX);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PrintableArea,
    ::testing::Values(
        // No margins: printable inches equal paper inches.
        AreaCase{"borderless",
                 12240,
                 15840,
                 {600, 600, 0, 0, 5100, 6600, 5100, 6600},
                 5100,
                 6600,
                 8.5,
                 11.0},
        // A quarter inch all round at 600 dpi.
        AreaCase{"quarter inch margins",
                 12240,
                 15840,
                 {600, 600, 150, 150, 4800, 6300, 5100, 6600},
                 4800,
                 6300,
                 8.0,
                 10.5},
        // Uneven margins: left 100, right 50, top 120, bottom 80.
        AreaCase{"uneven margins",
                 12240,
                 15840,
                 {600, 600, 100, 120, 4950, 6400, 5100, 6600},
                 4950,
                 6400,
                 8.25,
                 6400.0 / 600},
        // Different resolutions per axis.
        AreaCase{"300 x 600 dpi",
                 12240,
                 15840,
                 {300, 600, 0, 0, 2550, 6600, 2550, 6600},
                 2550,
                 6600,
                 8.5,
                 11.0},
        // 2.5 printer pixels across: the half goes to the even neighbour.
        AreaCase{
            "half pixel rounds to even", 3600, 1440, {1, 1, 0, 0, 2, 1, 2, 1}, 2, 1, 2.0, 1.0}),
    test::LabelName());

TEST(PrintableArea, FollowsTheOrientation) {
    FakePrinterDevice printer(QStringLiteral("P"), 12240, 15840,
                              {600, 600, 150, 100, 4800, 6400, 5100, 6600});
    const PrinterMetrics portrait = readPrinterMetrics(printer);
    printer.setSetting(PrinterSetting::Orientation, kLandscape);
    const PrinterMetrics landscape = readPrinterMetrics(printer);
    EXPECT_DOUBLE_EQ(landscape.paperWidthIn, portrait.paperHeightIn);
    EXPECT_DOUBLE_EQ(landscape.printableWidthIn, portrait.printableHeightIn);
    EXPECT_DOUBLE_EQ(landscape.printableHeightIn, portrait.printableWidthIn);
}

TEST(PrintableArea, NoUsablePrinterFailsWithTheRuntimeError) {
    FakePrinterDevice printer(QStringLiteral("P"), 12240, 15840,
                              {0, 600, 0, 0, 5100, 6600, 5000, 6600});
    try {
        (void)readPrinterMetrics(printer);
        FAIL() << "expected an error";
    } catch (const host::ScriptError& e) {
        EXPECT_EQ(e.description(), QStringLiteral("Division by zero"));
    }
    // No page at all: 0 / 0.
    printer.caps = {};
    printer.caps.dpiX = 0;
    printer.caps.horzRes = 0;
    printer.caps.physWidth = 0;
    const FakePrinterDevice empty(QStringLiteral("P"), 0, 0, printer.caps);
    EXPECT_THROW((void)readPrinterMetrics(empty), host::ScriptError);
}

TEST(PrintableArea, PrintableTwipsAgreeWithTheMetrics) {
    const FakePrinterDevice printer(QStringLiteral("P"), 12240, 15840,
                                    {600, 600, 150, 150, 4800, 6300, 5100, 6600});
    const PrinterMetrics m = readPrinterMetrics(printer);
    EXPECT_DOUBLE_EQ(printer.printableWidthTwips(), m.printableWidthIn * 1440);
    EXPECT_DOUBLE_EQ(printer.printableHeightTwips(), m.printableHeightIn * 1440);
}

}  // namespace
}  // namespace sw::printing
