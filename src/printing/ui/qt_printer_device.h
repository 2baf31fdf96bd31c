#pragma once

#include <map>
#include <memory>

#include <QString>

#include "printing/paged_printer_device.h"

class QPrinter;

namespace sw::printing {

// An installed printer (CUPS on Linux) through QPrinter at its own resolution, in full-page mode
// so that the printable area's offsets come from the page layout's margins (the printer's
// unprintable area) and tiles land on exact device pixels.
//
// Paper sizes map to the numbered paper list through QPageSize (paperCodeForPageSize); the
// five device settings are copies, colour mode, duplex, resolution and paper source (see
// PrinterSetting). A value the printer does not offer (a duplex mode of a one-sided printer) is
// refused with an error. Owns its QPrinter. UI thread only.
class QPrinterDevice : public PagedPrinterDevice {
public:
    // The printer named `name`; an empty name gives a printer object with no printer behind it,
    // whose output operations fail with "No printer is installed".
    explicit QPrinterDevice(const QString& name);
    ~QPrinterDevice() override;

    [[nodiscard]] QString deviceName() const override;
    [[nodiscard]] int paperSize() const override;
    [[nodiscard]] int orientation() const override;
    [[nodiscard]] std::optional<int> setting(PrinterSetting which) const override;
    void setSetting(PrinterSetting which, int value) override;

    [[nodiscard]] QPrinter& printer() const { return *m_printer; }

protected:
    [[nodiscard]] QPagedPaintDevice& paintDevice() const override;
    [[nodiscard]] QPageLayout pageLayout() const override;
    [[nodiscard]] int resolution() const override;
    void prepareDocument() override;
    [[nodiscard]] QString openFailure() const override;

private:
    void applySetting(PrinterSetting which, int value);

    std::unique_ptr<QPrinter> m_printer;
};

// The system's printers (QPrinterInfo). Devices are opened on first use and kept for the
// catalog's life, so a device a running job draws on stays valid when another printer is
// selected. The current printer starts as the system's default printer (or the first one).
class QtPrinterCatalog : public PrinterCatalog {
public:
    QtPrinterCatalog();
    ~QtPrinterCatalog() override;

    [[nodiscard]] QStringList printerNames() const override;
    [[nodiscard]] PrinterDevice& current() override;
    void select(const QString& name) override;
    void setTrackDefault(bool on) override { m_trackDefault = on; }
    [[nodiscard]] bool trackDefault() const override { return m_trackDefault; }

private:
    QPrinterDevice& device(const QString& name);

    std::map<QString, std::unique_ptr<QPrinterDevice>> m_devices;
    QString m_current;
    QString m_lastDefault;
    bool m_trackDefault = true;
};

// The process's printer catalog (the system printer object shared by every print dialog).
PrinterCatalog& systemPrinters();

// Makes the headless print command able to open installed printers by name.
void installNamedPrinterOpener();

}  // namespace sw::printing
