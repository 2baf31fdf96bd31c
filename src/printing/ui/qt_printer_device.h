#pragma once

#include <map>
#include <memory>

#include <QString>

#include "printing/paged_printer_device.h"

class QPrinter;
class QTemporaryFile;

namespace sw::printing {

// An installed printer (CUPS on Linux) through QPrinter at its own resolution, in full-page mode
// so that tiles land on exact device pixels. The unprintable margins are the printer's own: the
// minimum margins its driver reports for the paper (for a CUPS queue the imageable area of its
// PPD), not the margins Qt puts on a new page layout.
//
// Paper size codes: the code the user chose is kept as long as the printer keeps the page size
// it gave, so codes of one size read back as chosen (Letter Small 2 stays 2 on Letter paper).
// A paper the queue does not offer (and it takes no custom sizes) keeps its code too, while the
// page layout becomes the queue's default paper, which is what the queue will print on. The five
// device settings are copies, colour mode, duplex, resolution and paper source (see
// PrinterSetting). A value the printer does not offer (a duplex mode of a one-sided printer) is
// refused with an error.
//
// A job is written by Qt's printer engine to a spool file, its one-bit images become stencils of
// the ink when the sheet is not black (pdf_ink.h), and the file goes to the queue through libcups with the
// options Qt's own hand-over would give (paper, copies, collation, sides, orientation and the
// print dialog's CUPS options); black and blue jobs take the same way. Owns its QPrinter and the
// spool file of a running job. UI thread only.
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
    void finishDocument(std::optional<int> stencilInkBit) override;
    void abandonDocument() override;

private:
    void applySetting(PrinterSetting which, int value);
    void applyPaperCode(int code);
    // Hands the spool file to the queue; throws ScriptError with CUPS's reason on failure.
    void submitSpoolFile();

    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<QTemporaryFile> m_spool;
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
