#include "printing/ui/qt_printer_device.h"

#include <cups/cups.h>

#include <algorithm>
#include <cmath>

#include <QDir>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>

#include "base/script_error.h"
#include "printing/named_printers.h"
#include "printing/paper_names.h"
#include "printing/pdf_ink.h"

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
    throw base::ScriptError::invalidArgument();
}

// The print engine property under which Qt's print dialog leaves the CUPS options the user chose
// (Qt's private PPK_CupsOptions): a flat list of names and values.
constexpr auto kCupsOptionsProperty = QPrintEngine::PrintEnginePropertyKey(0xfe00);

bool samePoints(const QPageSize& a, const QPageSize& b) {
    const QSizeF x = a.size(QPageSize::Point);
    const QSizeF y = b.size(QPageSize::Point);
    return std::abs(x.width() - y.width()) < 1 && std::abs(x.height() - y.height()) < 1;
}

// Whether the queue can print on `size`: one of its own sizes, or any size when it takes custom
// sizes. A printer that reports no sizes at all is taken at its word for every size.
bool queueOffers(const QPrinterInfo& info, const QPageSize& size) {
    const QList<QPageSize> sizes = info.supportedPageSizes();
    if (info.isNull() || sizes.isEmpty() || info.supportsCustomPageSizes()) {
        return true;
    }
    return std::any_of(sizes.begin(), sizes.end(),
                       [&](const QPageSize& offered) { return samePoints(offered, size); });
}

// Where a sheet in a CUPS options list goes: libcups keeps name/value pairs in a C array.
struct CupsOptions {
    int count = 0;
    cups_option_t* options = nullptr;
    ~CupsOptions() { cupsFreeOptions(count, options); }
    void add(const QByteArray& name, const QByteArray& value) {
        count = cupsAddOption(name.constData(), value.constData(), count, &options);
    }
};

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

QPrinterDevice::~QPrinterDevice() {
    closeOpenDocument();
}

QString QPrinterDevice::deviceName() const {
    return m_printer->printerName();
}

int QPrinterDevice::paperSize() const {
    return paperCode();
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
    if (which == PrinterSetting::PaperSize) {
        applyPaperCode(value);
        return;
    }
    applySetting(which, value);
    // A printer that does not offer the value keeps its own: that is a refusal.
    if (setting(which) != value) {
        throw base::ScriptError::invalidArgument();
    }
}

void QPrinterDevice::applyPaperCode(int code) {
    const std::optional<QPageSize> size = pageSizeForPaperCode(code);
    if (!size) {
        throw base::ScriptError::invalidArgument();
    }
    const QPrinterInfo info = QPrinterInfo::printerInfo(m_printer->printerName());
    const QPageSize use = queueOffers(info, *size) ? *size : info.defaultPageSize();
    if (!m_printer->setPageSize(use) && !samePoints(pageLayout().pageSize(), use)) {
        throw base::ScriptError::invalidArgument();
    }
    rememberPaperCode(code);
}

