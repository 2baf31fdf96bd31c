#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "host/script_error.h"
#include "printing/fake_printer_device.h"
#include "printing/paged_printer_device.h"
#include "printing/sheet_job_host.h"
#include "printing/test_sheets.h"

namespace sw::printing {
namespace {

// PDF output checked the way a user would: poppler's page count, page size and image list,
// and a rendered page measured with a ruler.
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

    QString path(const QString& name) const { return dir.filePath(name); }

    // Prints `sheet` through the job into `pdf` on `device`.
    PrintJobReport print(PrinterDevice& device, const QImage& sheet, double dpi,
                         LayoutOptions options) {
        SheetJobHost host(imaging::Sheet(sheet, dpi, dpi), std::move(options));
        ScaleMemory scale;
        PrintJobRunner runner;
        PrintJobReport report = runner.run(host, device, scale);
        EXPECT_TRUE(host.failure().isEmpty()) << host.failure().toStdString();
        return report;
    }

    static QString info(const QString& pdf, const QString& key) {
        const QString out = test::runTool(QStringLiteral("pdfinfo"), {pdf});
        const QRegularExpression line(QStringLiteral("^") + key + QStringLiteral(":\\s*(.*)$"),
                                      QRegularExpression::MultilineOption);
        return line.match(out).captured(1).trimmed();
    }

    // Rows of `pdfimages -list` after the header: page, num, type, width, height, color, comp,
    // bpc, ...
    static QList<QStringList> images(const QString& pdf) {
        const QStringList lines =
            test::runTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})
                .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QList<QStringList> rows;
        for (int i = 2; i < lines.size(); ++i) {
            rows.append(lines[i].split(QLatin1Char(' '), Qt::SkipEmptyParts));
        }
        return rows;
    }

    QImage render(const QString& pdf, int page, int dpi) const {
        const QString prefix = path(QStringLiteral("render"));
        test::runTool(QStringLiteral("pdftoppm"),
                      {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"),
                       QString::number(page), QStringLiteral("-l"), QString::number(page),
                       QStringLiteral("-singlefile"), QStringLiteral("-png"), pdf, prefix});
        return QImage(prefix + QStringLiteral(".png"));
    }

    QTemporaryDir dir;
};

TEST_F(PdfOutput, TiledSheetHasOneBitPagesOfTheRightSizeAndMeasuresTrue) {
    const QString pdf = path(QStringLiteral("tiled.pdf"));
    PdfPrinterDevice letter(pdf, QPageSize(QPageSize::Letter), kPortrait);
    // 17 x 22 in with a line every inch: 2 x 2 Letter pages at 100 %.
    const PrintJobReport report =
        print(letter, test::gridSheet(17, 22, 200), 200, {QStringLiteral("100%"), false});
    EXPECT_EQ(report.pagesPrinted, 4);

    EXPECT_EQ(info(pdf, QStringLiteral("Pages")), QStringLiteral("4"));
    EXPECT_TRUE(info(pdf, QStringLiteral("Page size")).startsWith(QStringLiteral("612 x 792")));
    const QList<QStringList> rows = images(pdf);
    ASSERT_EQ(rows.size(), 4);
    for (const QStringList& row : rows) {
        ASSERT_GE(row.size(), 8);
        EXPECT_EQ(row[2], QStringLiteral("image"));
        EXPECT_EQ(row[5], QStringLiteral("gray"));
        EXPECT_EQ(row[7], QStringLiteral("1")) << "bits per component";
        // Only the tile is embedded: 8.5 x 11 in of 200 dpi pixels (plus an edge pixel).
        EXPECT_LE(row[3].toInt(), 1701);
        EXPECT_LE(row[4].toInt(), 2201);
    }

    // The grid lines lie one inch apart on paper: 200 pixels at 200 dpi.
    const QImage page = render(pdf, 1, 200);
    ASSERT_FALSE(page.isNull());
    const QList<double> xs = test::darkRunsAlongRow(page, 1110);
    const QList<double> ys = test::darkRunsAlongColumn(page, 1110);
    ASSERT_GE(xs.size(), 7);
    ASSERT_GE(ys.size(), 9);
    for (int i = 1; i < xs.size(); ++i) {
        EXPECT_NEAR(xs[i] - xs[i - 1], 200, 1) << "column line " << i;
    }
    for (int i = 1; i < ys.size(); ++i) {
        EXPECT_NEAR(ys[i] - ys[i - 1], 200, 1) << "row line " << i;
    }
    // Sheet pixel 1 is at the page's corner, so the line at sheet pixel 200 is 199/200 in in.
    EXPECT_NEAR(xs.front(), 199, 1);
}

