// The print job in each mode on a recording printer, and its PDF output read back with poppler.
#include "printing/print_job.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "printing/fake_printer_device.h"
#include "printing/paged_printer_device.h"
#include "printing/sheet_job_host.h"
#include "printing/test_sheets.h"

namespace sw::printing {
namespace {

using sw::test::PrintTo;
using test::FakePrinterDevice;
using ::testing::DoubleNear;
using ::testing::Each;

const LayoutOptions kTiled{QStringLiteral("100%"), false};

// The dialog as the job sees it, on a grid sheet, recording what the job shows.
class FakeHost : public SheetJobHost {
public:
    explicit FakeHost(imaging::Sheet sheet, LayoutOptions options = kTiled, bool marks = false)
        : SheetJobHost(std::move(sheet), std::move(options), {marks}) {}
    FakeHost(double widthIn, double heightIn, int dpi, LayoutOptions options = kTiled)
        : FakeHost(test::grid(widthIn, heightIn, dpi), std::move(options)) {}

    [[nodiscard]] bool batchPrinting() const override { return batch; }
    void ShowPrintStatus(bool show) override { panel += show ? '1' : '0'; }
    void showWhichPage(const QString& text) override { whichPage << text; }
    void processEvents() override { onEvents(); }
    void CloseDialog() override { ++closed; }
    void showFailure(const QString& description) override { failures << description; }

    bool batch = false;
    std::function<void()> onEvents = [] {};
    QString panel;  // the status panel shown (1) and hidden (0), in order
    QStringList whichPage;
    QStringList failures;
    int closed = 0;
};

class PrintJob : public ::testing::Test {
protected:
    PrintJobReport print(FakeHost& host) { return runner.run(host, *printer, scale); }

