#include "printing/printer_settings.h"

#include "base/ini_store.h"
#include "base/vb.h"

namespace sw::printing {

namespace {

// Reads go through a buffer of 128 characters (at most 127 kept).
constexpr int kReadBufferSize = 128;

QString readPrintingKey(const base::ProfileFile& settings, const QString& key) {
    const QString raw =
        settings.value(kPrintingSection, key, QStringLiteral("none"), kReadBufferSize);
    const qsizetype nul = raw.indexOf(QChar(0));
    return nul >= 0 ? raw.left(nul) : base::vb::trimBlanks(raw);
}

std::optional<std::int16_t> storedNumber(const QString& text) {
    const std::optional<double> number = base::vb::parseNumber(text);
    if (!number) {
        return std::nullopt;
    }
    try {
        return base::vb::toInt16(*number);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// Runs one guarded step: any failure skips the rest of the step.
template <typename Step>
void guarded(Step&& step) {
    try {
        step();
    } catch (const std::exception&) {
    }
}

constexpr PrinterSetting kSettingOrder[kPrinterSettingCount] = {
    PrinterSetting::Copies,      PrinterSetting::ColourMode, PrinterSetting::Duplex,
    PrinterSetting::Resolution,  PrinterSetting::PaperSize,  PrinterSetting::PaperSource,
    PrinterSetting::Orientation,
};

}  // namespace

void LoadPrinterSettings(const QString& iniFile, PrinterCatalog& printers,
                         SavedPrinterSettings& saved) {
    const base::ProfileFile settings = base::ProfileFile::read(iniFile);
    saved.savedPrinterName = readPrintingKey(settings, kDefaultPrinterKey);
    saved.savedPaperSize = readPrintingKey(settings, kDefaultPaperKey);
    saved.savedOrientation = readPrintingKey(settings, kDefaultOrientationKey);

    guarded([&] {
        for (const QString& name : printers.printerNames()) {
            if (name == saved.savedPrinterName) {
                printers.select(name);
            }
        }
    });
    if (const auto paper = storedNumber(saved.savedPaperSize)) {
        guarded([&] { printers.current().setSetting(PrinterSetting::PaperSize, *paper); });
    }
    if (const auto orientation = storedNumber(saved.savedOrientation)) {
        guarded([&] { printers.current().setSetting(PrinterSetting::Orientation, *orientation); });
    }
    guarded([&] { CapturePrinterProperties(printers.current(), saved); });
}

bool SavePrinterSettings(const QString& iniFile, PrinterCatalog& printers,
                         const SavedPrinterSettings& saved) {
    PrinterDevice& printer = printers.current();
    ApplySavedPrinterProperties(printer, saved);
    base::ProfileFile settings = base::ProfileFile::read(iniFile);
    bool ok = settings.setValue(kPrintingSection, kDefaultPrinterKey, printer.deviceName());
    ok = settings.setValue(kPrintingSection, kDefaultPaperKey,
                           QString::number(printer.paperSize())) &&
         ok;
    ok = settings.setValue(kPrintingSection, kDefaultOrientationKey,
                           QString::number(printer.orientation())) &&
         ok;
    return settings.save() && ok;
}

void ApplySavedPrinterProperties(PrinterDevice& printer, const SavedPrinterSettings& saved) {
    for (const PrinterSetting which : kSettingOrder) {
        guarded([&] {
            const int remembered = saved.savedPrinterProps[static_cast<std::size_t>(which)];
            const std::optional<int> current = printer.setting(which);
            if (!current) {
                return;
            }
            if (which == PrinterSetting::PaperSource && remembered == 0) {
                return;
            }
            if (*current != remembered) {
                printer.setSetting(which, remembered);
            }
        });
    }
}

void CapturePrinterProperties(const PrinterDevice& printer, SavedPrinterSettings& saved) {
    for (const PrinterSetting which : kSettingOrder) {
        guarded([&] {
            if (const std::optional<int> value = printer.setting(which)) {
                saved.savedPrinterProps[static_cast<std::size_t>(which)] =
                    base::vb::toInt16(*value);
            }
        });
    }
}

PrinterSetupRequest printerSetupRequest(const PrinterDevice& printer) {
    PrinterSetupRequest request;
    request.printerName = printer.deviceName();
    request.resolution = printer.setting(PrinterSetting::Resolution);
    request.paperSize = printer.paperSize();
    request.orientation = printer.orientation();
    return request;
}

void applyPrinterSetupChoice(PrinterCatalog& printers, const PrinterSetupChoice& choice,
                             SavedPrinterSettings& saved) {
    const QString chosen = choice.printerName.toUpper();
    if (chosen != printers.current().deviceName()) {
        for (const QString& name : printers.printerNames()) {
            if (name.toUpper() == chosen) {
                printers.select(name);
            }
        }
    }
    for (const PrinterSetting which : kSettingOrder) {
        guarded([&] {
            const auto index = static_cast<std::size_t>(which);
            PrinterDevice& printer = printers.current();
            if (choice.values[index]) {
                printer.setSetting(which, *choice.values[index]);
            }
            if (const std::optional<int> back = printer.setting(which)) {
                saved.savedPrinterProps[index] = base::vb::toInt16(*back);
            }
        });
    }
}

}  // namespace sw::printing
