// DlgPrint: page-count labels and the page-boundary preview over the dialog's sheet.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>

#include "base/vb.h"
#include "imaging/ui/imaging_control.h"
#include "printing/ui/dlg_print.h"

namespace sw::printing {

LayoutOptions DlgPrint::layoutOptions() const {
    return {Combo1->currentText(), AutoClip->isChecked()};
}

LayoutSheet DlgPrint::layoutSheet() const {
    LayoutSheet sheet;
    sheet.hasImage = m_viewer->loadedImage() > 0;
    sheet.imageWidthPx = m_viewer->imageWidth();
    sheet.imageHeightPx = m_viewer->imageHeight();
    sheet.resX = m_viewer->resolutionX();
    sheet.resY = m_viewer->resolutionY();
    const QRectF display = m_viewer->displayRect();
    sheet.displayWidth = display.width();
    sheet.displayHeight = display.height();
    return sheet;
}

void DlgPrint::UpdatePageLayout() {
    // While a job prints, the labels show the job's grid and the preview stays as it is. Before
    // the dialog is shown its sheet has no place on screen yet; showing it lays it out.
    if (m_jobs.isRunning() || !isVisible()) {
        return;
    }
    const LayoutResult result =
        printing::UpdatePageLayout(layoutOptions(), layoutSheet(), m_printers.current(), m_scale);
    m_fitsOnOnePage = result.fitsOnOnePage;
    if (result.labels) {
        showPageCountLabels(*result.labels);
    }
    QString error = result.error;
    if (result.preview) {
        try {
            drawPreview(*result.preview);
        } catch (const std::exception& e) {
            error = QString::fromUtf8(e.what());
        }
    }
    if (!error.isEmpty()) {
        ld->addItem(error);
        ld->scrollToBottom();
    }
}

void DlgPrint::showPageCountLabels(const PageCountLabels& labels) {
    lblNumVert->setText(labels.rows);
    lblNumHor->setText(labels.columns);
    lblNumTotal->setText(labels.total);
}

void DlgPrint::drawPreview(const QList<PreviewObject>& objects) {
    // The control keeps one overlay for all its images, so the previous preview always goes
    // (also after "Print Selected Area Only" switched the image).
    m_viewer->removeAnnotations();
    m_previewLineCount = 1;
    m_viewer->setAnnotationMode(1);
    m_viewer->setAnnotationSetting(0);
    for (const PreviewObject& object : objects) {
        imaging::ImagingControl::Annotation a;
        a.from = object.from;
        a.to = object.to;
        a.tag = m_previewLineCount;
        if (object.kind == PreviewObject::Kind::Line) {
            a.kind = imaging::ImagingControl::Annotation::Kind::Line;
            a.lineWidth = kPreviewLineWidth;
            a.lineStyle = kPreviewLineStyle;
        } else {
            a.kind = imaging::ImagingControl::Annotation::Kind::Rectangle;
            a.lineWidth = 0;
            a.lineStyle = 0;
            a.lineColour = kCropCoverColour;
            a.fillColour = kCropCoverColour;
        }
        m_viewer->addAnnotation(a);
        m_previewLineCount = base::vb::add16(m_previewLineCount, 1);
    }
    m_viewer->setAnnotationMode(2);
    m_viewer->repaintNow();
}

void DlgPrint::selectionOnlyClicked() {
    m_viewer->setCurrentImage(SelectionOnly->isChecked() ? 2 : 1);
    m_previewLineCount = 0;
    UpdatePageLayout();
}

}  // namespace sw::printing
