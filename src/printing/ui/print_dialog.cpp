#include "printing/ui/print_dialog.h"

#include <QPrintDialog>
#include <QPrinter>

#include "base/vb.h"

namespace sw::printing {

void PrintDialog::show(QWidget* hwndOwner) {
    m_Printer = QPrinterInfo();

    QPrinter printer;
    if (m_record.nCopies > 0) {
        printer.setCopyCount(m_record.nCopies);
    }
    if (m_record.nFromPage > 0 && m_record.nToPage >= m_record.nFromPage) {
        printer.setFromTo(m_record.nFromPage, m_record.nToPage);
    }
    QPrintDialog dialog(&printer, hwndOwner);
    if (m_pages != 0) {
        dialog.setMinMax(1, m_pages);
    }
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }

    m_devMode.dmDeviceName =
        printer.outputFormat() == QPrinter::NativeFormat ? printer.printerName() : QString();
    m_devMode.dmCopies = base::vb::toInt16(printer.copyCount());
    if (printer.printRange() == QPrinter::PageRange) {
        m_record.nFromPage = base::vb::toInt16(printer.fromPage());
        m_record.nToPage = base::vb::toInt16(printer.toPage());
    }

    const QString deviceName = recordDeviceName(m_devMode.dmDeviceName);
    const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
    QStringList names;
    for (const QPrinterInfo& info : printers) {
        names << info.printerName();
    }
    const int found = deviceName.isEmpty() ? -1 : findExactPrinter(names, deviceName);
    if (found >= 0) {
        m_Printer = printers.at(found);
    }
}

}  // namespace sw::printing
