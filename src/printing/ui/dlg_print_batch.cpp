// DlgPrint: batch printing. The chosen sheets are downloaded one after another into the dialog's
// imaging control and printed with the dialog's settings as each one arrives, or, in blue, saved
// as temporary files in BatchSave and printed from those once all are downloaded. The dialog
// closes at the end.
//
// Where the design leaves the behaviour open:
// - "Download and Print" with no row chosen does nothing but say so under the list.
// - A download that fails (HTTP error, cut-short or corrupt sheet, not a TIFF, or nothing
//   received for batchTimeout()), and a temporary file that cannot be written, deleted or loaded,
//   are listed in the batch status panel and skipped; the batch goes on and ends normally. When
//   anything was skipped the end shows a summary, since the panel closes with the dialog.
// - While a batch runs, "Print", "Print Batch" and "Printer Setup" are disabled: a job started by
//   hand would run while the batch's next sheet arrives, and the batch's own job could not start.
// - Closing the dialog stops the batch: loads still under way are not followed up, nothing more
//   is printed, and scripts waiting on the batch hear that it was stopped.
// - BatchSave must be an absolute folder; an empty or relative one (it would name the working
//   folder, whose files the batch deletes) is never cleared, and a blue batch reports that its
//   sheets cannot be saved.
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

#include "base/script_error.h"
#include "base/vb.h"
#include "imaging/imaging_error.h"
#include "imaging/tiff_writer.h"
#include "imaging/ui/imaging_control.h"
#include "printing/ui/dlg_print.h"
#include "printing/ui/print_messages.h"

