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
    FakeHost(QImage sheet, double dpi, LayoutOptions options)
        : options(std::move(options)), m_sheet(std::move(sheet)), m_dpi(dpi) {}

    [[nodiscard]] LayoutSheet layoutSheet() const override {
        const double w = m_sheet.width();
        const double h = m_sheet.height();
        return {!m_sheet.isNull(), w, h, m_dpi, m_dpi, w / 10, h / 10};
    }
    void resampleSheet(double width, double height) override {
        // The imaging control keeps the size in inches: the resolution follows.
        m_dpi = m_dpi * qRound(width) / m_sheet.width();
        m_sheet = m_sheet.scaled(qRound(width), qRound(height));
    }
    [[nodiscard]] QImage sheetPicture() const override { return m_sheet; }
    [[nodiscard]] LayoutOptions layoutOptions() const override { return options; }
    [[nodiscard]] bool batchPrinting() const override { return batch; }
    [[nodiscard]] TileMarks tileMarks() const override { return {marks}; }
    void showPageCountLabels(const PageCountLabels& l) override { labels = l; }
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
    PageCountLabels labels;
    QList<bool> statusPanel;
    QStringList whichPage;
    QStringList failures;
    int closed = 0;

private:
    QImage m_sheet;
    double m_dpi;
};

// The printer's operations as text, one line each (registration-mark lines left out).
QStringList transcript(const test::FakePrinterDevice& printer) {
    QStringList lines;
    for (const Op& op : printer.ops()) {
        const QRectF& s = op.source;
        const QRectF& d = op.dest;
        const QSize& p = op.pictureSize;
        switch (op.kind) {
            case Op::Kind::Circle:
                lines << QString::asprintf("circle %g,%g r%g", op.at.x(), op.at.y(), op.radius);
                break;
            case Op::Kind::Picture:
                lines << QString::asprintf("picture %dx%dx%d %g,%g %gx%g to %g,%g %gx%g", p.width(),
                                           p.height(), op.pictureDepth, s.x(), s.y(), s.width(),
                                           s.height(), d.x(), d.y(), d.width(), d.height());
                break;
            case Op::Kind::Text:
                lines << QString::asprintf("text %g,%g ", op.at.x(), op.at.y()) + op.text;
                break;
            case Op::Kind::Line:
                break;
            case Op::Kind::NewPage:
            case Op::Kind::EndDoc:
                lines << (op.kind == Op::Kind::NewPage ? "new page" : "end");
        }
    }
    return lines;
}

class PrintJob : public ::testing::Test {
protected:
    std::unique_ptr<test::FakePrinterDevice> printer = test::FakePrinterDevice::letter();
    ScaleMemory scale;
    PrintJobRunner runner;
};

// ---- One job in each mode, alone and in a batch ------------------------------------------------

struct ModeCase {
    const char* label;
    double sheetWidthIn;  // at 100 dpi
    double sheetHeightIn;
    const char* scale;
    bool crop;
    PrintMode mode;
    const char* panel;  // the status panel shown (1) and hidden (0), in order
    int closed;         // when not in a batch
    const char* printed;
};

SW_PRINT_LABEL(ModeCase)

class PrintJobMode : public PrintJob, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(PrintJobMode, PrintsThePageAndClosesTheDialogUnlessBatched) {
    const ModeCase& c = GetParam();
    for (const bool batch : {false, true}) {
        printer = test::FakePrinterDevice::letter();
        FakeHost host(test::gridSheet(c.sheetWidthIn, c.sheetHeightIn, 100), 100,
                      {c.scale, c.crop});
        host.batch = batch;
        const PrintJobReport report = runner.run(host, *printer, scale);
        EXPECT_EQ(report.mode, c.mode);
        EXPECT_EQ(report.pagesPrinted, 1);
        EXPECT_EQ(printer->pagesPrinted(), 1);
        EXPECT_EQ(transcript(*printer).join("; "), c.printed);
        EXPECT_EQ(host.labels, onePageLabels());
        QString panel;
        for (const bool shown : host.statusPanel) {
            panel += shown ? '1' : '0';
        }
        EXPECT_EQ(panel, c.panel);
        EXPECT_EQ(host.closed, batch ? 0 : c.closed) << "batch " << batch;
        EXPECT_TRUE(host.failures.isEmpty());
    }
}

