#pragma once

#include <cstdint>

#include <QPrinterInfo>

#include "base/object_safety.h"
#include "printing/print_dialog_records.h"

class QWidget;

namespace sw::printing {

// PrintDialog: a public class for hosts that shows the system's Print dialog (QPrintDialog) and
// reports what the user chose: the printer, the number of copies and the page range. The viewer
// and DlgPrint do not use it.
//
// One instance keeps its values between showings: Copies, FromPage and ToPage written before
// show() are offered by the dialog; after a confirmed show() FromPage and ToPage hold the user's
// range (they stay as offered when the user prints all pages) and Copies reads the user's copies.
// Pages, when not 0, limits the dialog's page range to 1 .. Pages; nothing sets it but the
// caller, so by default it reads 0 and the range is open.
//
// m_Printer is the chosen installed printer as a QPrinterInfo, a null QPrinterInfo for none: each
// show() starts with none, and only a confirmed dialog whose printer is an installed printer of
// exactly that name (letter case matters) sets it. Printing to a file chooses no printer.
//
// Owns nothing beyond one showing (the QPrintDialog and its QPrinter live inside show()). UI
// thread only; show() runs a modal event loop.
class PrintDialog {
public:
    QPrinterInfo m_Printer;

    // Shows the Print dialog modal to `hwndOwner` (none: application modal) and returns when the
    // user closes it. A cancelled dialog is not an error: m_Printer stays none.
    void show(QWidget* hwndOwner = nullptr);

    // Copies: the reading is the last confirmed dialog's (0 before any); writing sets the value
    // offered when the dialog next opens.
    [[nodiscard]] std::int16_t Copies() const { return m_devMode.dmCopies; }
    void setCopies(std::int16_t copies) { m_record.nCopies = copies; }
    [[nodiscard]] std::int16_t FromPage() const { return m_record.nFromPage; }
    void setFromPage(std::int16_t page) { m_record.nFromPage = page; }
    [[nodiscard]] std::int16_t ToPage() const { return m_record.nToPage; }
    void setToPage(std::int16_t page) { m_record.nToPage = page; }
    [[nodiscard]] std::int16_t Pages() const { return m_pages; }
    void setPages(std::int16_t pages) { m_pages = pages; }

    // The safety answers every public class gives (base/object_safety.h).
    base::HResult GetInterfaceSafetyOptions(const std::optional<QUuid>& iid,
                                            std::uint32_t& supported,
                                            std::uint32_t& enabled) const {
        return m_safety.GetInterfaceSafetyOptions(iid, supported, enabled);
    }
    base::HResult SetInterfaceSafetyOptions(const std::optional<QUuid>& iid,
                                            std::uint32_t optionSetMask,
                                            std::uint32_t enabledOptions) const {
        return m_safety.SetInterfaceSafetyOptions(iid, optionSetMask, enabledOptions);
    }

private:
    PrintDlgRecord m_record;
    DevModeRecord m_devMode;
    std::int16_t m_pages = 0;
    base::ObjectSafety m_safety;
};

}  // namespace sw::printing
