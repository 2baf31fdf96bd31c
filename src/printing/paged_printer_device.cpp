#include "printing/paged_printer_device.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPdfWriter>

#include "base/script_error.h"
#include "printing/paper_names.h"
#include "printing/pdf_ink.h"

namespace sw::printing {

namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kTwipsPerPoint = 20.0;
constexpr double kPointsPerInch = 72.0;
// Marks over the sheet: crimson, which stays apart from black and from a sheet printed in blue;
// lines of 1/100 inch and labels of 8 points on a white ground, whatever the print scale.
const QColor kMarkColour(200, 0, 40);
constexpr double kMarkLineInches = 0.01;
constexpr double kMarkLabelPoints = 8.0;
constexpr double kMarkLabelPaddingInches = 0.02;

// Page sizes are read in millimetres, the unit in which Qt keeps both metric and inch sizes
// exactly (points are rounded to whole numbers).
constexpr double kTwipsPerMillimetre = kTwipsPerInch / 25.4;

}  // namespace

// ---- PagedPrinterDevice
// --------------------------------------------------------------------------

PagedPrinterDevice::PagedPrinterDevice() : m_font(QStringLiteral("Sans Serif"), 10) {}

PagedPrinterDevice::~PagedPrinterDevice() = default;

void PagedPrinterDevice::closeOpenDocument() noexcept {
    if (m_painter) {
        m_painter->end();
        m_painter.reset();
        abandonDocument();
    }
}

double PagedPrinterDevice::pageWidthTwips() const {
    return pageLayout().fullRect(QPageLayout::Millimeter).width() * kTwipsPerMillimetre;
}

double PagedPrinterDevice::pageHeightTwips() const {
    return pageLayout().fullRect(QPageLayout::Millimeter).height() * kTwipsPerMillimetre;
}

int PagedPrinterDevice::deviceCaps(DeviceCap cap) const {
    const QPageLayout layout = pageLayout();
    const int res = resolution();
    const QRect full = layout.fullRectPixels(res);
    const QMargins margins = layout.marginsPixels(res);
    switch (cap) {
        case DeviceCap::LogPixelsX:
        case DeviceCap::LogPixelsY:
            return res;
        case DeviceCap::PhysicalOffsetX:
            return margins.left();
        case DeviceCap::PhysicalOffsetY:
            return margins.top();
        case DeviceCap::HorzRes:
            return full.width() - margins.left() - margins.right();
        case DeviceCap::VertRes:
            return full.height() - margins.top() - margins.bottom();
        case DeviceCap::PhysicalWidth:
            return full.width();
        case DeviceCap::PhysicalHeight:
            return full.height();
    }
    return 0;
}

void PagedPrinterDevice::requireNoDocument() const {
    if (m_painter) {
        throw base::ScriptError::custom(
            QStringLiteral("The page set-up cannot change while a document is printing"));
    }
}

void PagedPrinterDevice::rememberPaperCode(int code) {
    m_paperCode = code;
    m_paperCodeSize = pageLayout().pageSize();
}

int PagedPrinterDevice::paperCode() const {
    const QPageSize now = pageLayout().pageSize();
    if (m_paperCode > 0 && now.isEquivalentTo(m_paperCodeSize)) {
        return m_paperCode;
    }
    return paperCodeForPageSize(now);
}

QPainter& PagedPrinterDevice::painter() {
    if (!m_painter) {
        prepareDocument();
        auto painter = std::make_unique<QPainter>();
        if (!painter->begin(&paintDevice())) {
            throw base::ScriptError::custom(openFailure());
        }
        painter->setRenderHint(QPainter::LosslessImageRendering);
        painter->setFont(m_font);
        m_painter = std::move(painter);
        m_ink.reset();
        m_pagesStarted = 1;
        m_pendingNewPage = false;
    } else if (m_pendingNewPage) {
        m_pendingNewPage = false;
        if (!paintDevice().newPage()) {
            throw base::ScriptError::custom(QStringLiteral("The printer refused a new page"));
        }
        ++m_pagesStarted;
    }
    return *m_painter;
}

double PagedPrinterDevice::toDeviceX(double twips) const {
    return deviceCaps(DeviceCap::PhysicalOffsetX) + twips * resolution() / kTwipsPerInch;
}

double PagedPrinterDevice::toDeviceY(double twips) const {
    return deviceCaps(DeviceCap::PhysicalOffsetY) + twips * resolution() / kTwipsPerInch;
}

QPointF PagedPrinterDevice::toDevice(QPointF twips) const {
    return {toDeviceX(twips.x()), toDeviceY(twips.y())};
}