TEST_F(PdfOutput, MarginsOfThePrinterShiftTheTileExactly) {
    // A printer with a quarter inch unprintable all round, mimicked by the PDF device.
    test::FakePrinterDevice printer(QStringLiteral("Office"), 12240, 15840,
                                    {600, 600, 150, 150, 4800, 6300, 5100, 6600});
    const QString pdf = path(QStringLiteral("margins.pdf"));
    auto device = PdfPrinterDevice::mimicking(printer, pdf);
    print(*device, test::gridSheet(16, 21, 200), 200, {QStringLiteral("100%"), false});
    EXPECT_EQ(info(pdf, QStringLiteral("Pages")), QStringLiteral("4"));
    const QImage page = render(pdf, 1, 200);
    const QList<double> xs = test::darkRunsAlongRow(page, 1110);
    ASSERT_GE(xs.size(), 2);
    EXPECT_NEAR(xs.front(), 50 + 199, 1);  // quarter-inch margin, then 199/200 in
    EXPECT_NEAR(xs[1] - xs[0], 200, 1);
}

TEST_F(PdfOutput, BlueSheetKeepsAOneBitStencilAndPrintsBlue) {
    QImage sheet = test::gridSheet(8, 10, 100);
    sheet.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 255)});
    const QString pdf = path(QStringLiteral("blue.pdf"));
    PdfPrinterDevice letter(pdf, QPageSize(QPageSize::Letter), kPortrait);
    print(letter, sheet, 100, {QStringLiteral("100%"), false});
    bool stencil = false;
    for (const QStringList& row : images(pdf)) {
        if (row.value(2) == QStringLiteral("mask") || row.value(2) == QStringLiteral("stencil")) {
            stencil = true;
            EXPECT_EQ(row.value(7), QStringLiteral("1"));
        }
    }
    EXPECT_TRUE(stencil);
    const QImage page = render(pdf, 1, 100);
    const QList<double> xs = test::darkRunsAlongRow(page, 555, 200);
    ASSERT_FALSE(xs.isEmpty());
    const QRgb ink = page.pixel(static_cast<int>(xs.front()), 555);
    EXPECT_GT(qBlue(ink), 200);
    EXPECT_LT(qRed(ink), 80);
}

TEST_F(PdfOutput, FitToPageIsOnePage) {
    const QString pdf = path(QStringLiteral("fit.pdf"));
    PdfPrinterDevice letter(pdf, QPageSize(QPageSize::Letter), kLandscape);
    print(letter, test::gridSheet(36, 24, 100), 100, {kFitToPage, true});
    EXPECT_EQ(info(pdf, QStringLiteral("Pages")), QStringLiteral("1"));
    EXPECT_TRUE(info(pdf, QStringLiteral("Page size")).startsWith(QStringLiteral("792 x 612")));
    const QList<QStringList> rows = images(pdf);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].value(7), QStringLiteral("1"));
}

// ---- The PDF device as a stand-in for a printer
// ---------------------------------------------------

struct MimicCase {
    const char* label;
    double pageWidthTwips;
    double pageHeightTwips;
    int paperSize;
    int orientation;
    test::FakePrinterDevice::Caps caps;
};

void PrintTo(const MimicCase& c, std::ostream* os) {
    *os << c.label;
}

class Mimicking : public ::testing::TestWithParam<MimicCase> {};

TEST_P(Mimicking, GivesThePrintersMetrics) {
    const MimicCase& c = GetParam();
    test::FakePrinterDevice printer(QStringLiteral("P"), c.pageWidthTwips, c.pageHeightTwips,
                                    c.caps, c.paperSize);
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

INSTANTIATE_TEST_SUITE_P(
    Table, Mimicking,
    ::testing::Values(MimicCase{"letter borderless", 12240, 15840, 1, kPortrait, {}},
                      MimicCase{"letter margins",
                                12240,
                                15840,
                                1,
                                kPortrait,
                                {600, 600, 150, 100, 4800, 6350, 5100, 6600}},
                      MimicCase{"a4 landscape 300 dpi",
                                11906,
                                16838,
                                9,
                                kLandscape,
                                {300, 300, 50, 50, 2380, 3408, 2480, 3508}},
                      MimicCase{"36 x 24 roll, no code",
                                34560,
                                51840,
                                0,
                                kLandscape,
                                {600, 600, 0, 0, 14400, 21600, 14400, 21600}}),
    test::LabelName());

}  // namespace
}  // namespace sw::printing
