#pragma once

#include <map>
#include <memory>
#include <set>
#include <vector>

#include <QStringList>

#include "base/script_error.h"
#include "printing/printer_device.h"

namespace sw::printing::test {

// Device capabilities in portrait: a Letter page without margins at 600 dpi by default.
struct FakePrinterCaps {
    int dpiX = 600;
    int dpiY = 600;
    int offsetX = 0;
    int offsetY = 0;
    int horzRes = 5100;  // 8.5 in at 600 dpi
    int vertRes = 6600;
    int physWidth = 5100;
    int physHeight = 6600;
};

// A printer with given metrics that writes every page operation to a log instead of printing.
// Page size in twips follows the orientation (width and height swap in landscape); device
// capabilities are given for portrait and swap likewise.
class FakePrinterDevice : public PrinterDevice {
public:
    using Caps = FakePrinterCaps;

    FakePrinterDevice(QString name, double pageWidthTwips, double pageHeightTwips, Caps caps = {},
                      int paperSize = 1)
        : caps(caps), m_name(std::move(name)), m_page(pageWidthTwips, pageHeightTwips) {
        m_settings = {{PrinterSetting::Copies, 1},
                      {PrinterSetting::ColourMode, 2},
                      {PrinterSetting::Duplex, 1},
                      {PrinterSetting::Resolution, 600},
                      {PrinterSetting::PaperSize, paperSize},
                      {PrinterSetting::PaperSource, 7},
                      {PrinterSetting::Orientation, kPortrait}};
    }

    // A Letter printer with no margins at 600 dpi.
    static std::unique_ptr<FakePrinterDevice> letter(const QString& name = QStringLiteral("Fake")) {
        return std::make_unique<FakePrinterDevice>(name, 12240, 15840);
    }

    [[nodiscard]] QString deviceName() const override { return m_name; }
    [[nodiscard]] double pageWidthTwips() const override {
        return turned() ? m_page.height() : m_page.width();
    }
    [[nodiscard]] double pageHeightTwips() const override {
        return turned() ? m_page.width() : m_page.height();
    }
    [[nodiscard]] int deviceCaps(DeviceCap cap) const override {
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
        return turned() ? values.at(cap).second : values.at(cap).first;
    }
    [[nodiscard]] int paperSize() const override {
        return m_settings.at(PrinterSetting::PaperSize);
    }
    [[nodiscard]] int orientation() const override {
        return m_settings.at(PrinterSetting::Orientation);
    }
    [[nodiscard]] std::optional<int> setting(PrinterSetting which) const override {
        return unreadable.contains(which) ? std::nullopt : std::optional(m_settings.at(which));
    }
    void setSetting(PrinterSetting which, int value) override {
        const bool badOrientation =
            which == PrinterSetting::Orientation && value != kPortrait && value != kLandscape;
        if (refused.contains(which) || badOrientation) {
            throw base::ScriptError::invalidArgument();
        }
        writes.emplace_back(which, value);
        m_settings[which] = value;
    }

    [[nodiscard]] QPointF currentPosition() const override { return m_position; }
    void setCurrentPosition(QPointF twips) override { m_position = twips; }
    void circle(QPointF c, double radius) override {
        draw(QString::asprintf("circle %g,%g r%g", c.x(), c.y(), radius));
        m_position = c;
    }
    void line(QPointF from, QPointF to) override {
        draw(QString::asprintf("line %g,%g %g,%g", from.x(), from.y(), to.x(), to.y()));
        m_position = to;
    }
    void paintPicture(const QImage& p, const QRectF& d, const QRectF& s) override {
        if (failOnPicture > 0 && --failOnPicture == 0) {
            throw base::ScriptError::custom(QStringLiteral("Printer out of paper"));
        }
        draw(QString::asprintf("picture %dx%dx%d %g,%g %gx%g to %g,%g %gx%g", p.width(), p.height(),
                               p.depth(), s.x(), s.y(), s.width(), s.height(), d.x(), d.y(),
                               d.width(), d.height()));
    }
    void printText(const QString& text) override {
        draw(QString::asprintf("text %g,%g ", m_position.x(), m_position.y()) + text);
        m_position = QPointF(0, m_position.y() + 240);
    }
    void newPage() override {
        log << QStringLiteral("new page");
        pagesPrinted += m_pageHasContent ? 1 : 0;
        m_pageHasContent = false;
    }
    void endDoc() override {
        newPage();  // ends the last page, logged as the end of the document
        log.back() = QStringLiteral("end");
        ++documentsEnded;
    }

    Caps caps;
    // Every page operation, one line each: "circle x,y rR", "line x,y x,y", "picture WxHxDepth
    // sx,sy swxsh to dx,dy dwxdh", "text x,y TEXT", "new page", "end" (twips, picture pixels).
    QStringList log;
    std::vector<std::pair<PrinterSetting, int>> writes;  // every setSetting() that was taken
    // Settings the fake cannot report (reading gives nothing) or refuses to take (writing throws).
    std::set<PrinterSetting> unreadable;
    std::set<PrinterSetting> refused;
    int pagesPrinted = 0;  // each newPage() after drawing and each endDoc() after drawing
    int documentsEnded = 0;
    int failOnPicture = 0;  // throws on the n-th picture painted from now on (1: the next one)

private:
    [[nodiscard]] bool turned() const { return orientation() == kLandscape; }
    void draw(const QString& op) {
        log << op;
        m_pageHasContent = true;
    }

    QString m_name;
    QSizeF m_page;
    std::map<PrinterSetting, int> m_settings;
    QPointF m_position;
    bool m_pageHasContent = false;
};

// A printer list of fake printers; the first one is current at the start.
class FakePrinterCatalog : public PrinterCatalog {
public:
    FakePrinterDevice& add(std::unique_ptr<FakePrinterDevice> printer) {
        m_printers.push_back(std::move(printer));
        return *m_printers.back();
    }
    [[nodiscard]] QStringList printerNames() const override {
        QStringList names;
        for (const auto& p : m_printers) {
            names.append(p->deviceName());
        }
        return names;
    }
    [[nodiscard]] PrinterDevice& current() override { return currentFake(); }
    void select(const QString& name) override {
        if (const qsizetype i = printerNames().indexOf(name); i >= 0) {
            m_current = i;
        }
    }
    void setTrackDefault(bool on) override { m_trackDefault = on; }
    [[nodiscard]] bool trackDefault() const override { return m_trackDefault; }

    [[nodiscard]] FakePrinterDevice& fake(int index) { return *m_printers.at(index); }
    [[nodiscard]] FakePrinterDevice& currentFake() { return *m_printers.at(m_current); }

private:
    std::vector<std::unique_ptr<FakePrinterDevice>> m_printers;
    qsizetype m_current = 0;
    bool m_trackDefault = true;
};

}  // namespace sw::printing::test
