#include "printing/ui/qt_printer_device.h"

#include <cmath>

#include <QPrinter>
#include <QPrinterInfo>

#include "host/script_error.h"
#include "printing/named_printers.h"
#include "printing/paper_names.h"

namespace sw::printing {

namespace {

// Paper sources as numbered bins, in QPrinter::PaperSource order (OnlyOne/Upper .. FormSource).
constexpr int kBins[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 15};
constexpr int kBinCount = static_cast<int>(sizeof kBins / sizeof kBins[0]);

std::optional<int> binOf(QPrinter::PaperSource source) {
    const int index = static_cast<int>(source);
    if (index < 0 || index >= kBinCount) {
        return std::nullopt;
    }
    return kBins[index];
}

QPrinter::PaperSource sourceOfBin(int bin) {
    for (int i = 0; i < kBinCount; ++i) {
        if (kBins[i] == bin) {
            return static_cast<QPrinter::PaperSource>(i);
        }
    }
    throw host::ScriptError::invalidArgument();
}

std::unique_ptr<PrinterDevice> openNamedPrinter(const QString& name) {
    if (!QPrinterInfo::availablePrinterNames().contains(name)) {
        return nullptr;
    }
    return std::make_unique<QPrinterDevice>(name);
}

}  // namespace

// ---- QPrinterDevice ---------------------------------------------------------------------------

QPrinterDevice::QPrinterDevice(const QString& name)
    : m_printer(name.isEmpty() ? std::make_unique<QPrinter>(QPrinter::HighResolution)
                               : std::make_unique<QPrinter>(QPrinterInfo::printerInfo(name),
                                                            QPrinter::HighResolution)) {
    m_printer->setFullPage(true);
    m_printer->setDocName(QStringLiteral("Sheetwise plan"));
    m_printer->setCreator(QStringLiteral("Sheetwise"));
}

QPrinterDevice::~QPrinterDevice() = default;

QString QPrinterDevice::deviceName() const {
    return m_printer->printerName();
}

int QPrinterDevice::paperSize() const {
    return paperCodeForPageSize(pageLayout().pageSize());
}

int QPrinterDevice::orientation() const {
    return m_printer->pageLayout().orientation() == QPageLayout::Landscape ? kLandscape : kPortrait;
}

std::optional<int> QPrinterDevice::setting(PrinterSetting which) const {
    switch (which) {
        case PrinterSetting::Copies:
            return m_printer->copyCount();
        case PrinterSetting::ColourMode:
            return m_printer->colorMode() == QPrinter::Color ? 2 : 1;
        case PrinterSetting::Duplex:
            switch (m_printer->duplex()) {
                case QPrinter::DuplexNone:
                    return 1;
                case QPrinter::DuplexShortSide:
                    return 3;
                default:
                    return 2;
            }
        case PrinterSetting::Resolution:
            return m_printer->resolution();
        case PrinterSetting::PaperSize:
            return paperSize();
        case PrinterSetting::PaperSource:
            return binOf(m_printer->paperSource());
        case PrinterSetting::Orientation:
            return orientation();
    }
    return std::nullopt;
}

void QPrinterDevice::setSetting(PrinterSetting which, int value) {
    requireNoDocument();
    applySetting(which, value);
    // A printer that does not offer the value keeps its own: that is a refusal. A paper code
    // is taken when the printer's paper has its size (Letter Small is printed on Letter).
    bool taken = setting(which) == value;
    if (which == PrinterSetting::PaperSize) {
        const QSizeF wanted = pageSizeForPaperCode(value)->size(QPageSize::Point);
        const QSizeF got = pageLayout().pageSize().size(QPageSize::Point);
        taken = std::abs(wanted.width() - got.width()) < 1 &&
                std::abs(wanted.height() - got.height()) < 1;
    }
    if (!taken) {
        throw host::ScriptError::invalidArgument();
    }
}

void QPrinterDevice::applySetting(PrinterSetting which, int value) {
    switch (which) {
        case PrinterSetting::Copies:
            if (value < 1) {
                throw host::ScriptError::invalidArgument();
            }
            m_printer->setCopyCount(value);
            return;
        case PrinterSetting::ColourMode:
            m_printer->setColorMode(value == 2 ? QPrinter::Color : QPrinter::GrayScale);
            return;
        case PrinterSetting::Duplex:
            if (value < 1 || value > 3) {
                throw host::ScriptError::invalidArgument();
            }
            m_printer->setDuplex(value == 1   ? QPrinter::DuplexNone
                                 : value == 2 ? QPrinter::DuplexLongSide
                                              : QPrinter::DuplexShortSide);
            return;
        case PrinterSetting::Resolution:
            if (value < 1) {
                throw host::ScriptError::invalidArgument();
            }
            m_printer->setResolution(value);
            return;
        case PrinterSetting::PaperSize: {
            const std::optional<QPageSize> size = pageSizeForPaperCode(value);
            if (!size || !m_printer->setPageSize(*size)) {
                throw host::ScriptError::invalidArgument();
            }
            return;
        }
        case PrinterSetting::PaperSource:
            m_printer->setPaperSource(sourceOfBin(value));
            return;
        case PrinterSetting::Orientation:
            if (value != kPortrait && value != kLandscape) {
                throw host::ScriptError::invalidArgument();
            }
            m_printer->setPageOrientation(value == kLandscape ? QPageLayout::Landscape
                                                              : QPageLayout::Portrait);
            return;
    }
}

QPagedPaintDevice& QPrinterDevice::paintDevice() const {
    return *m_printer;
}

QPageLayout QPrinterDevice::pageLayout() const {
    return m_printer->pageLayout();
}

int QPrinterDevice::resolution() const {
    return m_printer->resolution();
}

void QPrinterDevice::prepareDocument() {
    if (m_printer->printerName().isEmpty() && m_printer->outputFormat() == QPrinter::NativeFormat) {
        throw host::ScriptError::custom(QStringLiteral("No printer is installed"));
    }
    m_printer->setFullPage(true);
}

QString QPrinterDevice::openFailure() const {
    return QStringLiteral("Cannot print on ") + m_printer->printerName();
}

// ---- QtPrinterCatalog ---------------------------------------------------------------------------

QtPrinterCatalog::QtPrinterCatalog() {
    m_lastDefault = QPrinterInfo::defaultPrinterName();
    const QStringList names = printerNames();
    m_current = names.contains(m_lastDefault) ? m_lastDefault : names.value(0);
}

QtPrinterCatalog::~QtPrinterCatalog() = default;

QStringList QtPrinterCatalog::printerNames() const {
    return QPrinterInfo::availablePrinterNames();
}

QPrinterDevice& QtPrinterCatalog::device(const QString& name) {
    auto it = m_devices.find(name);
    if (it == m_devices.end()) {
        it = m_devices.emplace(name, std::make_unique<QPrinterDevice>(name)).first;
    }
    return *it->second;
}

PrinterDevice& QtPrinterCatalog::current() {
    if (m_trackDefault) {
        const QString systemDefault = QPrinterInfo::defaultPrinterName();
        if (systemDefault != m_lastDefault && !systemDefault.isEmpty()) {
            m_current = systemDefault;
        }
        m_lastDefault = systemDefault;
    }
    return device(m_current);
}

void QtPrinterCatalog::select(const QString& name) {
    if (printerNames().contains(name)) {
        m_current = name;
    }
}

PrinterCatalog& systemPrinters() {
    static QtPrinterCatalog catalog;
    return catalog;
}

void installNamedPrinterOpener() {
    setNamedPrinterOpener(&openNamedPrinter);
}

namespace {
// Linking the printing UI library makes `sheetwise print --printer NAME` work.
const bool kOpenerInstalled = (installNamedPrinterOpener(), true);
}  // namespace

}  // namespace sw::printing