const ModeCase kModes[] = {
    {"CropTickedButFittingIsTiled", 8, 10, "100%", true, PrintMode::Tiled, "10", 1,
     "circle 1,1 r1; picture 800x1000x1 1,1 850x1100 to 1,1 12240x15840; text 1,1 Page 1 of 1; "
     "new page; end"},
    // The whole sheet, its width on the printable width, its aspect kept; the output closes the
    // dialog, then the end step closes it again.
    {"FitToPageWinsOverCrop", 36, 24, "Fit To Page", true, PrintMode::FitToPage, "0", 2,
     "picture 3600x2400x1 0,0 3600x2400 to 1,1 12240x8160; new page; end"},
    // 18 x 12 in at 50 %: the window leaves (18 - 8.5) / 2 in and (12 - 11) / 2 in.
    {"CropPrintsTheCentreAtTheScale", 36, 24, "50%", true, PrintMode::CropToOnePage, "", 1,
     "circle 1,1 r1; picture 1800x1200x1 475,50 850x1100 to 1,1 12240x15840; "
     "text 1,1 Page 1 of 1; end"},
};
INSTANTIATE_TEST_SUITE_P(Table, PrintJobMode, ::testing::ValuesIn(kModes), test::LabelName());

// ---- Tiled jobs --------------------------------------------------------------------------------

TEST_F(PrintJob, TwoByThreeGridPrintsSixLabelledPagesDownTheColumns) {
    FakeHost host(test::gridSheet(17, 33, 200), 200, {QStringLiteral("100%"), false});
    const PrintJobReport report = runner.run(host, *printer, scale);
    EXPECT_EQ(report.mode, PrintMode::Tiled);
    EXPECT_EQ(report.pagesPrinted, 6);
    EXPECT_EQ(printer->pagesPrinted(), 6);
    EXPECT_EQ(printer->documentsEnded(), 1);
    EXPECT_EQ(host.labels, (PageCountLabels{"3", "2", "6"}));
    EXPECT_EQ(host.whichPage.size(), 6);
    EXPECT_EQ(host.whichPage.back(), QStringLiteral("Printing Page 6 of 6"));
    EXPECT_EQ(host.statusPanel, (QList<bool>{true, false}));
    EXPECT_EQ(host.closed, 1);
    // Every page: the start mark, the tile over the printable area, the label, a new page.
    const QStringList printed = transcript(*printer);
    ASSERT_EQ(printed.size(), 6 * 4 + 1);
    EXPECT_EQ(
        printed.mid(4, 4),
        (QStringList{"circle 1,1 r1", "picture 3400x6600x1 1,2151 1700x2200 to 1,1 12240x15840",
                     "text 1,1 Page 2 of 6", "new page"}));
    EXPECT_EQ(printed[13], "picture 3400x6600x1 1651,1 1700x2200 to 1,1 12240x15840");
    EXPECT_EQ(printed.back(), "end");
}

TEST_F(PrintJob, ScaledTilesMeasureTheOriginalResolution) {
    // 34 x 44 in at 50 % is 17 x 22 in: 2 x 2 pages, although the resample halves the pixels
    // and the imaging control halves the resolution with them.
    FakeHost host(test::gridSheet(34, 44, 100), 100, {QStringLiteral("50%"), false});
    const PrintJobReport report = runner.run(host, *printer, scale);
    ASSERT_TRUE(report.grid);
    EXPECT_EQ(report.grid->pageCount(), 4);
    EXPECT_DOUBLE_EQ(report.grid->tileWidth, 850);  // 8.5 in of 100 dpi pixels
    EXPECT_EQ(printer->pagesPrinted(), 4);
}

