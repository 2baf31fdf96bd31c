#include "printing/print_dialog_records.h"

namespace sw::printing {

QString recordDeviceName(const QString& dmDeviceName) {
    const qsizetype nul = dmDeviceName.indexOf(QChar(u'\0'));
    return nul < 0 ? dmDeviceName : dmDeviceName.left(nul);
}

int findExactPrinter(const QStringList& printerNames, const QString& deviceName) {
    return static_cast<int>(printerNames.indexOf(deviceName));
}

}  // namespace sw::printing
