#pragma once

#include <optional>

#include <QImage>
#include <QString>

#include "printing/page_grid.h"
#include "printing/print_layout.h"
#include "printing/print_raster.h"
#include "printing/printer_device.h"

namespace sw::printing {

// What a print job needs from the print dialog: its copy of the sheet (the imaging control), its
// options, and the status display. The dialog implements it over its widgets; the headless
// `sheetwise print` and the tests implement it over a plain sheet.
class PrintJobHost {
public:
    virtual ~PrintJobHost() = default;

    // ---- The sheet ---------------------------------------------------------------------------
    [[nodiscard]] virtual LayoutSheet layoutSheet() const = 0;
    // Resamples the sheet to width x height pixels; the host's sheet stays resampled.
    virtual void resampleSheet(double width, double height) = 0;
    // The sheet's current image as a picture (null when none).
    [[nodiscard]] virtual QImage sheetPicture() const = 0;
    // Marks printed over the sheet (the viewer's measurements), in pixels of the current picture.
    [[nodiscard]] virtual SheetMarks sheetMarks() const { return {}; }
    virtual void setAnnotationMode(int mode) {}
    virtual void setAutoRepaint(bool on) {}

    // ---- The dialog ------------------------------------------------------------------------
    [[nodiscard]] virtual LayoutOptions layoutOptions() const = 0;
    [[nodiscard]] virtual bool batchPrinting() const { return false; }
    [[nodiscard]] virtual TileMarks tileMarks() const { return {}; }
    virtual void applySavedPrinterProperties() {}
    virtual void showPageCountLabels(const PageCountLabels& labels) {}
    virtual void ShowPrintStatus(bool show) {}
    // Makes the per-page caption visible, sets it and repaints it at once.
    virtual void showWhichPage(const QString& text) {}
    virtual void repaintDialog() {}
    // Handles pending user-interface events (once per page).
    virtual void processEvents() {}
    // Saves the printer settings and closes the dialog.
    virtual void CloseDialog() {}
    // A failure the user must see: a message box with the description and an OK button.
    virtual void showFailure(const QString& description) {}
};

enum class PrintMode { FitToPage, CropToOnePage, Tiled };

// The mode of a job: fit to page when the scale reads "Fit To Page" (whatever the crop box
// says), crop to one page when "Crop to 1 Page" is ticked and the sheet does not fit on one
// page, tiled otherwise (also for a ticked crop box when the sheet fits on one page).
PrintMode choosePrintMode(const QString& scaleText, bool autoClip, bool fitsOnOnePage);

// What a job did, for callers that report on it (the headless command, tests).
struct PrintJobReport {
    bool started = false;  // false: refused because a job was already running
    PrintMode mode = PrintMode::Tiled;
    std::optional<PageGrid> grid;  // the tiled grid, extra-page rule applied
    double scale = 1.0;
    int pagesPrinted = 0;  // pages whose drawing completed
    QString failure;       // description of a failure that stopped the job
};

// Runs the print job of the dialog's "Print" button. One runner belongs to one dialog and
// refuses to start a job while one of its jobs runs (the job handles user-interface events once
// per page, so a second press of "Print" can arrive inside it).
//
// The printer is the dialog's current printer; while print-to-folder is on, the job draws on a
// PDF device standing in for it. Failures are reported as the job's modes say: fit-to-page and
// everything before the page loop with a message box (showFailure), the one-page crop and the
// page loop silently; the status panel is hidden and the dialog closed (outside a batch) in
// every case.
//
// Threads: the UI thread.
class PrintJobRunner {
public:
    PrintJobReport run(PrintJobHost& host, PrinterDevice& printer, ScaleMemory& scale);
    [[nodiscard]] bool isRunning() const { return m_running; }

private:
    bool m_running = false;
};

}  // namespace sw::printing
