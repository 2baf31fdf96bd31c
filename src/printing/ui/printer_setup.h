#pragma once

#include <optional>

#include "printing/printer_settings.h"

class QWidget;

namespace sw::printing {

// The printer set-up step of the print dialog: a dialog pre-filled from the current printer
// (name, resolution, paper size, orientation) that reports the printer the user chose and the
// seven settings, or nothing when the user cancels.
class PrinterSetupComponent {
public:
    virtual ~PrinterSetupComponent() = default;
    virtual std::optional<PrinterSetupChoice> run(const PrinterSetupRequest& request,
                                                  QWidget* owner) = 0;
};

// The set-up step over Qt's print dialog (QPrintDialog): printer, copies, paper size,
// orientation, duplex and colour mode as the platform's dialog offers them, on a scratch printer
// object, so nothing changes on the current printer until the user confirms. The page-range
// and print-to-file parts of the dialog are switched off (the set-up dialog's flags).
class QtPrinterSetup : public PrinterSetupComponent {
public:
    std::optional<PrinterSetupChoice> run(const PrinterSetupRequest& request,
                                          QWidget* owner) override;
};

}  // namespace sw::printing
