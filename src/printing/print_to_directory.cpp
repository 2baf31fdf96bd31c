#include "printing/print_to_directory.h"

#include <QDir>

#include "base/script_error.h"
#include "printing/paged_printer_device.h"

namespace sw::printing {

namespace {

struct Redirection {
    QString directory;
    int nextNumber = 1;
};

Redirection& redirection() {
    static Redirection instance;
    return instance;
}

}  // namespace

void setPrintToDirectory(const QString& directory) {
    redirection().directory = directory;
    redirection().nextNumber = 1;
}

QString printToDirectory() {
    return redirection().directory;
}

std::unique_ptr<PrinterDevice> redirectedPrinterFor(const PrinterDevice& printer) {
    Redirection& r = redirection();
    if (r.directory.isEmpty()) {
        return nullptr;
    }
    if (!QDir().mkpath(r.directory)) {
        throw base::ScriptError::custom(QStringLiteral("Cannot create the folder ") + r.directory);
    }
    const QString name = QStringLiteral("%1.pdf").arg(r.nextNumber++, 3, 10, QLatin1Char('0'));
    return PdfPrinterDevice::mimicking(printer, QDir(r.directory).filePath(name));
}

}  // namespace sw::printing
