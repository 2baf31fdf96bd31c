#pragma once

#include <memory>

#include <QString>

#include "printing/printer_device.h"

namespace sw::printing {

// Opens an installed printer by name for the headless print command. The core library cannot
// reach the system's printers (that needs Qt Print Support); the printing UI library installs
// the opener when it is linked in. Returns nothing for an unknown name.
using NamedPrinterOpener = std::unique_ptr<PrinterDevice> (*)(const QString& name);

void setNamedPrinterOpener(NamedPrinterOpener opener);
[[nodiscard]] NamedPrinterOpener namedPrinterOpener();

}  // namespace sw::printing
