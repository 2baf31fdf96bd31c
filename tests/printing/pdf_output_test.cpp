#include <gtest/gtest.h>

#include <QStandardPaths>
#include <QTemporaryDir>

#include "printing/fake_printer_device.h"
#include "printing/paged_printer_device.h"
#include "printing/sheet_job_host.h"
#include "printing/test_sheets.h"

namespace sw::printing {
namespace {

using test::FakePrinterDevice;

// PDF output checked the way a user would: poppler's page count, page size and image list, and a
// rendered page measured with a ruler.
class PdfOutput : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {"pdfinfo", "pdfimages", "pdftoppm"}) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
                GTEST_SKIP() << tool << " (poppler-utils) is not installed";
            }
        }
        ASSERT_TRUE(dir.isValid());
    }

    void print(PrinterDevice& device, const QImage& sheet, int dpi) {
        SheetJobHost host(imaging::Sheet(sheet, dpi, dpi), {QStringLiteral("100%"), false});
        ScaleMemory scale;
        const PrintJobReport report = PrintJobRunner().run(host, device, scale);
        EXPECT_TRUE(report.failure.isEmpty()) << report.failure.toStdString();
    }

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
};

struct TiledCase {
    const char* label;
    int orientation;
    int margin;  // printer pixels at 600 dpi, all round
    double sheetWidthIn;
    double sheetHeightIn;
    const char* pageSize;
};

SW_PRINT_LABEL(TiledCase)

class TiledPdf : public PdfOutput, public ::testing::WithParamInterface<TiledCase> {};

// A sheet with a line every inch on 2 x 2 pages of one-bit tiles, measuring true on paper.
TEST_P(TiledPdf, HasOneBitPagesOfTheRightSizeAndMeasuresTrue) {
    const TiledCase& c = GetParam();
    const int m = c.margin;
    FakePrinterDevice printer(QStringLiteral("Office"), 12240, 15840,
                              {600, 600, m, m, 5100 - 2 * m, 6600 - 2 * m, 5100, 6600});
    printer.setSetting(PrinterSetting::Orientation, c.orientation);
    print(*PdfPrinterDevice::mimicking(printer, pdf),
          test::gridSheet(c.sheetWidthIn, c.sheetHeightIn, 200), 200);

    EXPECT_EQ(test::pdfInfo(pdf, QStringLiteral("Pages")), "4");
    EXPECT_TRUE(test::pdfInfo(pdf, QStringLiteral("Page size")).startsWith(c.pageSize));
    const QList<QStringList> images = test::pdfImages(pdf);
    ASSERT_EQ(images.size(), 4);
    for (const QStringList& row : images) {
        ASSERT_GE(row.size(), 8);
        EXPECT_EQ(QStringList({row[2], row[5], row[7]}), (QStringList{"image", "gray", "1"}));
        // Only the tile is embedded: 11 x 8.5 in of 200 dpi pixels at most (plus an edge pixel).
        EXPECT_LE(std::max(row[3].toInt(), row[4].toInt()), 2201);
    }

    // One inch of sheet is 200 pixels at 200 dpi; sheet pixel 1 is at the printable area's corner,
    // so the line at sheet pixel 200 lies 199/200 in past the margin.
    const QImage page = test::renderPdfPage(pdf, 1, 200);
    ASSERT_FALSE(page.isNull());
    const QList<double> xs = test::darkRunsAlongRow(page, 1110);
    const QList<double> ys = test::darkRunsAlongColumn(page, 1110);
    ASSERT_GE(xs.size(), 7);
    ASSERT_GE(ys.size(), 7);
    for (int i = 1; i < xs.size(); ++i) {
        EXPECT_NEAR(xs[i] - xs[i - 1], 200, 1) << "column line " << i;
    }
    for (int i = 1; i < ys.size(); ++i) {
        EXPECT_NEAR(ys[i] - ys[i - 1], 200, 1) << "row line " << i;
    }
    EXPECT_NEAR(xs.front(), m / 3.0 + 199, 1);
}

const TiledCase kTiled[] = {
    {"LetterPortrait", kPortrait, 0, 17, 22, "612 x 792"},
    {"LetterLandscape", kLandscape, 0, 22, 17, "792 x 612"},
    {"QuarterInchMargins", kPortrait, 150, 16, 21, "612 x 792"},
};
INSTANTIATE_TEST_SUITE_P(Table, TiledPdf, ::testing::ValuesIn(kTiled), test::LabelName());

