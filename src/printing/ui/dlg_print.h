#pragma once

#include <cstdint>
#include <memory>

#include <QDialog>
#include <QImage>
#include <QStringList>

#include "printing/batch_print.h"
#include "printing/page_grid.h"
#include "printing/print_job.h"
#include "printing/print_layout.h"
#include "printing/printer_settings.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace sw::imaging {
class ImagingControl;
}

namespace sw::printing {

class PrinterSetupComponent;

// The print dialog, "Print Sheetwise Plan". The viewer creates one for every print, puts the
// sheet into the dialog's own imaging control `viewer` (image 1 the whole sheet, image 2 the
// part that was visible), hands over its context through the public fields and operations, and
// shows it. The user sees printer and paper, picks a scale, may crop to one page or print only
// the visible part, sees the page count and the page boundaries over the sheet, and prints.
//
// A thin shell: widget values go into LayoutOptions / LayoutSheet, the page grid, preview and
// print job are the core's (print_layout.h, print_job.h), and the dialog shows what comes back.
// The printer settings persist in the "Printing" section of IniFile.
//
// "Print Batch" lists the project's sheets; "Download and Print" downloads the chosen ones into
// `viewer` one after another and prints each with the dialog's settings (or, with UseBlue, saves
// them blue as temporary files in BatchSave and prints those at the end), then closes the dialog
// (dlg_print_batch.cpp). Closing the dialog stops a running batch.
//
// Ownership: deletes itself when closed (Qt::WA_DeleteOnClose). Uses the process's printer
// catalog unless another one is given; the catalog must outlive the dialog. UI thread only.
class DlgPrint : public QDialog {
    Q_OBJECT

public:
    explicit DlgPrint(QWidget* parent = nullptr, PrinterCatalog* printers = nullptr);
    ~DlgPrint() override;

    // ---- Public fields written by the viewer ----------------------------------------------------
    QString IniFile;                        // settings file of the "Printing" keys
    QString BatchSave;                      // folder for the temporary files of batch printing
    bool PrintSettingsHaveChanged = false;  // written by the viewer, never read here
    bool ReverseBatch = false;              // print a batch in reverse order
    bool UseBlue = false;                   // print in blue

    // ---- Public operations
    // ------------------------------------------------------------------------ Blue ink: palette
    // entry 0 blue, entry 1 white, the sheet reduced to one bit with that palette; UseBlue becomes
    // true.
    void PrintInBlue();
    // With two or more images: enables "Print Selected Area Only" and shows image 2.
    void SetPartial();
    // Stores the plan context and takes the initial state; returns "ok".
    QString setBatch(const QString& LocalPlanRootx, const QString& CurrentPlanDirectoryx,
                     const QStringList& PlanNameArrayx, const QStringList& PlanURLArrayx,
                     const QString& URLBasex, const QString& Projectidx, std::int16_t rotationx);
    // Loads the printer settings, hides the status and batch panels, shows printer and paper,
    // and sets the scale to "100%".
    void SetInitState();
    // Names (without folder) of the ordinary files matching a pattern ("folder/*.tif"), sorted as
    // text (see batchFileList); one empty name when nothing matches.
    static QStringList FileList(const QString& pattern);

    // The dialog's imaging control.
    [[nodiscard]] imaging::ImagingControl& viewer() const { return *m_viewer; }
    // Marks printed over the handed-over sheet in every mode (the viewer's measurements), in
    // pixels of the sheet's source (imaging::Sheet::Source); a batch prints its sheets without.
    void setSheetMarks(const SheetMarks& sourcePx) { m_sheetMarks = sourcePx; }
    // The set-up dialog used by "Printer Setup" (tests put a scripted one here).
    void setPrinterSetup(std::unique_ptr<PrinterSetupComponent> setup);
    // The last print job's report (for scripted runs and tests).
    [[nodiscard]] const PrintJobReport& lastJob() const { return m_lastJob; }
    [[nodiscard]] bool fitsOnOnePage() const { return m_fitsOnOnePage; }

    // The print button's job (also run once per sheet by batch printing).
    void Command1_Click();

    // Batch download progress of the dialog's imaging control, clamped to 0..100.
    void OnViewerLoadProgress(int percent);

