#pragma once

#include <cstdint>

#include <QString>
#include <QStringList>

// What the public PrintDialog class (printing/ui/print_dialog.h) keeps between two showings of
// the system's Print dialog, and how it finds the printer the user chose. Plain values, no
// display needed.
namespace sw::printing {

// The values offered to and returned by the Print dialog. 16-bit as hosts see them.
struct PrintDlgRecord {
    std::int16_t nFromPage = 0;  // first page of the range; 0 = none offered
    std::int16_t nToPage = 0;    // last page of the range; 0 = none offered
    std::int16_t nCopies = 0;    // copies offered when the dialog opens; 0 = the printer's own
};

// What the last confirmed dialog reported about the chosen printer.
struct DevModeRecord {
    QString dmDeviceName;       // the device name as the dialog returned it
    std::int16_t dmCopies = 0;  // copies the user chose; 0 before any confirmed dialog
};

// The device name of a record: the text up to its first NUL character, the whole text when it
// holds none (so a name that fills the record's 32 characters is used whole). Unlike the original
// platform's fixed 32-character field, names are not cut at 32: print queues here may be longer.
QString recordDeviceName(const QString& dmDeviceName);

// Index of the first printer whose name equals `deviceName` exactly (letter case matters), or -1.
int findExactPrinter(const QStringList& printerNames, const QString& deviceName);

}  // namespace sw::printing