// A measurement along the grid line at 5 in, from 12 in to 18 in down the sheet, printed tiled
// at 100 % on 2 x 2 Letter pages: it lies on that line between the two grid lines on page 2 (the
// second row of the first column), in crimson, 6 in long, and on no other page.
TEST_F(PdfOutput, TiledPageCarriesAMeasurementWhereItLies) {
    SheetJobHost host(imaging::Sheet(test::gridSheet(17, 22, 200), 200, 200),
                      {QStringLiteral("100%"), false});
    host.setSheetMarks(
        {{QPolygonF({{1000.5, 2400}, {1000.5, 3600}}), false, "6'-0\"", QPointF(1000.5, 3000)}});
    PdfPrinterDevice letter(pdf, QPageSize(QPageSize::Letter), kPortrait);
    ScaleMemory scale;
    ASSERT_TRUE(PrintJobRunner().run(host, letter, scale).failure.isEmpty());
    const auto crimson = [](QRgb c) { return qRed(c) > 150 && qGreen(c) < 90; };
    for (int page = 1; page <= 4; ++page) {
        const QImage image = test::renderPdfPage(pdf, page, 200);
        ASSERT_FALSE(image.isNull());
        int top = image.height();
        int bottom = -1;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (crimson(image.pixel(x, y))) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        if (page != 2) {
            EXPECT_EQ(bottom, -1) << "page " << page;
            continue;
        }
        ASSERT_GE(bottom, 0);
        EXPECT_NEAR(bottom - top, 1200, 4);  // 6 in at 200 dpi
        double column = 0;  // the centre of the mark across a row of it, away from its label
        int count = 0;
        for (int x = 0; x < image.width(); ++x) {
            if (crimson(image.pixel(x, top + 100))) {
                column += x + 0.5;
                ++count;
            }
        }
        ASSERT_GT(count, 0);
        column /= count;
        const QList<double> lines = test::darkRunsAlongRow(image, bottom + 20);
        const QList<double> rows = test::darkRunsAlongColumn(image, static_cast<int>(column) + 40);
        const auto nearest = [](const QList<double>& runs, double at) {
            double best = 1e9;
            for (const double r : runs) {
                best = std::min(best, std::abs(r - at));
            }
            return best;
        };
        EXPECT_LE(nearest(lines, column), 1.5);  // on the vertical grid line
        EXPECT_LE(nearest(rows, top), 2.5);      // ends on horizontal grid lines
        EXPECT_LE(nearest(rows, bottom), 2.5);
    }
}

// Blue ink costs what black does: each tile one image of one bit per pixel, a stencil of blue.
TEST_F(PdfOutput, BlueSheetStaysOneStencilOfOneBitPerTileAndPrintsBlue) {
    QImage sheet = test::gridSheet(8, 10, 100);
    sheet.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 255)});
    PdfPrinterDevice letter(pdf, QPageSize(QPageSize::Letter), kPortrait);
    print(letter, sheet, 100);
    const QList<QStringList> images = test::pdfImages(pdf);
    ASSERT_EQ(images.size(), 1);
    EXPECT_EQ(QStringList({images[0].value(2), images[0].value(7)}),
              (QStringList{"stencil", "1"}));
    const QImage page = test::renderPdfPage(pdf, 1, 100);
    const QList<double> xs = test::darkRunsAlongRow(page, 555, 200);
    ASSERT_FALSE(xs.isEmpty());
    const QRgb ink = page.pixel(static_cast<int>(xs.front()), 555);
    EXPECT_GT(qBlue(ink), 200);
    EXPECT_LT(qRed(ink), 80);
}

// ---- The PDF device as a stand-in for a printer ------------------------------------------------

struct MimicCase {
    const char* label;
    double pageWidthTwips;
    double pageHeightTwips;
    int paperSize;
    int orientation;
    FakePrinterDevice::Caps caps;
};

SW_PRINT_LABEL(MimicCase)

class Mimicking : public ::testing::TestWithParam<MimicCase> {};

TEST_P(Mimicking, GivesThePrintersMetrics) {
    const MimicCase& c = GetParam();
    FakePrinterDevice printer(QStringLiteral("P"), c.pageWidthTwips, c.pageHeightTwips, c.caps,
                              c.paperSize);
    printer.setSetting(PrinterSetting::Orientation, c.orientation);
    const auto pdf = PdfPrinterDevice::mimicking(printer, QStringLiteral("/tmp/unused.pdf"));
    EXPECT_EQ(pdf->orientation(), c.orientation);
    EXPECT_NEAR(pdf->pageWidthTwips(), printer.pageWidthTwips(), 1);
    EXPECT_NEAR(pdf->pageHeightTwips(), printer.pageHeightTwips(), 1);
    for (DeviceCap cap : {DeviceCap::LogPixelsX, DeviceCap::PhysicalOffsetX,
                          DeviceCap::PhysicalOffsetY, DeviceCap::HorzRes, DeviceCap::VertRes,
                          DeviceCap::PhysicalWidth, DeviceCap::PhysicalHeight}) {
        EXPECT_NEAR(pdf->deviceCaps(cap), printer.deviceCaps(cap), 1) << static_cast<int>(cap);
    }
}

const MimicCase kMimic[] = {
    {"LetterBorderless", 12240, 15840, 1, kPortrait, {}},
    {"LetterMargins", 12240, 15840, 1, kPortrait, {600, 600, 150, 100, 4800, 6350, 5100, 6600}},
    {"A4Landscape300", 11906, 16838, 9, kLandscape, {300, 300, 50, 50, 2380, 3408, 2480, 3508}},
    {"Roll36x24NoCode", 34560, 51840, 0, kLandscape, {600, 600, 0, 0, 14400, 21600, 14400, 21600}},
};
INSTANTIATE_TEST_SUITE_P(Table, Mimicking, ::testing::ValuesIn(kMimic), test::LabelName());

}  // namespace
}  // namespace sw::printing