void PagedPrinterDevice::circle(QPointF centreTwips, double radiusTwips) {
    QPainter& p = painter();
    const double r = radiusTwips * resolution() / kTwipsPerInch;
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(toDevice(centreTwips), r, r);
    m_position = centreTwips;
}

void PagedPrinterDevice::line(QPointF fromTwips, QPointF toTwips) {
    QPainter& p = painter();
    p.setPen(QPen(Qt::black, 0));
    p.drawLine(toDevice(fromTwips), toDevice(toTwips));
    m_position = toTwips;
}

void PagedPrinterDevice::paintPicture(const QImage& picture, const QRectF& destTwips,
                                      const QRectF& sourcePx) {
    QPainter& p = painter();
    const QPointF topLeft = toDevice(destTwips.topLeft());
    const QPointF bottomRight = toDevice(destTwips.bottomRight());
    const SourcePlacement placement =
        placeSource(picture.size(), sourcePx, QRectF(topLeft, bottomRight));
    if (placement.pixels.isEmpty()) {
        return;
    }
    const BilevelInk::Piece piece = m_ink.prepare(picture.copy(placement.pixels));
    p.save();
    p.setClipRect(placement.clip);
    if (piece.fill) {
        p.setBrush(QColor::fromRgba(*piece.fill));
    }
    p.drawImage(placement.target, piece.image);
    p.restore();
}

