#include "printing/fake_printer_device.h"

#include "host/script_error.h"

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
    const bool turned = m_orientation == kLandscape;
    switch (cap) {
        case DeviceCap::LogPixelsX:
            return turned ? caps.dpiY : caps.dpiX;
        case DeviceCap::LogPixelsY:
            return turned ? caps.dpiX : caps.dpiY;
        case DeviceCap::PhysicalOffsetX:
            return turned ? caps.offsetY : caps.offsetX;
        case DeviceCap::PhysicalOffsetY:
            return turned ? caps.offsetX : caps.offsetY;
        case DeviceCap::HorzRes:
            return turned ? caps.vertRes : caps.horzRes;
        case DeviceCap::VertRes:
            return turned ? caps.horzRes : caps.vertRes;
        case DeviceCap::PhysicalWidth:
            return turned ? caps.physHeight : caps.physWidth;
        case DeviceCap::PhysicalHeight:
            return turned ? caps.physWidth : caps.physHeight;
    }
    return 0;
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
        throw host::ScriptError::invalidArgument();
    }
    m_writes.emplace_back(which, value);
    if (which == PrinterSetting::PaperSize) {
        m_paperSize = value;
    } else if (which == PrinterSetting::Orientation) {
        if (value != kPortrait && value != kLandscape) {
            throw host::ScriptError::invalidArgument();
        }
        m_orientation = value;
    } else {
        m_settings[which] = value;
    }
}

void FakePrinterDevice::circle(QPointF centre, double radius) {
    draw();
    m_ops.push_back({Op::Kind::Circle, centre, {}, radius, {}, {}, {}, 0, {}});
    m_position = centre;
}

void FakePrinterDevice::line(QPointF from, QPointF to) {
    draw();
    m_ops.push_back({Op::Kind::Line, from, to, 0, {}, {}, {}, 0, {}});
    m_position = to;
}

void FakePrinterDevice::paintPicture(const QImage& picture, const QRectF& dest,
                                     const QRectF& source) {
    if (m_failOnPicture > 0 && --m_failOnPicture == 0) {
        throw host::ScriptError::custom(QStringLiteral("Printer out of paper"));
    }
    draw();
    m_ops.push_back(
        {Op::Kind::Picture, {}, {}, 0, dest, source, picture.size(), picture.depth(), {}});
}

void FakePrinterDevice::printText(const QString& text) {
    draw();
    m_ops.push_back({Op::Kind::Text, m_position, {}, 0, {}, {}, {}, 0, text});
    m_position = QPointF(0, m_position.y() + 240);
}

void FakePrinterDevice::newPage() {
    m_ops.push_back({Op::Kind::NewPage, {}, {}, 0, {}, {}, {}, 0, {}});
    if (m_pageHasContent) {
        ++m_pagesPrinted;
        m_pageHasContent = false;
    }
}

void FakePrinterDevice::endDoc() {
    m_ops.push_back({Op::Kind::EndDoc, {}, {}, 0, {}, {}, {}, 0, {}});
    if (m_pageHasContent) {
        ++m_pagesPrinted;
        m_pageHasContent = false;
    }
    ++m_documentsEnded;
}

std::vector<FakePrinterDevice::Op> FakePrinterDevice::ops(Op::Kind kind) const {
    std::vector<Op> out;
    for (const Op& op : m_ops) {
        if (op.kind == kind) {
            out.push_back(op);
        }
    }
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
