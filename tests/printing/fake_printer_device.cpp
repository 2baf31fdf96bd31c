#include "printing/fake_printer_device.h"

#include <algorithm>

#include "base/script_error.h"

namespace sw::printing::test {

FakePrinterDevice::FakePrinterDevice(QString name, double pageWidthTwips, double pageHeightTwips,
                                     Caps caps, int paperSize)
    : caps(caps),
      m_name(std::move(name)),
      m_pageWidthTwips(pageWidthTwips),
      m_pageHeightTwips(pageHeightTwips),
      m_paperSize(paperSize),
      m_settings{{PrinterSetting::Copies, 1},
                 {PrinterSetting::ColourMode, 2},
                 {PrinterSetting::Duplex, 1},
                 {PrinterSetting::Resolution, 600},
                 {PrinterSetting::PaperSource, 7}} {}

std::unique_ptr<FakePrinterDevice> FakePrinterDevice::letter(const QString& name) {
    return std::make_unique<FakePrinterDevice>(name, 12240, 15840, Caps{});
}

double FakePrinterDevice::pageWidthTwips() const {
    return m_orientation == kLandscape ? m_pageHeightTwips : m_pageWidthTwips;
}

double FakePrinterDevice::pageHeightTwips() const {
    return m_orientation == kLandscape ? m_pageWidthTwips : m_pageHeightTwips;
}

int FakePrinterDevice::deviceCaps(DeviceCap cap) const {
    // Each capability with its counterpart on the other axis, which landscape reports instead.
    const std::map<DeviceCap, std::pair<int, int>> values = {
        {DeviceCap::LogPixelsX, {caps.dpiX, caps.dpiY}},
        {DeviceCap::LogPixelsY, {caps.dpiY, caps.dpiX}},
        {DeviceCap::PhysicalOffsetX, {caps.offsetX, caps.offsetY}},
        {DeviceCap::PhysicalOffsetY, {caps.offsetY, caps.offsetX}},
        {DeviceCap::HorzRes, {caps.horzRes, caps.vertRes}},
        {DeviceCap::VertRes, {caps.vertRes, caps.horzRes}},
        {DeviceCap::PhysicalWidth, {caps.physWidth, caps.physHeight}},
        {DeviceCap::PhysicalHeight, {caps.physHeight, caps.physWidth}},
    };
    const auto& [portrait, landscape] = values.at(cap);
    return m_orientation == kLandscape ? landscape : portrait;
}

std::optional<int> FakePrinterDevice::setting(PrinterSetting which) const {
    if (m_unreadable.count(which) != 0) {
        return std::nullopt;
    }
    if (which == PrinterSetting::PaperSize) {
        return m_paperSize;
    }
    if (which == PrinterSetting::Orientation) {
        return m_orientation;
    }
    return m_settings.at(which);
}

void FakePrinterDevice::setSetting(PrinterSetting which, int value) {
    if (m_refused.count(which) != 0) {
        throw base::ScriptError::invalidArgument();
    }
    m_writes.emplace_back(which, value);
    if (which == PrinterSetting::PaperSize) {
        m_paperSize = value;
    } else if (which == PrinterSetting::Orientation) {
        if (value != kPortrait && value != kLandscape) {
            throw base::ScriptError::invalidArgument();
        }
        m_orientation = value;
    } else {
        m_settings[which] = value;
    }
}

void FakePrinterDevice::circle(QPointF centre, double radius) {
    draw();
    m_ops.push_back({Op::Kind::Circle, centre, {}, radius});
    m_position = centre;
}

void FakePrinterDevice::line(QPointF from, QPointF to) {
    draw();
    m_ops.push_back({Op::Kind::Line, from, to});
    m_position = to;
}

void FakePrinterDevice::paintPicture(const QImage& picture, const QRectF& dest,
                                     const QRectF& source) {
    if (m_failOnPicture > 0 && --m_failOnPicture == 0) {
        throw base::ScriptError::custom(QStringLiteral("Printer out of paper"));
    }
    draw();
    m_ops.push_back({Op::Kind::Picture, {}, {}, 0, dest, source, picture.size(), picture.depth()});
}

void FakePrinterDevice::printText(const QString& text) {
    draw();
    m_ops.push_back({.kind = Op::Kind::Text, .at = m_position, .text = text});
    m_position = QPointF(0, m_position.y() + 240);
}

void FakePrinterDevice::newPage() {
    m_ops.push_back({Op::Kind::NewPage});
    m_pagesPrinted += m_pageHasContent ? 1 : 0;
    m_pageHasContent = false;
}

void FakePrinterDevice::endDoc() {
    newPage();  // ends the last page, recorded as the end of the document

    m_ops.back().kind = Op::Kind::EndDoc;
    ++m_documentsEnded;
}

std::vector<FakePrinterDevice::Op> FakePrinterDevice::ops(Op::Kind kind) const {
    std::vector<Op> out;
    std::copy_if(m_ops.begin(), m_ops.end(), std::back_inserter(out),
                 [kind](const Op& op) { return op.kind == kind; });
    return out;
}

FakePrinterDevice& FakePrinterCatalog::add(std::unique_ptr<FakePrinterDevice> printer) {
    m_printers.push_back(std::move(printer));
    return *m_printers.back();
}

QStringList FakePrinterCatalog::printerNames() const {
    QStringList names;
    for (const auto& p : m_printers) {
        names.append(p->deviceName());
    }
    return names;
}

void FakePrinterCatalog::select(const QString& name) {
    for (std::size_t i = 0; i < m_printers.size(); ++i) {
        if (m_printers[i]->deviceName() == name) {
            m_current = i;
            return;
        }
    }
}

}  // namespace sw::printing::test
