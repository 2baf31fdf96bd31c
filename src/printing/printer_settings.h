#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include <QString>

#include "printing/printer_device.h"

namespace sw::printing {

// The print dialog's remembered printer: the three values of the "Printing" section of the
// settings file, and the seven settings of the current printer captured when the dialog took
// its printer (PrinterSetting order). Lives as long as one dialog.
struct SavedPrinterSettings {
    QString savedPrinterName;
    QString savedPaperSize;
    QString savedOrientation;
    std::array<std::int16_t, kPrinterSettingCount> savedPrinterProps{};
};

inline const QString kPrintingSection = QStringLiteral("Printing");
inline const QString kDefaultPrinterKey = QStringLiteral("Default Printer");
inline const QString kDefaultPaperKey = QStringLiteral("Default Paper");
inline const QString kDefaultOrientationKey = QStringLiteral("Default Orientation");

// Reads the three "Printing" keys (default "none"), selects the printer whose device name
// matches exactly, sets paper size and orientation when the stored texts are numbers, then
// captures the printer's settings. Every step that fails is skipped; nothing is written.
void LoadPrinterSettings(const QString& iniFile, PrinterCatalog& printers,
                         SavedPrinterSettings& saved);

// Pushes the remembered settings onto the current printer, then writes its device name, paper
// size code and orientation code to the "Printing" section. Returns false when the settings
// file could not be written.
bool SavePrinterSettings(const QString& iniFile, PrinterCatalog& printers,
                         const SavedPrinterSettings& saved);

// Writes each remembered setting whose value differs from the printer's current one, in the
// PrinterSetting order; the paper source is written only when remembered as non-zero. A setting
// the printer cannot read or refuses is skipped.
void ApplySavedPrinterProperties(PrinterDevice& printer, const SavedPrinterSettings& saved);

// Reads the seven settings of `printer`; a setting that cannot be read keeps its old value.
void CapturePrinterProperties(const PrinterDevice& printer, SavedPrinterSettings& saved);

// What the printer set-up dialog reports when the user confirms it.
struct PrinterSetupChoice {
    QString printerName;
    std::array<std::optional<int>, kPrinterSettingCount> values;
};

// The pre-filled values for the set-up dialog, read from the current printer.
struct PrinterSetupRequest {
    QString printerName;
    std::optional<int> resolution;  // device setting D
    int paperSize = 0;
    int orientation = kPortrait;
};
PrinterSetupRequest printerSetupRequest(const PrinterDevice& printer);

// Takes a confirmed set-up: switches to the chosen printer when its name differs (compared
// without letter case, so any installed printer whose upper-cased name matches is taken), then
// sets each reported setting on the current printer and reads it back into
// `saved.savedPrinterProps`. Each setting is guarded on its own.
void applyPrinterSetupChoice(PrinterCatalog& printers, const PrinterSetupChoice& choice,
                             SavedPrinterSettings& saved);

}  // namespace sw::printing
