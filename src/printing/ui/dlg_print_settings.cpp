// DlgPrint: public operations, printer settings, batch list and panels.
#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

#include "base/vb.h"
#include "imaging/imaging_error.h"
#include "imaging/ui/imaging_control.h"
#include "printing/paper_names.h"
#include "printing/ui/dlg_print.h"
#include "printing/ui/print_messages.h"
#include "printing/ui/printer_setup.h"

namespace sw::printing {

void DlgPrint::PrintInBlue() {
    m_viewer->setUserPalette(0, qRgb(0, 0, 255));
    m_viewer->setUserPalette(1, qRgb(255, 255, 255));
    // Every image the dialog holds turns blue, the whole sheet as well as the visible part, so a
    // job prints in blue whichever of them "Print Selected Area Only" chooses.
    const int current = m_viewer->currentImage();
    for (int image = 1; image <= m_viewer->imageCount(); ++image) {
        m_viewer->setCurrentImage(image);
        m_viewer->reduceColours(1, 16, 0, 2);
    }
    m_viewer->setCurrentImage(current);
    UseBlue = true;
}

void DlgPrint::SetPartial() {
    try {
        if (m_viewer->imageCount() >= 2) {
            SelectionOnly->setEnabled(true);
            m_viewer->setCurrentImage(2);
        }
    } catch (const std::exception& e) {
        showPrintMessage(this, QString::fromUtf8(e.what()), QStringLiteral("From Set Partial"),
                         PrintMessageIcon::Critical);
    }
}

QString DlgPrint::setBatch(const QString& LocalPlanRootx, const QString& CurrentPlanDirectoryx,
                           const QStringList& PlanNameArrayx, const QStringList& PlanURLArrayx,
                           const QString& URLBasex, const QString& Projectidx,
                           std::int16_t rotationx) {
    m_localPlanRoot = LocalPlanRootx;
    m_currentPlanDirectory = CurrentPlanDirectoryx;
    m_planNames = PlanNameArrayx;
    m_planUrls = PlanURLArrayx;
    m_urlBase = URLBasex;
    m_batchProjectId = Projectidx;
    m_batchRotation = rotationx;
    m_localPlanRoot = LocalPlanRootx;
    SetInitState();
    return QStringLiteral("ok");
}

void DlgPrint::SetInitState() {
    LoadPrinterSettings();
    ShowPrintStatus(false);
    ShowBatchList(false);
    ShowBatchStatus(false);
    ShowPrinterAndPaper();
    Combo1->setCurrentIndex(0);
    Combo1->setEditText(Combo1->itemText(0));
}

QStringList DlgPrint::FileList(const QString& pattern) {
    return batchFileList(pattern);
}

// ---- Printer settings -------------------------------------------------------------------------

void DlgPrint::LoadPrinterSettings() {
    printing::LoadPrinterSettings(IniFile, m_printers, m_saved);
}

void DlgPrint::SavePrinterSettings() {
    if (!printing::SavePrinterSettings(IniFile, m_printers, m_saved) && !IniFile.isEmpty()) {
        ld->addItem(QStringLiteral("The printer settings could not be saved to ") + IniFile);
    }
}

void DlgPrint::ApplySavedPrinterProperties() {
    printing::ApplySavedPrinterProperties(m_printers.current(), m_saved);
}

void DlgPrint::CapturePrinterProperties() {
    printing::CapturePrinterProperties(m_printers.current(), m_saved);
}

void DlgPrint::ShowPrinterAndPaper() {
    PrinterDevice& printer = m_printers.current();
    const QString name = printer.deviceName();
    lbPrinter->setText(name.isEmpty() ? QStringLiteral("(no printer installed)") : name);
    lpPaper->setText(PaperSizeName(printer.paperSize(), printer));
    const QString inUse = paperInUseNote(printer);
    lpPaperInUse->setText(inUse);
    lpPaperInUse->setVisible(!inUse.isEmpty());
    UpdatePageLayout();
}

void DlgPrint::printerSetup() {
    if (m_jobs.isRunning() || !m_setup) {
        return;
    }
    std::optional<PrinterSetupChoice> choice;
    try {
        const PrinterSetupRequest request = printerSetupRequest(m_printers.current());
        m_printers.setTrackDefault(false);
        choice = m_setup->run(request, this);
    } catch (const std::exception& e) {
        showPrintMessage(
            this,
            QStringLiteral("The printer set-up could not be shown: ") + QString::fromUtf8(e.what()),
            QString(), PrintMessageIcon::Critical);
        return;
    }
    if (!choice) {
        return;
    }
    applyPrinterSetupChoice(m_printers, *choice, m_saved);
    ShowPrinterAndPaper();
}

// ---- Panels -------------------------------------------------------------------------------------

void DlgPrint::ShowBatchList(bool show) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{BatchCancel, BatchList, BatchOk, BatchWin, Command4}) {
        w->setVisible(show);
    }
    if (show) {
        BatchWin->raise();
    }
}

void DlgPrint::ShowBatchStatus(bool show) {
    ShowBatchList(false);
    for (QWidget* w :
         std::initializer_list<QWidget*>{statProgress, statWin, statFrame, sFrame, dstat}) {
        w->setVisible(show);
    }
}

void DlgPrint::FillBatchList() {
    BatchList->clear();
    for (const QString& entry : m_planNames) {
        const QStringList parts = base::vb::split(entry, QStringLiteral("~"));
        if (parts.size() >= 2) {
            BatchList->addItem(parts.at(1));
        }
    }
}

void DlgPrint::toggleSelectAll() {
    if (Command4->text() == QStringLiteral("Select All")) {
        Command4->setText(QStringLiteral("Deselect All"));
        BatchList->selectAll();
    } else {
        Command4->setText(QStringLiteral("Select All"));
        BatchList->clearSelection();
    }
}

void DlgPrint::ShowPrintStatus(bool show) {
    for (QWidget* w : std::initializer_list<QWidget*>{WhichPage, StatusWin, POut, PrintHeader}) {
        w->setVisible(show);
    }
}

void DlgPrint::OnViewerLoadProgress(int percent) {
    const int value = std::clamp(percent, 0, 100);
    statProgress->setValue(value);
    StatusWin->repaint();
    tp->setVisible(true);
    tp->setValue(value);
}

void DlgPrint::CloseDialog() {
    SavePrinterSettings();
    if (m_jobs.isRunning()) {
        m_closeAfterJob = true;  // Command1_Click closes once the job has returned
        return;
    }
    close();
}

}  // namespace sw::printing