void PagedPrinterDevice::drawMarks(const SheetMarks& marksTwips, const QRectF& clipTwips) {
    if (marksTwips.isEmpty()) {
        return;
    }
    QPainter& p = painter();
    const double res = resolution();
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setClipRect(QRectF(toDevice(clipTwips.topLeft()), toDevice(clipTwips.bottomRight())));
    QFont font(m_font);
    font.setPointSizeF(kMarkLabelPoints);
    p.setFont(font);
    const QFontMetricsF metrics(font, &paintDevice());
    const double pad = kMarkLabelPaddingInches * res;
    for (const SheetMark& mark : marksTwips) {
        QPolygonF outline;
        for (const QPointF& point : mark.outline) {
            outline << toDevice(point);
        }
        p.setPen(
            QPen(kMarkColour, kMarkLineInches * res, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        mark.closed ? p.drawPolygon(outline) : p.drawPolyline(outline);
        if (mark.label.isEmpty()) {
            continue;
        }
        QRectF box = metrics.boundingRect(mark.label);
        box.moveCenter(toDevice(mark.labelAt));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRect(box.adjusted(-pad, -pad, pad, pad));
        p.setPen(kMarkColour);
        p.drawText(box, Qt::AlignCenter, mark.label);
    }
    p.restore();
}

void PagedPrinterDevice::printText(const QString& text) {
    QPainter& p = painter();
    const QFontMetricsF metrics(m_font, &paintDevice());
    const QPointF origin = toDevice(m_position);
    p.setPen(QPen(Qt::black, 0));
    p.setFont(m_font);
    p.drawText(QPointF(origin.x(), origin.y() + metrics.ascent()), text);
    m_position = QPointF(0, m_position.y() + metrics.lineSpacing() * kTwipsPerInch / resolution());
}

void PagedPrinterDevice::newPage() {
    if (m_painter) {
        m_pendingNewPage = true;
    }
}

void PagedPrinterDevice::endDoc() {
    m_pendingNewPage = false;
    if (!m_painter) {
        return;
    }
    const bool ok = m_painter->end();
    m_painter.reset();
    if (!ok) {
        abandonDocument();
        throw base::ScriptError::custom(openFailure());
    }
    finishDocument(m_ink.stencilInkBit());
}

// ---- PdfPrinterDevice ---------------------------------------------------------------------------

PdfPrinterDevice::PdfPrinterDevice(const QString& path, const QPageSize& pageSize, int orientation,
                                   int resolution, const QMarginsF& marginsPoints)
    : m_path(path),
      m_writer(std::make_unique<QPdfWriter>(path)),
      m_layout(pageSize, orientation == kLandscape ? QPageLayout::Landscape : QPageLayout::Portrait,
               marginsPoints, QPageLayout::Point),
      m_resolution(resolution > 0 ? resolution : kDefaultResolution),
      m_plainSettings{{PrinterSetting::Copies, 1},
                      {PrinterSetting::ColourMode, 2},
                      {PrinterSetting::Duplex, 1}} {
    m_layout.setMode(QPageLayout::FullPageMode);
    m_writer->setCreator(QStringLiteral("Sheetwise"));
}

PdfPrinterDevice::~PdfPrinterDevice() {
    closeOpenDocument();
}

std::unique_ptr<PdfPrinterDevice> PdfPrinterDevice::mimicking(const PrinterDevice& printer,
                                                              const QString& path) {
    const int orientation = printer.orientation();
    const int dpiX = printer.deviceCaps(DeviceCap::LogPixelsX);
    const int dpiY = printer.deviceCaps(DeviceCap::LogPixelsY);
    if (dpiX <= 0 || dpiY <= 0) {
        throw base::ScriptError::divisionByZero();
    }
    QPageSize size;
    if (const auto named = pageSizeForPaperCode(printer.paperSize())) {
        size = *named;
    } else {
        QSizeF points(printer.pageWidthTwips() / kTwipsPerPoint,
                      printer.pageHeightTwips() / kTwipsPerPoint);
        if (orientation == kLandscape) {
            points.transpose();
        }
        size = QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch);
    }
    const auto cap = [&](DeviceCap c) { return printer.deviceCaps(c); };
    const double right =
        cap(DeviceCap::PhysicalWidth) - cap(DeviceCap::HorzRes) - cap(DeviceCap::PhysicalOffsetX);
    const double bottom =
        cap(DeviceCap::PhysicalHeight) - cap(DeviceCap::VertRes) - cap(DeviceCap::PhysicalOffsetY);
    const QMarginsF margins(cap(DeviceCap::PhysicalOffsetX) * kPointsPerInch / dpiX,
                            cap(DeviceCap::PhysicalOffsetY) * kPointsPerInch / dpiY,
                            right * kPointsPerInch / dpiX, bottom * kPointsPerInch / dpiY);
    auto device = std::make_unique<PdfPrinterDevice>(path, size, orientation, dpiX, margins);
    if (printer.paperSize() > 0) {
        device->rememberPaperCode(printer.paperSize());
    }
    return device;
}

QString PdfPrinterDevice::deviceName() const {
    return m_path;
}

int PdfPrinterDevice::paperSize() const {
    return paperCode();
}

int PdfPrinterDevice::orientation() const {
    return m_layout.orientation() == QPageLayout::Landscape ? kLandscape : kPortrait;
}

std::optional<int> PdfPrinterDevice::setting(PrinterSetting which) const {
    switch (which) {
        case PrinterSetting::PaperSize:
            return paperSize();
        case PrinterSetting::Orientation:
            return orientation();
        case PrinterSetting::Resolution:
            return m_resolution;
        case PrinterSetting::PaperSource:
            return std::nullopt;
        default:
            break;
    }
    const auto it = m_plainSettings.find(which);
    return it == m_plainSettings.end() ? std::nullopt : std::optional<int>(it->second);
}

void PdfPrinterDevice::setSetting(PrinterSetting which, int value) {
    requireNoDocument();
    switch (which) {
        case PrinterSetting::PaperSize: {
            const auto size = pageSizeForPaperCode(value);
            if (!size) {
                throw base::ScriptError::invalidArgument();
            }
            m_layout.setPageSize(*size);
            rememberPaperCode(value);
            return;
        }
        case PrinterSetting::Orientation:
            if (value != kPortrait && value != kLandscape) {
                throw base::ScriptError::invalidArgument();
            }
            m_layout.setOrientation(value == kLandscape ? QPageLayout::Landscape
                                                        : QPageLayout::Portrait);
            return;
        case PrinterSetting::Resolution:
            if (value <= 0) {
                throw base::ScriptError::invalidArgument();
            }
            m_resolution = value;
            return;
        case PrinterSetting::PaperSource:
            throw base::ScriptError::invalidArgument();
        default:
            m_plainSettings[which] = value;
            return;
    }
}

QPagedPaintDevice& PdfPrinterDevice::paintDevice() const {
    return *m_writer;
}

QPageLayout PdfPrinterDevice::pageLayout() const {
    return m_layout;
}

int PdfPrinterDevice::resolution() const {
    return m_resolution;
}

void PdfPrinterDevice::prepareDocument() {
    m_writer->setResolution(m_resolution);
    m_writer->setPageLayout(m_layout);
    m_writer->setTitle(QFileInfo(m_path).completeBaseName());
}

QString PdfPrinterDevice::openFailure() const {
    return QStringLiteral("Cannot write the PDF file ") + m_path;
}

void PdfPrinterDevice::finishDocument(std::optional<int> stencilInkBit) {
    if (stencilInkBit) {
        turnBilevelImagesIntoStencils(m_path, *stencilInkBit);
    }
}

}  // namespace sw::printing
