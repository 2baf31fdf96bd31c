#pragma once

#include <memory>

#include <QString>

#include "printing/printer_device.h"

namespace sw::printing {

// Process-wide "print to folder" switch for scripted runs and tests. While a folder is set,
// every print job that starts goes to a PDF file in it instead of the printer: 001.pdf, 002.pdf,
// ... in the order the jobs start (one number per job, also for a job that ends up printing
// nothing; an existing file of that name is replaced). The PDF has the current printer's page
// size, orientation, resolution and margins, and is drawn by the same job and raster code.
//
// Setting a folder (again) restarts the numbering at 001; an empty text switches redirection
// off. The folder is created when missing. Threads: the UI thread.
void setPrintToDirectory(const QString& directory);
[[nodiscard]] QString printToDirectory();

// When the switch is on: a PDF device standing in for `printer` for one job, writing the next
// numbered file. Nothing when the switch is off. Throws ScriptError when the folder cannot be
// created.
std::unique_ptr<PrinterDevice> redirectedPrinterFor(const PrinterDevice& printer);

}  // namespace sw::printing