namespace sw::printing {

namespace {

constexpr int kTempBitsPerPixel = 4;
const QRgb kRotationFill = qRgb(0, 0, 255);

QString describe(const std::exception& e) {
    if (const auto* script = dynamic_cast<const base::ScriptError*>(&e)) {
        return script->description();
    }
    if (const auto* imaging = dynamic_cast<const imaging::ImagingError*>(&e)) {
        return imaging->message();
    }
    return QString::fromUtf8(e.what());
}

}  // namespace

void DlgPrint::setBatchTimeout(int milliseconds) {
    m_batchTimeoutMs = milliseconds > 0 ? milliseconds : 60000;
}

QString DlgPrint::currentBatchUrl() const {
    return m_batch.batchUrls.value(m_batch.batchCursor);
}

void DlgPrint::BatchOk_Click() {
    if (m_batchPrinting) {
        return;
    }
    QList<int> rows;
    for (int i = 0; i < BatchList->count(); ++i) {
        if (BatchList->item(i)->isSelected()) {
            rows << i;
        }
    }
    if (rows.isEmpty()) {
        batchNote->setText(
            QStringLiteral("No sheet is selected: select the sheets to download "
                           "and print, then press \"Download and Print\"."));
        return;
    }
    try {
        m_batch = buildPrintBatch(rows, m_planUrls, m_urlBase, ReverseBatch);
    } catch (const base::ScriptError& e) {
        batchNote->setText(e.description());
        return;
    }
    batchNote->clear();
    m_batchReport = BatchPrintReport{};
    m_batchReport.sheets = static_cast<int>(rows.size());
    BatchPrintMonitor::instance().batchStarted();
    for (QWidget* w : std::initializer_list<QWidget*>{Command1, Command2, btnPrintSetup}) {
        w->setEnabled(false);
    }
    ClearBatchFolder();
    StartBatchDownload();
}

void DlgPrint::ClearBatchFolder() {
    const QString folder = batchFolder(BatchSave);
    if (folder.isEmpty()) {
        if (UseBlue) {
            reportBatchProblem(
                QStringLiteral("No folder is set for the temporary files of the "
                               "batch; the sheets cannot be saved for printing"));
        }
        return;
    }
    for (const QString& problem : clearBatchFolder(folder)) {
        reportBatchProblem(problem);
    }
}

void DlgPrint::StartBatchDownload() {
    m_batchPrinting = true;
    ShowBatchStatus(true);
    statProgress->setValue(0);
    m_viewer->setLoadSwitch(true);
    const QString url = currentBatchUrl();
    dstat->setText(url);
    dstat->repaint();
    m_viewer->setTransferTimeout(m_batchTimeoutMs);
    m_viewer->setLoadAddress(url);
}

void DlgPrint::OnViewerLoadComplete() {
    if (m_batchEnded) {
        return;
    }
    try {
        m_viewer->rotate(m_batchRotation, 1, kRotationFill);
        if (UseBlue) {
            PrintInBlue();
            SaveBatchSheet();
        }
    } catch (const std::exception& e) {
        reportBatchProblem(currentBatchUrl() + QStringLiteral(": ") + describe(e));
        if (m_batchPrinting) {
            advanceBatch();
        }
        return;
    }
    m_viewer->repaintNow();
    UpdatePageLayout();
    if (!m_batchPrinting) {
        return;
    }
    if (!UseBlue) {
        printBatchSheet(currentBatchUrl());
        if (m_batchEnded) {
            return;  // the dialog was closed during the job
        }
    }
    advanceBatch();
}

void DlgPrint::onViewerLoadFailed(const QString& reason) {
    if (!m_batchPrinting || m_batchEnded) {
        return;
    }
    reportBatchProblem(currentBatchUrl() + QStringLiteral(": ") + reason);
    advanceBatch();
}

void DlgPrint::advanceBatch() {
    m_batch.batchCursor = base::vb::add16(m_batch.batchCursor, 1);
    if (m_batch.batchCursor != m_batch.batchEnd) {
        StartBatchDownload();
    } else if (UseBlue) {
        PrintSavedSheets();
    } else {
        ShowBatchStatus(false);
        SavePrinterSettings();
        endBatch(false);
        CloseDialog();
    }
}

void DlgPrint::SaveBatchSheet() {
    PrintInBlue();
    const QString folder = batchFolder(BatchSave);
    if (folder.isEmpty()) {
        throw imaging::ImagingError(QStringLiteral("no folder for the temporary file"));
    }
    QDir().mkpath(folder);
    m_viewer->saveFile(batchTempFileName(folder, m_batch.batchCursor), imaging::kFormatWorkingCopy,
                       kTempBitsPerPixel, -1, 0);
}

void DlgPrint::PrintSavedSheets() {
    const QString folder = batchFolder(BatchSave);
    const QStringList names = folder.isEmpty() ? QStringList{} : FileList(folder);
    for (const QString& name : names) {
        if (name.isEmpty()) {
            continue;
        }
        const QString path = folder + name;
        dstat->setText(path);
        dstat->repaint();
        try {
            m_viewer->loadFile(path);
        } catch (const std::exception& e) {
            reportBatchProblem(describe(e));
            continue;
        }
        printBatchSheet(path);
        if (m_batchEnded) {
            return;
        }
    }
    endBatch(false);
    CloseDialog();
}

void DlgPrint::printBatchSheet(const QString& what) {
    Command1_Click();
    if (!m_lastJob.failure.isEmpty()) {
        reportBatchProblem(what + QStringLiteral(": ") + m_lastJob.failure);
    } else {
        ++m_batchReport.printed;
    }
}

void DlgPrint::reportBatchProblem(const QString& text) {
    m_batchReport.problems << text;
    batchMessages->addItem(text);
    batchMessages->setVisible(true);
    batchMessages->scrollToBottom();
}

void DlgPrint::endBatch(bool stopped) {
    if (m_batchEnded) {
        return;
    }
    m_batchEnded = true;
    m_batchReport.stopped = stopped;
    BatchPrintMonitor::instance().batchEnded(m_batchReport);
    if (!stopped && !m_batchReport.problems.isEmpty()) {
        showPrintMessage(this,
                         QStringLiteral("%1 of %2 sheets printed. Skipped:\n")
                                 .arg(m_batchReport.printed)
                                 .arg(m_batchReport.sheets) +
                             m_batchReport.problems.join(QLatin1Char('\n')),
                         QStringLiteral("Print Batch"), PrintMessageIcon::Information);
    }
}

}  // namespace sw::printing
