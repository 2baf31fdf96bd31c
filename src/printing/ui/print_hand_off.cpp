#include "printing/ui/print_hand_off.h"

#include <memory>

#include "base/script_error.h"
#include "base/vb.h"
#include "imaging/imaging_error.h"
#include "imaging/ui/imaging_control.h"
#include "printing/ui/dlg_print.h"
#include "printing/ui/print_messages.h"
#include "printing/visible_part.h"

namespace sw::printing {

namespace {

using imaging::ImagingControl;

constexpr double kHandOffDpi = 200.0;
constexpr int kFormatG4 = 29;
constexpr int kQuerySize = 15;

// Step 4: sheets finer than 200 dpi are resampled to 200 dpi, both axes by the horizontal ratio.
void limitResolution(ImagingControl& viewer) {
    const double r = viewer.resolutionX();
    if (!(r > kHandOffDpi)) {
        return;
    }
    viewer.setResolution(kHandOffDpi, kHandOffDpi);
    const double q = r / kHandOffDpi;
    viewer.resample(static_cast<float>(viewer.imageWidth() / q),
                    static_cast<float>(viewer.imageHeight() / q), 0);
}

// Step 5.2: the part of the sheet visible in the zoomed viewer, as image 2.
void cutVisiblePart(DlgPrint& dialog, ImagingControl& viewer, ImagingControl& v2,
                    const QByteArray& buffer) {
    const QSize visible = viewer.visibleSize();
    const VisiblePart part = visiblePart(viewer.displayRect(), viewer.sourceSize(), visible);
    if (viewer.sheet().overlay()) {
        v2.setSheet(viewer.sheet());  // a comparison travels with the sheet, not in the buffer
    } else {
        v2.loadFromMemory(buffer);
    }
    v2.crop(part.x0, part.y0, part.width, part.height);
    v2.setDisplayRect(QRectF(0, 0, visible.width(), visible.height()));
    dialog.viewer().insertImage(2, v2.sheet());
    dialog.SetPartial();
    v2.clearImage();
}

void handOver(DlgPrint& dialog, const HandOffValues& values, ImagingControl& viewer,
              ImagingControl& v2) {
    dialog.UseBlue = values.printInBlue;
    dialog.IniFile = values.iniPath;
    dialog.BatchSave = values.localRoot;
    dialog.PrintSettingsHaveChanged = false;
    dialog.setSheetMarks(values.marks);

    limitResolution(viewer);
    if (viewer.loadedImage() > 0) {
        QByteArray buffer;
        if (viewer.saveToMemory(buffer, kFormatG4, 1, -1) == 0) {
            (void)ImagingControl::queryMemory(buffer, kQuerySize);
            dialog.viewer().loadFromMemory(buffer);
            dialog.viewer().insertImage(1, viewer.sheet());
            dialog.viewer().setPaintSizeMode(ImagingControl::kFit);
            dialog.viewer().setAnnotationSetting(1);
        }
        if (viewer.paintSizeMode() != ImagingControl::kFit) {
            cutVisiblePart(dialog, viewer, v2, buffer);
        }
    }
    (void)dialog.setBatch(values.localRoot, values.projectSubPath, values.planLabels,
                          values.planFiles, values.planUrl, values.projectId,
                          base::vb::toInt16(static_cast<double>(values.rotation) * 100));
    dialog.PrintSettingsHaveChanged = true;
    if (values.printInBlue) {
        dialog.PrintInBlue();
    }
    if (values.reversePrint) {
        dialog.ReverseBatch = true;
    }
}

}  // namespace

DlgPrint* PrintCurrentPlan(const HandOffValues& values, ImagingControl& viewer, ImagingControl& v2,
                           QWidget* parent, PrinterCatalog* printers) {
    auto dialog = std::make_unique<DlgPrint>(parent, printers);
    try {
        handOver(*dialog, values, viewer, v2);
    } catch (const base::ScriptError& e) {
        showPrintMessage(parent, e.description(), QString::number(e.number()),
                         PrintMessageIcon::Critical);
        return nullptr;
    } catch (const imaging::ImagingError& e) {
        showPrintMessage(parent, e.message(),
                         QString::number(static_cast<int>(base::ScriptError::Code::Custom)),
                         PrintMessageIcon::Critical);
        return nullptr;
    }
    DlgPrint* shown = dialog.release();
    shown->setModal(false);
    shown->show();
    viewer.repaintNow();
    return shown;
}

}  // namespace sw::printing
