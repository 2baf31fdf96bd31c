#include "printing/print_job.h"

#include "base/script_error.h"
#include "base/vb.h"
#include "printing/print_to_directory.h"
#include "printing/printer_metrics.h"

namespace sw::printing {

namespace {

QString describe(const std::exception& e) {
    if (const auto* script = dynamic_cast<const base::ScriptError*>(&e)) {
        return script->description();
    }
    return QString::fromUtf8(e.what());
}

// One run of the job on one output device.
class Job {
public:
    Job(PrintJobHost& host, PrinterDevice& out, ScaleMemory& scale, PrintJobReport& report)
        : m_host(host),
          m_out(out),
          m_scale(scale),
          m_report(report),
          m_options(host.layoutOptions()) {}

    void run();

private:
    void fitToPage();
    void croppedPage();
    void tiled();
    void printTiles(const QImage& picture, const PageGrid& grid);
    void endStep();
    void fail(const std::exception& e, bool tell);
    void resampleBy(const LayoutSheet& sheet, double s);
    QImage picture() {
        return TransferSheetPicture([this] { return m_host.sheetPicture(); });
    }

    PrintJobHost& m_host;
    PrinterDevice& m_out;
    ScaleMemory& m_scale;
    PrintJobReport& m_report;
    LayoutOptions m_options;
};

void Job::run() {
    bool fits = false;
    try {
        m_host.applySavedPrinterProperties();
        const CropCheckResult check = CropCheck(m_options, m_host.layoutSheet(), m_out, m_scale);
        if (check.labels) {
            m_host.showPageCountLabels(*check.labels);
        }
        fits = check.fitsOnOnePage;
    } catch (const std::exception& e) {
        fail(e, true);
        endStep();
        return;
    }
    m_report.mode = choosePrintMode(m_options.scaleText, m_options.autoClip, fits);
    switch (m_report.mode) {
        case PrintMode::FitToPage:
            fitToPage();
            endStep();
            return;
        case PrintMode::CropToOnePage:
            croppedPage();
            if (!m_host.batchPrinting()) {
                m_host.CloseDialog();
            }
            return;
        case PrintMode::Tiled:
            tiled();
            return;
    }
}

void Job::fitToPage() {
    try {
        const QImage sheetPicture = picture();
        const LayoutSheet sheet = m_host.layoutSheet();
        PrintFitToPage(m_out, sheetPicture, base::vb::toInt16(sheet.resX),
                       base::vb::toInt16(sheet.resY), m_host.sheetMarks());
        m_report.pagesPrinted = 1;
        if (!m_host.batchPrinting()) {
            m_host.CloseDialog();
        }
    } catch (const std::exception& e) {
        fail(e, true);
    }
}

void Job::croppedPage() {
    try {
        const LayoutSheet sheet = m_host.layoutSheet();
        if (!sheet.hasImage) {
            return;
        }
        const double s = selectedScaleFor(m_options, sheet, m_out, m_scale);
        m_report.scale = s;
        const double resX = base::vb::toInt16(sheet.resX);
        const double resY = base::vb::toInt16(sheet.resY);
        const double sheetWidthIn = checkedDivide(sheet.imageWidthPx * s, resX);
        const double sheetHeightIn = checkedDivide(sheet.imageHeightPx * s, resX);
        const CropWindow crop =
            cropWindow(sheetWidthIn, sheetHeightIn, resX, resY, readPrinterMetrics(m_out));
        m_host.showPageCountLabels(onePageLabels());
        resampleBy(sheet, s);
        const QImage sheetPicture = picture();
        m_out.setCurrentPosition({0, 0});
        m_host.processEvents();
        printSinglePage(m_out, sheetPicture, crop.rect(), m_host.sheetMarks());
        m_report.pagesPrinted = 1;
    } catch (const std::exception& e) {
        fail(e, false);
    }
}

void Job::tiled() {
    QImage sheetPicture;
    PageGrid grid;
    try {
        m_host.ShowPrintStatus(true);
        const LayoutSheet before = m_host.layoutSheet();
        if (!before.hasImage) {
            endStep();
            return;
        }
        const double s = selectedScaleFor(m_options, before, m_out, m_scale);
        m_report.scale = s;
        // The resolution before the resample: the imaging control keeps a sheet's size in
        // inches when it resamples, while the grid measures the scaled pixels at the original
        // resolution.
        const double resX = base::vb::toInt16(before.resX);
        resampleBy(before, s);
        sheetPicture = picture();
        m_host.repaintDialog();
        const LayoutSheet after = m_host.layoutSheet();
        if (!after.hasImage) {
            endStep();
            return;
        }
        grid = computePageGrid(after.imageWidthPx, after.imageHeightPx, resX,
                               readPrinterMetrics(m_out));
        applyExtraPageRule(grid);
        m_report.grid = grid;
        m_host.showPageCountLabels(pageCountLabels(grid));
    } catch (const std::exception& e) {
        fail(e, true);
        endStep();
        return;
    }
    m_host.setAnnotationMode(1);
    m_host.setAutoRepaint(false);
    printTiles(sheetPicture, grid);
    endStep();
}

void Job::printTiles(const QImage& sheetPicture, const PageGrid& grid) {
    try {
        const TileMarks marks = m_host.tileMarks();
        const SheetMarks overlay = m_host.sheetMarks();
        for (const PageTile& tile : tileOrder(grid)) {
            m_out.setCurrentPosition({0, 0});
            m_host.repaintDialog();
            m_host.processEvents();
            m_host.showWhichPage(tile.statusText);
            printTile(m_out, sheetPicture, tile, marks, overlay);
            ++m_report.pagesPrinted;
            m_out.newPage();
        }
        m_out.endDoc();
    } catch (const std::exception& e) {
        fail(e, false);
    }
}

void Job::resampleBy(const LayoutSheet& sheet, double s) {
    const auto width = static_cast<float>(sheet.imageWidthPx * s);
    const auto height = static_cast<float>(sheet.imageHeightPx * s);
    if (width != static_cast<float>(sheet.imageWidthPx) ||
        height != static_cast<float>(sheet.imageHeightPx)) {
        m_host.resampleSheet(width, height);
    }
}

void Job::fail(const std::exception& e, bool tell) {
    m_report.failure = describe(e);
    // Pages already drawn still go out: the open document is ended, not withdrawn.
    try {
        m_out.endDoc();
    } catch (const std::exception&) {
    }
    if (tell) {
        m_host.showFailure(m_report.failure);
    }
}

void Job::endStep() {
    m_host.ShowPrintStatus(false);
    if (!m_host.batchPrinting()) {
        m_host.CloseDialog();
    }
}

}  // namespace

PrintMode choosePrintMode(const QString& scaleText, bool autoClip, bool fitsOnOnePage) {
    if (scaleText == kFitToPage) {
        return PrintMode::FitToPage;
    }
    if (!fitsOnOnePage && autoClip) {
        return PrintMode::CropToOnePage;
    }
    return PrintMode::Tiled;
}

PrintJobReport PrintJobRunner::run(PrintJobHost& host, PrinterDevice& printer, ScaleMemory& scale) {
    PrintJobReport report;
    if (m_running) {
        return report;
    }
    m_running = true;
    struct Running {
        bool& flag;
        ~Running() { flag = false; }
    } running{m_running};
    report.started = true;

    std::unique_ptr<PrinterDevice> redirected;
    try {
        redirected = redirectedPrinterFor(printer);
    } catch (const std::exception& e) {
        report.failure = describe(e);
        host.showFailure(report.failure);
        host.ShowPrintStatus(false);
        if (!host.batchPrinting()) {
            host.CloseDialog();
        }
        return report;
    }
    Job(host, redirected ? *redirected : printer, scale, report).run();
    return report;
}

}  // namespace sw::printing
