#include "printing/ui/printer_setup.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "printing/paper_names.h"
#include "printing/ui/qt_printer_device.h"

namespace sw::printing {

std::optional<PrinterSetupChoice> QtPrinterSetup::run(const PrinterSetupRequest& request,
                                                      QWidget* owner) {
    // The scratch printer is read through a QPrinterDevice so the settings map exactly as they
    // do for the current printer.
    QPrinterDevice scratch(QPrinterInfo::availablePrinterNames().contains(request.printerName)
                               ? request.printerName
                               : QString());
    const auto tryPrefill = [&](PrinterSetting which, std::optional<int> value) {
        if (!value) {
            return;
        }
        try {
            scratch.setSetting(which, *value);
        } catch (const std::exception&) {
        }
    };
    tryPrefill(PrinterSetting::Resolution, request.resolution);
    tryPrefill(PrinterSetting::PaperSize, request.paperSize);
    tryPrefill(PrinterSetting::Orientation, request.orientation);

    QPrintDialog dialog(&scratch.printer(), owner);
    dialog.setWindowTitle(QStringLiteral("Printer Setup"));
    dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    PrinterSetupChoice choice;
    choice.printerName = scratch.deviceName();
    for (int i = 0; i < kPrinterSettingCount; ++i) {
        choice.values[static_cast<std::size_t>(i)] =
            scratch.setting(static_cast<PrinterSetting>(i));
    }
    return choice;
}

}  // namespace sw::printing