    std::unique_ptr<FakePrinterDevice> printer = FakePrinterDevice::letter();
    ScaleMemory scale;
    PrintJobRunner runner;
};

struct JobCase {
    const char* name;
    double sheetWidthIn;  // a grid sheet
    double sheetHeightIn;
    int dpi;
    LayoutOptions options;
    int failOnPicture;  // the printer fails on this picture; -1: it has no resolution
    PrintMode mode;
    const char* labels;   // rows, columns and total shown; empty: none
    int pages;            // printed whole (the job's report)
    int out;              // begun (the printer's count)
    const char* printed;  // the log; for several pages each picture's source, then the end
    const char* status;   // the last page caption shown
    const char* panel;    // the status panel shown (1) and hidden (0), in order
    int closed;           // times the dialog is closed, when not in a batch
    const char* failure;  // the job's failure
    bool shown;           // the failure is shown to the user
};

class PrintJobCase : public PrintJob, public ::testing::WithParamInterface<JobCase> {};

// Each mode prints as it says, alone and in a batch (where the dialog stays open); a failure
// before the pages or of a fitted page is shown, one among tiles is not, and the pages already
// drawn go out.
TEST_P(PrintJobCase, PrintsOrFailsAsItsModeSays) {
    const JobCase& c = GetParam();
    for (const bool batch : {false, true}) {
        printer = c.failOnPicture >= 0 ? FakePrinterDevice::letter()
                                       : std::make_unique<FakePrinterDevice>(
                                             QStringLiteral("Broken"), 12240, 15840,
                                             test::FakePrinterCaps{0, 0, 0, 0, 5100, 6600, 5200});
        printer->failOnPicture = std::max(c.failOnPicture, 0);
        FakeHost host(c.sheetWidthIn, c.sheetHeightIn, c.dpi, c.options);
        host.batch = batch;
        const PrintJobReport report = print(host);
        EXPECT_EQ(report.mode, c.mode);
        const PageCountLabels& l = host.labels();
        EXPECT_EQ(QStringList({l.rows, l.columns, l.total}).join(' ').trimmed(), c.labels);
        EXPECT_EQ(QPoint(report.pagesPrinted, printer->pagesPrinted), QPoint(c.pages, c.out));
        QStringList printed = printer->log;
        if (c.out > 1) {
            printed = printed.filter(QRegularExpression("^(picture|end)"))
                          .replaceInStrings(QRegularExpression("^picture \\S+ (\\S+) .*"), "\\1");
        }
        EXPECT_EQ(printed.join(c.out > 1 ? " " : "; "), c.printed);
        EXPECT_EQ(host.whichPage.value(host.whichPage.size() - 1), c.status);
        EXPECT_EQ(host.panel, c.panel);
        EXPECT_EQ(host.closed, batch ? 0 : c.closed) << "batch " << batch;
        EXPECT_EQ(report.failure, c.failure);
        EXPECT_EQ(host.failures, c.shown ? QStringList{c.failure} : QStringList());
    }
}

const LayoutOptions kCrop{QStringLiteral("100%"), true};
const LayoutOptions kFit{kFitToPage, true};
const LayoutOptions kHalfCrop{QStringLiteral("50%"), true};
const char* const kOutOfPaper = "Printer out of paper";

const JobCase kJobs[] = {
    {"CropTickedButFittingIsTiled", 8, 10, 100, kCrop, 0, PrintMode::Tiled, "1 1 1", 1, 1,
     "circle 1,1 r1; picture 800x1000x1 1,1 850x1100 to 1,1 12240x15840; text 1,1 Page 1 of 1; "
     "new page; end",
     "Printing Page 1 of 1", "10", 1, "", false},
    // The whole sheet, its limiting side on the printable area, its aspect kept; the output
    // closes the dialog, then the end step closes it again.
    {"FitToPageWinsOverCrop", 36, 24, 100, kFit, 0, PrintMode::FitToPage, "1 1 1", 1, 1,
     "picture 3600x2400x1 0,0 3600x2400 to 1,1 12240x8160; new page; end", "", "0", 2, "", false},
    // 18 x 12 in at 50 %: the window leaves (18 - 8.5) / 2 in and (12 - 11) / 2 in.
    {"CropPrintsTheCentreAtTheScale", 36, 24, 100, kHalfCrop, 0, PrintMode::CropToOnePage, "1 1 1",
     1, 1,
     "circle 1,1 r1; picture 1800x1200x1 475,50 850x1100 to 1,1 12240x15840; "
     "text 1,1 Page 1 of 1; end",
     "", "", 1, "", false},
    {"NoImagePrintsNothingAndSaysNothing", 0, 0, 100, kTiled, 0, PrintMode::Tiled, "", 0, 0, "", "",
     "10", 1, "", false},
    // 3 x 2 pages down the columns: the first two of a row or column share the overlap (50
    // pixels), later ones abut.
    {"ThreeByTwoGridRunsDownTheColumns", 25.5, 22, 200, kTiled, 0, PrintMode::Tiled, "2 3 6", 6, 6,
     "1,1 1,2151 1651,1 1651,2151 3351,1 3351,2151 end", "Printing Page 6 of 6", "10", 1, "",
     false},
    {"FailureAmongTilesIsSilentAndKeepsPrintedPages", 17, 33, 200, kTiled, 3, PrintMode::Tiled,
     "3 2 6", 2, 3, "1,1 1,2151 end", "Printing Page 3 of 6", "10", 1, kOutOfPaper, false},
    {"FailureBeforeThePagesIsShown", 17, 33, 200, kTiled, -1, PrintMode::Tiled, "", 0, 0, "end", "",
     "10", 1, "Division by zero", true},
    {"FailureOfAFittedPageIsShown", 10, 10, 100, kFit, 1, PrintMode::FitToPage, "1 1 1", 0, 0,
     "end", "", "0", 1, kOutOfPaper, true},
};
INSTANTIATE_TEST_SUITE_P(Table, PrintJobCase, ::testing::ValuesIn(kJobs), sw::test::byName);

// Eight crosses per page in the middle of the shared quarter-inch strips (a mark on the right
// seam of one page and on the left seam of the next mark the same point), then the grid place.
TEST_F(PrintJob, RegistrationMarksAddSeamCrossesAndTheGridPlace) {
    FakeHost host(test::grid(17, 22, 200), kTiled, true);
    (void)print(host);
    EXPECT_EQ(printer->log.filter(" r72").size(), 4 * 8);
    EXPECT_EQ(printer->log.filter(" r72").mid(0, 4),
              (QStringList{"circle 180,3960 r72", "circle 12060,3960 r72", "circle 3060,180 r72",
                           "circle 3060,15660 r72"}));
    EXPECT_EQ(printer->log.filter(" R"),
              (QStringList{"text 504,15300 R1/C1", "text 504,15300 R2/C1", "text 504,15300 R1/C2",
                           "text 504,15300 R2/C2"}));
}

TEST_F(PrintJob, ASecondPrintDuringTheJobIsRefused) {
    FakeHost host(17, 33, 200, kTiled);
    int refused = 0;
    host.onEvents = [&] { refused += print(host).started ? 0 : 1; };
    EXPECT_TRUE(print(host).started);
    EXPECT_EQ(refused, 6);
    EXPECT_EQ(printer->pagesPrinted, 6);
    EXPECT_FALSE(runner.isRunning());
}

// PDF output checked the way a user would: poppler's page count, page size and image list, and a
// rendered page measured with a ruler.
class PdfOutput : public PrintJob {
protected:
    void SetUp() override {
        for (const char* tool : {"pdfinfo", "pdfimages", "pdftoppm"}) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
                GTEST_SKIP() << tool << " (poppler-utils) is not installed";
            }
        }
        ASSERT_TRUE(dir.isValid());
    }
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
};