    // A batch download that receives nothing for this long fails and the batch goes on with the
    // next sheet (milliseconds; 60000 by default).
    void setBatchTimeout(int milliseconds);
    [[nodiscard]] int batchTimeout() const { return m_batchTimeoutMs; }
    // The running or last batch of this dialog.
    [[nodiscard]] const BatchPrintReport& batchReport() const { return m_batchReport; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    class JobHost;
    friend class JobHost;

    void buildControls();
    void buildLayout();
    void connectControls();

    // Printer settings.
    void LoadPrinterSettings();
    void SavePrinterSettings();
    void ApplySavedPrinterProperties();
    void CapturePrinterProperties();
    void ShowPrinterAndPaper();
    void printerSetup();

    // Panels.
    void ShowBatchList(bool show);
    void ShowBatchStatus(bool show);
    void FillBatchList();
    void ShowPrintStatus(bool show);
    void toggleSelectAll();
    void CloseDialog();

    // Batch printing (dlg_print_batch.cpp).
    void BatchOk_Click();
    void ClearBatchFolder();
    void StartBatchDownload();
    void OnViewerLoadComplete();
    void onViewerLoadFailed(const QString& reason);
    void advanceBatch();
    void SaveBatchSheet();
    void PrintSavedSheets();
    void printBatchSheet(const QString& what);
    void reportBatchProblem(const QString& text);
    void endBatch(bool stopped);
    [[nodiscard]] QString currentBatchUrl() const;

    // Layout and preview.
    void UpdatePageLayout();
    [[nodiscard]] LayoutOptions layoutOptions() const;
    [[nodiscard]] LayoutSheet layoutSheet() const;
    void showPageCountLabels(const PageCountLabels& labels);
    void drawPreview(const QList<PreviewObject>& objects);
    void selectionOnlyClicked();

    PrinterCatalog& m_printers;
    std::unique_ptr<PrinterSetupComponent> m_setup;
    SavedPrinterSettings m_saved;
    ScaleMemory m_scale;
    PrintJobRunner m_jobs;
    PrintJobReport m_lastJob;
    QImage m_apiPicture;  // the APIPicture holder's picture
    bool m_fitsOnOnePage = false;
    std::int16_t m_previewLineCount = 0;
    bool m_shownOnce = false;
    bool m_closeAfterJob = false;

    // Plan context (setBatch) and batch state.
    QString m_localPlanRoot;
    QString m_currentPlanDirectory;
    QStringList m_planNames;
    QStringList m_planUrls;
    QString m_urlBase;
    QString m_batchProjectId;
    std::int16_t m_batchRotation = 9000;
    bool m_batchPrinting = false;
    SheetMarks m_sheetMarks;
    PrintBatch m_batch;
    BatchPrintReport m_batchReport;
    bool m_batchEnded = false;  // the batch finished or was stopped; its events are ignored
    int m_batchTimeoutMs = 60000;

    // Controls, named as the design names them (object names are the same).
    imaging::ImagingControl* m_viewer = nullptr;
    QGroupBox* Frame2 = nullptr;
    QCheckBox* SelectionOnly = nullptr;
    QCheckBox* AutoClip = nullptr;
    QCheckBox* Marks = nullptr;
    QComboBox* Combo1 = nullptr;
    QLabel* Label2 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLabel* lblNumVert = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* lblNumHor = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* lblNumTotal = nullptr;
    QGroupBox* fraPrinterSelect = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* lbPrinter = nullptr;
    QLabel* lpPaper = nullptr;
    QLabel* lpPaperInUse = nullptr;  // the paper the printer really uses, when not the chosen one
    QPushButton* btnPrintSetup = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QListWidget* BatchList = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* BatchOk = nullptr;
    QPushButton* BatchCancel = nullptr;
    QFrame* BatchWin = nullptr;
    QFrame* sFrame = nullptr;
    QFrame* statFrame = nullptr;
    QProgressBar* statProgress = nullptr;
    QLabel* dstat = nullptr;
    QLabel* statWin = nullptr;
    QListWidget* batchMessages = nullptr;  // sheets and files the batch skipped, with the reason
    QLabel* batchNote = nullptr;           // a hint in the batch list panel
    QProgressBar* tp = nullptr;
    QLabel* PrintHeader = nullptr;
    QLabel* WhichPage = nullptr;
    QLabel* POut = nullptr;
    QLabel* StatusWin = nullptr;
    QListWidget* ld = nullptr;
    QPushButton* clear = nullptr;
    QWidget* APIPicture = nullptr;
};

}  // namespace sw::printing