void QPrinterDevice::applySetting(PrinterSetting which, int value) {
    switch (which) {
        case PrinterSetting::Copies:
            if (value < 1) {
                throw base::ScriptError::invalidArgument();
            }
            m_printer->setCopyCount(value);
            return;
        case PrinterSetting::ColourMode:
            m_printer->setColorMode(value == 2 ? QPrinter::Color : QPrinter::GrayScale);
            return;
        case PrinterSetting::Duplex:
            if (value < 1 || value > 3) {
                throw base::ScriptError::invalidArgument();
            }
            m_printer->setDuplex(value == 1   ? QPrinter::DuplexNone
                                 : value == 2 ? QPrinter::DuplexLongSide
                                              : QPrinter::DuplexShortSide);
            return;
        case PrinterSetting::Resolution:
            if (value < 1) {
                throw base::ScriptError::invalidArgument();
            }
            m_printer->setResolution(value);
            return;
        case PrinterSetting::PaperSize:
            applyPaperCode(value);
            return;
        case PrinterSetting::PaperSource:
            m_printer->setPaperSource(sourceOfBin(value));
            return;
        case PrinterSetting::Orientation:
            if (value != kPortrait && value != kLandscape) {
                throw base::ScriptError::invalidArgument();
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
    // The driver reports its minimum margins for portrait paper (CUPS: the PPD's imageable area,
    // whatever the orientation); a landscape page is the paper turned a quarter counter-clockwise.
    QPageLayout layout = m_printer->pageLayout();
    QMarginsF m = layout.minimumMargins();
    if (layout.orientation() == QPageLayout::Landscape) {
        m = QMarginsF(m.bottom(), m.left(), m.top(), m.right());
    }
    layout.setMode(QPageLayout::FullPageMode);
    layout.setMargins(m);
    return layout;
}

int QPrinterDevice::resolution() const {
    return m_printer->resolution();
}

void QPrinterDevice::prepareDocument() {
    if (m_printer->printerName().isEmpty() && m_printer->outputFormat() == QPrinter::NativeFormat) {
        throw base::ScriptError::custom(QStringLiteral("No printer is installed"));
    }
    m_printer->setFullPage(true);
    // Not ".pdf": that name would switch QPrinter from the queue's engine to a plain PDF writer.
    m_spool = std::make_unique<QTemporaryFile>(QDir::tempPath() +
                                               QStringLiteral("/sheetwise-print-XXXXXX.job"));
    if (!m_spool->open()) {
        const QString reason = m_spool->errorString();
        m_spool.reset();
        throw base::ScriptError::custom(QStringLiteral("Cannot write the print file: ") + reason);
    }
    m_spool->close();
    m_printer->setOutputFileName(m_spool->fileName());
}

void QPrinterDevice::abandonDocument() {
    m_printer->setOutputFileName(QString());
    m_spool.reset();
}

void QPrinterDevice::finishDocument(std::optional<int> stencilInkBit) {
    m_printer->setOutputFileName(QString());
    try {
        if (stencilInkBit) {
            turnBilevelImagesIntoStencils(m_spool->fileName(), *stencilInkBit);
        }
        submitSpoolFile();
    } catch (...) {
        m_spool.reset();
        throw;
    }
    m_spool.reset();
}

void QPrinterDevice::submitSpoolFile() {
    CupsOptions options;
    options.add("media", m_printer->pageLayout().pageSize().key().toLocal8Bit());
    const int copies = m_printer->copyCount();
    if (copies > 1) {
        options.add("copies", QByteArray::number(copies));
        if (m_printer->collateCopies()) {
            options.add("Collate", "True");
        }
    }
    const bool landscape = m_printer->pageLayout().orientation() == QPageLayout::Landscape;
    switch (m_printer->duplex()) {
        case QPrinter::DuplexNone:
            options.add("sides", "one-sided");
            break;
        case QPrinter::DuplexAuto:
            options.add("sides", landscape ? "two-sided-short-edge" : "two-sided-long-edge");
            break;
        case QPrinter::DuplexLongSide:
            options.add("sides", "two-sided-long-edge");
            break;
        case QPrinter::DuplexShortSide:
            options.add("sides", "two-sided-short-edge");
            break;
    }
    if (landscape) {
        options.add("landscape", "true");
    }
    const QStringList chosen =
        m_printer->printEngine()->property(kCupsOptionsProperty).toStringList();
    for (qsizetype i = 0; i + 1 < chosen.size(); i += 2) {
        options.add(chosen.at(i).toLocal8Bit(), chosen.at(i + 1).toLocal8Bit());
    }
    // A queue instance ("queue/instance") prints on its queue.
    const QByteArray queue = m_printer->printerName().section(QLatin1Char('/'), 0, 0).toLocal8Bit();
    const int job =
        cupsPrintFile(queue.constData(), QFile::encodeName(m_spool->fileName()).constData(),
                      m_printer->docName().toUtf8().constData(), options.count, options.options);
    if (job == 0) {
        throw base::ScriptError::custom(
            QStringLiteral("Cannot print on %1: %2")
                .arg(m_printer->printerName(), QString::fromUtf8(cupsLastErrorString())));
    }
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