// A sheet with a line every inch on 2 x 2 pages of one-bit tiles, measuring true on paper, on a
// PDF standing in for a printer (print to a folder) in landscape with uneven margins (left and
// right 90, top and bottom 150 printer pixels once turned).
TEST_F(PdfOutput, TiledPagesAreOneBitOfTheRightSizeAndMeasureTrue) {
    FakePrinterDevice office(QStringLiteral("Office"), 12240, 15840,
                             {600, 600, 150, 90, 5100 - 300, 6600 - 180});
    office.setSetting(PrinterSetting::Orientation, kLandscape);
    FakeHost host(21, 16, 200);
    EXPECT_EQ(runner.run(host, *PdfPrinterDevice::mimicking(office, pdf), scale).failure, "");

    EXPECT_EQ(test::pdfInfo(pdf, QStringLiteral("Pages")), "4");
    EXPECT_TRUE(test::pdfInfo(pdf, QStringLiteral("Page size")).startsWith("792 x 612"));
    const QList<QStringList> images = test::pdfImages(pdf);
    ASSERT_EQ(images.size(), 4);
    for (const QStringList& row : images) {
        ASSERT_GE(row.size(), 8);
        EXPECT_EQ(QStringList({row[2], row[5], row[7]}), (QStringList{"image", "gray", "1"}));
        // Only the tile is embedded: 10.7 x 8 in of 200 dpi pixels at most (plus an edge pixel).
        EXPECT_LE(std::max(row[3].toInt(), row[4].toInt()), 2141);
    }
    // One inch of sheet is 200 pixels at 200 dpi; sheet pixel 1 is at the printable area's
    // corner, so the line at sheet pixel 200 lies 199/200 in past the margin.
    const QImage page = test::renderPdfPage(pdf, 1, 200);
    ASSERT_FALSE(page.isNull());
    const QList<double> xs = test::darkRunsAlongRow(page, 1110);
    const QList<double> ys = test::darkRunsAlongColumn(page, 1110);
    ASSERT_GE(std::min(xs.size(), ys.size()), 7);
    EXPECT_THAT(test::gaps(xs) + test::gaps(ys), Each(DoubleNear(200, 1)));
    EXPECT_NEAR(xs.front(), 90 / 3.0 + 199, 1);
    EXPECT_NEAR(ys.front(), 150 / 3.0 + 199, 1);
}

// A measurement along the grid line at 5 in, from 12 in to 18 in down the sheet, printed tiled
// at 100 % on 2 x 2 Letter pages, lies where it lies on the sheet: on page 2 only (the second
// row of the first column, its tile from sheet pixel 1, 2151), in crimson, 6 in long.
TEST_F(PdfOutput, TiledPageCarriesAMeasurementWhereItLies) {
    FakeHost host(17, 22, 200);
    host.setSheetMarks(
        {{QPolygonF({{1000.5, 2400}, {1000.5, 3600}}), false, "6'-0\"", QPointF(1000.5, 3000)}});
    PdfPrinterDevice letter(pdf, QPageSize(QPageSize::Letter), kPortrait);
    ASSERT_EQ(runner.run(host, letter, scale).failure, "");
    const auto crimson = [](QRgb c) { return qRed(c) > 150 && qGreen(c) < 90; };
    for (int page = 1; page <= 4; ++page) {
        const QImage image = test::renderPdfPage(pdf, page, 200);
        ASSERT_FALSE(image.isNull());
        QRect box;   // the crimson pixels' bounds
        QRect line;  // and on row 400, away from the label
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRect at = crimson(image.pixel(x, y)) ? QRect(x, y, 1, 1) : QRect();
                box |= at;
                line |= y == 400 ? at : QRect();
            }
        }
        EXPECT_EQ(box.isNull(), page != 2) << "page " << page;
        if (page == 2) {
            EXPECT_NEAR(box.top(), 249, 2);
            EXPECT_NEAR(box.bottom(), 1449, 2);
            EXPECT_NEAR((line.left() + line.right()) / 2.0, 999, 1.5);  // on the grid line
        }
    }
}

}  // namespace
}  // namespace sw::printing
