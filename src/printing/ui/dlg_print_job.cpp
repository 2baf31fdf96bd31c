// DlgPrint: the print button's job over the dialog's widgets.
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>

#include "imaging/ui/imaging_control.h"
#include "printing/ui/dlg_print.h"
#include "printing/ui/print_messages.h"

namespace sw::printing {

// The dialog as the print job sees it.
class DlgPrint::JobHost : public PrintJobHost {
public:
    explicit JobHost(DlgPrint& dialog) : m_d(dialog) {}

    [[nodiscard]] LayoutSheet layoutSheet() const override { return m_d.layoutSheet(); }
    void resampleSheet(double width, double height) override {
        m_d.m_viewer->resample(width, height, 0);
    }
    // TransferSheetPicture: the control's image becomes the APIPicture holder's picture.
    [[nodiscard]] QImage sheetPicture() const override {
        m_d.m_apiPicture = m_d.m_viewer->picture();
        return m_d.m_apiPicture;
    }
    [[nodiscard]] SheetMarks sheetMarks() const override {
        // The marks belong to the sheet handed over by the viewer, not to a batch's sheets.
        if (m_d.m_batchPrinting) {
            return {};
        }
        return mappedMarks(m_d.m_sheetMarks, m_d.m_viewer->sheet().source().toImage);
    }
    void setAnnotationMode(int mode) override { m_d.m_viewer->setAnnotationMode(mode); }
    void setAutoRepaint(bool on) override { m_d.m_viewer->setAutoRepaint(on); }

    [[nodiscard]] LayoutOptions layoutOptions() const override { return m_d.layoutOptions(); }
    [[nodiscard]] bool batchPrinting() const override { return m_d.m_batchPrinting; }
    [[nodiscard]] TileMarks tileMarks() const override { return {m_d.Marks->isChecked()}; }
    void applySavedPrinterProperties() override { m_d.ApplySavedPrinterProperties(); }
    void showPageCountLabels(const PageCountLabels& labels) override {
        m_d.showPageCountLabels(labels);
    }
    void ShowPrintStatus(bool show) override { m_d.ShowPrintStatus(show); }
    void showWhichPage(const QString& text) override {
        m_d.WhichPage->setVisible(true);
        m_d.WhichPage->setText(text);
        m_d.WhichPage->repaint();
    }
    void repaintDialog() override { m_d.repaint(); }
    void processEvents() override { QCoreApplication::processEvents(); }
    void CloseDialog() override { m_d.CloseDialog(); }
    void showFailure(const QString& description) override { showPrintMessage(&m_d, description); }

private:
    DlgPrint& m_d;
};

void DlgPrint::Command1_Click() {
    if (m_jobs.isRunning()) {
        return;
    }
    m_fitsOnOnePage = false;
    JobHost host(*this);
    m_lastJob = m_jobs.run(host, m_printers.current(), m_scale);
    if (m_closeAfterJob) {
        m_closeAfterJob = false;
        close();
    }
}

}  // namespace sw::printing