TEST_F(PrintJob, RegistrationMarksAddSeamCrossesAndTheGridPlace) {
    FakeHost host(test::gridSheet(17, 22, 200), 200, {QStringLiteral("100%"), false});
    host.marks = true;
    (void)runner.run(host, *printer, scale);
    QStringList texts;
    for (const Op& op : printer->ops(Op::Kind::Text)) {
        texts.append(op.text);
    }
    EXPECT_EQ(texts, (QStringList{"Page 1 of 4", "R1/C1", "Page 2 of 4", "R2/C1", "Page 3 of 4",
                                  "R1/C2", "Page 4 of 4", "R2/C2"}));
    // Eight crosses (two lines each) per page, in the middle of the shared quarter-inch strips:
    // a mark on the right seam of one page and on the left seam of the next mark the same point.
    const auto lines = printer->ops(Op::Kind::Line);
    ASSERT_EQ(lines.size(), 4u * 8u * 2u);
    const auto centre = [&](int cross) { return (lines[2 * cross].at + lines[2 * cross].to) / 2; };
    EXPECT_EQ(centre(0), QPointF(180, 15840 / 4));          // left seam
    EXPECT_EQ(centre(1), QPointF(12240 - 180, 15840 / 4));  // right seam
    EXPECT_EQ(centre(2), QPointF(12240 / 4, 180));          // top seam
    EXPECT_EQ(centre(3), QPointF(12240 / 4, 15840 - 180));  // bottom seam
}

// ---- Failures and refusals ---------------------------------------------------------------------

TEST_F(PrintJob, NoImagePrintsNothingAndSaysNothing) {
    FakeHost host(QImage(), 200, {QStringLiteral("100%"), false});
    (void)runner.run(host, *printer, scale);
    EXPECT_TRUE(printer->ops().empty());
    EXPECT_TRUE(host.failures.isEmpty());
    EXPECT_EQ(host.statusPanel.back(), false);
    EXPECT_EQ(host.closed, 1);
}

TEST_F(PrintJob, FailureInThePageLoopIsSilentAndKeepsPrintedPages) {
    FakeHost host(test::gridSheet(17, 33, 200), 200, {QStringLiteral("100%"), false});
    printer->failOnPicture(3);
    const PrintJobReport report = runner.run(host, *printer, scale);
    EXPECT_EQ(report.pagesPrinted, 2);
    EXPECT_EQ(printer->pagesPrinted(), 3);  // two pages and the begun third (mark only)
    EXPECT_EQ(printer->documentsEnded(), 1);
    EXPECT_EQ(report.failure, QStringLiteral("Printer out of paper"));
    EXPECT_TRUE(host.failures.isEmpty());
    EXPECT_EQ(host.statusPanel, (QList<bool>{true, false}));
    EXPECT_EQ(host.closed, 1);
}

TEST_F(PrintJob, FailureBeforeTheLoopOrOfAFittedPageIsShown) {
    test::FakePrinterDevice broken(QStringLiteral("Broken"), 12240, 15840,
                                   {0, 0, 0, 0, 5100, 6600, 5200, 6700});
    FakeHost host(test::gridSheet(17, 33, 200), 200, {QStringLiteral("100%"), false});
    (void)runner.run(host, broken, scale);
    EXPECT_EQ(host.failures, QStringList{QStringLiteral("Division by zero")});
    EXPECT_EQ(host.statusPanel, (QList<bool>{true, false}));
    EXPECT_TRUE(broken.ops(Op::Kind::Picture).empty());
    EXPECT_EQ(host.closed, 1);

    FakeHost fitted(test::gridSheet(10, 10, 100), 100, {kFitToPage, false});
    printer->failOnPicture(1);
    (void)runner.run(fitted, *printer, scale);
    EXPECT_EQ(fitted.failures, QStringList{QStringLiteral("Printer out of paper")});
    EXPECT_EQ(fitted.closed, 1);
}

TEST_F(PrintJob, ASecondPrintDuringTheJobIsRefused) {
    FakeHost host(test::gridSheet(17, 33, 200), 200, {QStringLiteral("100%"), false});
    int refused = 0;
    host.onEvents = [&] { refused += runner.run(host, *printer, scale).started ? 0 : 1; };
    EXPECT_TRUE(runner.run(host, *printer, scale).started);
    EXPECT_EQ(refused, 6);
    EXPECT_EQ(printer->pagesPrinted(), 6);
    EXPECT_FALSE(runner.isRunning());
}

}  // namespace
}  // namespace sw::printing
