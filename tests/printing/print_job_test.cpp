#include "printing/print_job.h"

#include <gtest/gtest.h>

#include <functional>


#include "printing/fake_printer_device.h"
#include "printing/test_sheets.h"

namespace sw::printing {
namespace {

using Op = test::FakePrinterDevice::Op;

// The dialog as the job sees it, recording what the job shows.
class FakeHost : public PrintJobHost {
public:
    explicit FakeHost(QImage sheet, double dpi = 200) : m_sheet(std::move(sheet)), m_dpi(dpi) {}

    [[nodiscard]] LayoutSheet layoutSheet() const override {
        LayoutSheet s;
        s.hasImage = !m_sheet.isNull();
        s.imageWidthPx = m_sheet.width();
        s.imageHeightPx = m_sheet.height();
        s.resX = m_dpi;
        s.resY = m_dpi;
        s.displayWidth = m_sheet.width() / 10.0;
        s.displayHeight = m_sheet.height() / 10.0;
        return s;
    }
    void resampleSheet(double width, double height) override {
        resamples.append(QSizeF(width, height));
        const QSize size(qRound(width), qRound(height));
        // The imaging control keeps the size in inches: the resolution follows.
        m_dpi = m_dpi * size.width() / m_sheet.width();
        m_sheet = m_sheet.scaled(size);
    }
    [[nodiscard]] QImage sheetPicture() const override { return m_sheet; }
    [[nodiscard]] LayoutOptions layoutOptions() const override { return options; }
    [[nodiscard]] bool batchPrinting() const override { return batch; }
    [[nodiscard]] TileMarks tileMarks() const override { return {marks}; }
    void showPageCountLabels(const PageCountLabels& l) override { labels.append(l); }
    void ShowPrintStatus(bool show) override { statusPanel.append(show); }
    void showWhichPage(const QString& text) override { whichPage.append(text); }
    void processEvents() override {
        if (onEvents) {
            onEvents();
        }
    }
    void CloseDialog() override { ++closed; }
    void showFailure(const QString& description) override { failures.append(description); }

    LayoutOptions options;
    bool batch = false;
    bool marks = false;
    std::function<void()> onEvents;
    QList<QSizeF> resamples;
    QList<PageCountLabels> labels;
    QList<bool> statusPanel;
    QStringList whichPage;
    QStringList failures;
    int closed = 0;

private:
    QImage m_sheet;
    double m_dpi;
};

LayoutOptions opts(const QString& scale, bool crop) {
    return {scale, crop};
}

// ---- Jobs
// -------------------------------------------------------------------------------------------

class PrintJob : public ::testing::Test {
protected:
    std::unique_ptr<test::FakePrinterDevice> printer = test::FakePrinterDevice::letter();
    ScaleMemory scale;
    PrintJobRunner runner;
};

TEST_F(PrintJob, TwoByThreeGridPrintsSixLabelledPagesDownTheColumns) {
    FakeHost host(test::gridSheet(17, 33, 200));  // 2 x 3 pages of 8.5 x 11 in
    host.options = opts(QStringLiteral("100%"), false);
    const PrintJobReport report = runner.run(host, *printer, scale);

    EXPECT_EQ(report.mode, PrintMode::Tiled);
    EXPECT_EQ(report.pagesPrinted, 6);
    EXPECT_EQ(printer->pagesPrinted(), 6);
    EXPECT_EQ(printer->documentsEnded(), 1);
    ASSERT_EQ(host.whichPage.size(), 6);
    EXPECT_EQ(host.whichPage.front(), QStringLiteral("Printing Page 1 of 6"));
    EXPECT_EQ(host.whichPage.back(), QStringLiteral("Printing Page 6 of 6"));
    EXPECT_EQ(host.statusPanel, (QList<bool>{true, false}));
    EXPECT_EQ(host.closed, 1);
    EXPECT_TRUE(host.failures.isEmpty());
    EXPECT_EQ(host.labels.back(), (PageCountLabels{"3", "2", "6"}));

    // Every page: the start mark, the tile over the printable area, the label, a new page.
    const auto pictures = printer->ops(Op::Kind::Picture);
    const auto texts = printer->ops(Op::Kind::Text);
    const auto circles = printer->ops(Op::Kind::Circle);
    ASSERT_EQ(pictures.size(), 6u);
    ASSERT_EQ(texts.size(), 6u);
    ASSERT_EQ(circles.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(circles[i].at, QPointF(1, 1));
        EXPECT_EQ(circles[i].radius, 1);
        EXPECT_EQ(pictures[i].dest, QRectF(1, 1, 12240, 15840));
        EXPECT_EQ(pictures[i].pictureDepth, 1);
        EXPECT_EQ(texts[i].text, QStringLiteral("Page %1 of 6").arg(i + 1));
        EXPECT_EQ(texts[i].at, QPointF(1, 1));
    }
    EXPECT_EQ(pictures[1].source, QRectF(1, 2200 + 1 - 50, 1700, 2200));  // column 1, row 2
    EXPECT_EQ(pictures[3].source, QRectF(1700 + 1 - 50, 1, 1700, 2200));  // column 2, row 1
    EXPECT_EQ(printer->ops().back().kind, Op::Kind::EndDoc);
}

TEST_F(PrintJob, CropTickedButFittingPrintsOneTiledPageWithTheStatusPanel) {
    FakeHost host(test::gridSheet(8, 10, 200));
    host.options = opts(QStringLiteral("100%"), true);
    const PrintJobReport report = runner.run(host, *printer, scale);
    EXPECT_EQ(report.mode, PrintMode::Tiled);
    EXPECT_EQ(host.whichPage, QStringList{QStringLiteral("Printing Page 1 of 1")});
    EXPECT_EQ(host.statusPanel, (QList<bool>{true, false}));
    ASSERT_EQ(printer->ops(Op::Kind::Text).size(), 1u);
    EXPECT_EQ(printer->ops(Op::Kind::Text)[0].text, QStringLiteral("Page 1 of 1"));
    EXPECT_EQ(printer->pagesPrinted(), 1);
}

TEST_F(PrintJob, FitToPageWinsOverCrop) {
    FakeHost host(test::gridSheet(36, 24, 200));
    host.options = opts(kFitToPage, true);
    const PrintJobReport report = runner.run(host, *printer, scale);
    EXPECT_EQ(report.mode, PrintMode::FitToPage);
    const auto pictures = printer->ops(Op::Kind::Picture);
    ASSERT_EQ(pictures.size(), 1u);
    // The whole sheet, its width on the printable width, its aspect kept, from (1, 1).
    EXPECT_EQ(pictures[0].source, QRectF(0, 0, 7200, 4800));
    EXPECT_EQ(pictures[0].dest, QRectF(1, 1, 12240, 8160));
    EXPECT_TRUE(printer->ops(Op::Kind::Circle).empty());
    EXPECT_TRUE(printer->ops(Op::Kind::Text).empty());
    EXPECT_EQ(printer->pagesPrinted(), 1);
    EXPECT_TRUE(host.resamples.isEmpty());
    // The output closes the dialog, then the end step closes it again.
    EXPECT_EQ(host.closed, 2);
    EXPECT_EQ(host.statusPanel, QList<bool>{false});
}

TEST_F(PrintJob, CroppedPagePrintsTheCentreWindowAtTheChosenScale) {
    FakeHost host(test::gridSheet(36, 24, 200));
    host.options = opts(QStringLiteral("50%"), true);
    const PrintJobReport report = runner.run(host, *printer, scale);
    EXPECT_EQ(report.mode, PrintMode::CropToOnePage);
    EXPECT_EQ(host.resamples, QList<QSizeF>{QSizeF(3600, 2400)});
    const auto pictures = printer->ops(Op::Kind::Picture);
    ASSERT_EQ(pictures.size(), 1u);
    // 18 x 12 in at 50 %: the window leaves (18 - 8.5) / 2 in and (12 - 11) / 2 in.
    EXPECT_EQ(pictures[0].source, QRectF(950, 100, 1700, 2200));
    EXPECT_EQ(pictures[0].pictureSize, QSize(3600, 2400));
    EXPECT_EQ(printer->ops(Op::Kind::Text)[0].text, QStringLiteral("Page 1 of 1"));
    // Ends the document without a new page; no status panel; labels 1 x 1.
    EXPECT_TRUE(printer->ops(Op::Kind::NewPage).empty());
    EXPECT_EQ(printer->documentsEnded(), 1);
    EXPECT_TRUE(host.statusPanel.isEmpty());
    EXPECT_EQ(host.labels.back(), onePageLabels());
    EXPECT_EQ(host.closed, 1);
}

TEST_F(PrintJob, ScaledTilesMeasureTheOriginalResolution) {
    // 34 x 44 in at 50 % is 17 x 22 in: 2 x 2 pages, although the resample halves the pixels
    // and the imaging control halves the resolution with them.
    FakeHost host(test::gridSheet(34, 44, 100), 100);
    host.options = opts(QStringLiteral("50%"), false);
    const PrintJobReport report = runner.run(host, *printer, scale);
    ASSERT_TRUE(report.grid);
    EXPECT_EQ(report.grid->pageColumns, 2);
    EXPECT_EQ(report.grid->pageRows, 2);
    EXPECT_DOUBLE_EQ(report.grid->tileWidth, 850);  // 8.5 in of 100 dpi pixels
    EXPECT_EQ(printer->pagesPrinted(), 4);
}

TEST_F(PrintJob, BatchJobsLeaveTheDialogOpen) {
    for (const auto& options : {opts(QStringLiteral("100%"), false),
                                opts(QStringLiteral("100%"), true), opts(kFitToPage, true)}) {
        FakeHost host(test::gridSheet(20, 20, 100), 100);
        host.options = options;
        host.batch = true;
        (void)runner.run(host, *printer, scale);
        EXPECT_EQ(host.closed, 0) << options.scaleText.toStdString() << options.autoClip;
    }
}

TEST_F(PrintJob, NoImagePrintsNothingAndSaysNothing) {
    FakeHost host{QImage()};
    host.options = opts(QStringLiteral("100%"), false);
    (void)runner.run(host, *printer, scale);
    EXPECT_TRUE(printer->ops().empty());
    EXPECT_TRUE(host.failures.isEmpty());
    EXPECT_EQ(host.statusPanel.back(), false);
    EXPECT_EQ(host.closed, 1);
}

TEST_F(PrintJob, FailureInThePageLoopIsSilentAndKeepsPrintedPages) {
    FakeHost host(test::gridSheet(17, 33, 200));
    host.options = opts(QStringLiteral("100%"), false);
    printer->failOnPicture(3);
    const PrintJobReport report = runner.run(host, *printer, scale);
    EXPECT_EQ(report.pagesPrinted, 2);
    EXPECT_EQ(printer->pagesPrinted(), 3);  // two pages and the begun third (mark only)
    EXPECT_EQ(printer->documentsEnded(), 1);
    EXPECT_TRUE(host.failures.isEmpty());
    EXPECT_FALSE(report.failure.isEmpty());
    EXPECT_EQ(host.statusPanel, (QList<bool>{true, false}));
    EXPECT_EQ(host.closed, 1);
}

TEST_F(PrintJob, FailureBeforeTheLoopIsShownAndHidesThePanel) {
    test::FakePrinterDevice broken(QStringLiteral("Broken"), 12240, 15840,
                                   {0, 0, 0, 0, 5100, 6600, 5200, 6700});
    FakeHost host(test::gridSheet(17, 33, 200));
    host.options = opts(QStringLiteral("100%"), false);
    (void)runner.run(host, broken, scale);
    EXPECT_EQ(host.failures, QStringList{QStringLiteral("Division by zero")});
    EXPECT_EQ(host.statusPanel, (QList<bool>{true, false}));
    EXPECT_TRUE(broken.ops(Op::Kind::Picture).empty());
    EXPECT_EQ(host.closed, 1);
}

TEST_F(PrintJob, FitToPageFailureIsShownInAMessage) {
    FakeHost host(test::gridSheet(10, 10, 100), 100);
    host.options = opts(kFitToPage, false);
    printer->failOnPicture(1);
    (void)runner.run(host, *printer, scale);
    EXPECT_EQ(host.failures, QStringList{QStringLiteral("Printer out of paper")});
    EXPECT_EQ(host.closed, 1);
}

TEST_F(PrintJob, ASecondPrintDuringTheJobIsRefused) {
    FakeHost host(test::gridSheet(17, 33, 200));
    host.options = opts(QStringLiteral("100%"), false);
    int refused = 0;
    host.onEvents = [&] {
        if (!runner.run(host, *printer, scale).started) {
            ++refused;
        }
    };
    const PrintJobReport report = runner.run(host, *printer, scale);
    EXPECT_TRUE(report.started);
    EXPECT_EQ(refused, 6);
    EXPECT_EQ(printer->pagesPrinted(), 6);
    EXPECT_FALSE(runner.isRunning());
}

TEST_F(PrintJob, RegistrationMarksAddSeamCrossesAndTheGridPlace) {
    FakeHost host(test::gridSheet(17, 22, 200));
    host.options = opts(QStringLiteral("100%"), false);
    host.marks = true;
    (void)runner.run(host, *printer, scale);
    QStringList texts;
    for (const Op& op : printer->ops(Op::Kind::Text)) {
        texts.append(op.text);
    }
    EXPECT_EQ(texts, (QStringList{"Page 1 of 4", "R1/C1", "Page 2 of 4", "R2/C1", "Page 3 of 4",
                                  "R1/C2", "Page 4 of 4", "R2/C2"}));
    // Eight crosses (two lines each) per page, in the middle of the shared quarter-inch strips.
    const auto lines = printer->ops(Op::Kind::Line);
    ASSERT_EQ(lines.size(), 4u * 8u * 2u);
    const auto centre = [&](int cross) { return (lines[2 * cross].at + lines[2 * cross].to) / 2; };
    EXPECT_EQ(centre(0), QPointF(180, 15840 / 4));          // left seam
    EXPECT_EQ(centre(1), QPointF(12240 - 180, 15840 / 4));  // right seam
    EXPECT_EQ(centre(2), QPointF(12240 / 4, 180));          // top seam
    EXPECT_EQ(centre(3), QPointF(12240 / 4, 15840 - 180));  // bottom seam
    // A mark on the right seam of one page and the left seam of the next mark the same sheet
    // point: both lie half the overlap in from their page's edge.
    EXPECT_DOUBLE_EQ(12240 - centre(1).x(), centre(0).x());
}

}  // namespace
}  // namespace sw::printing
