#pragma once

#include <map>
#include <memory>
#include <vector>

#include <QStringList>

#include "printing/printer_device.h"

namespace sw::printing::test {

// A printer with given metrics that records every page operation instead of printing.
// Page size in twips follows the orientation (width and height swap in landscape); device
// capabilities are given for portrait and swap likewise.
class FakePrinterDevice : public PrinterDevice {
public:
    struct Caps {
        int dpiX = 600;
        int dpiY = 600;
        int offsetX = 0;
        int offsetY = 0;
        int horzRes = 5100;  // 8.5 in at 600 dpi
        int vertRes = 6600;
        int physWidth = 5100;
        int physHeight = 6600;
    };

    // One recorded operation. Coordinates in twips; `source` in picture pixels; `picture` is the
    // picture's size and depth.
    struct Op {
        enum class Kind { Circle, Line, Picture, Text, NewPage, EndDoc };
        Kind kind{};
        QPointF at{};  // circle centre, line start, text position
        QPointF to{};  // line end
        double radius = 0;
        QRectF dest{};
        QRectF source{};
        QSize pictureSize{};
        int pictureDepth = 0;
        QString text{};
    };

    FakePrinterDevice(QString name, double pageWidthTwips, double pageHeightTwips, Caps caps,
                      int paperSize = 1);

    // A Letter printer with no margins at 600 dpi.
    static std::unique_ptr<FakePrinterDevice> letter(const QString& name = QStringLiteral("Fake"));

    [[nodiscard]] QString deviceName() const override { return m_name; }
    [[nodiscard]] double pageWidthTwips() const override;
    [[nodiscard]] double pageHeightTwips() const override;
    [[nodiscard]] int deviceCaps(DeviceCap cap) const override;
    [[nodiscard]] int paperSize() const override { return m_paperSize; }
    [[nodiscard]] int orientation() const override { return m_orientation; }
    [[nodiscard]] std::optional<int> setting(PrinterSetting which) const override;
    void setSetting(PrinterSetting which, int value) override;

    [[nodiscard]] QPointF currentPosition() const override { return m_position; }
    void setCurrentPosition(QPointF twips) override { m_position = twips; }
    void circle(QPointF centre, double radius) override;
    void line(QPointF from, QPointF to) override;
    void paintPicture(const QImage& picture, const QRectF& dest, const QRectF& source) override;
    void printText(const QString& text) override;
    void newPage() override;
    void endDoc() override;

    // Settings the fake cannot report (reading gives nothing) or refuses to take (writing throws).
    void setUnreadable(PrinterSetting which) { m_unreadable[which] = true; }
    void setRefused(PrinterSetting which) { m_refused[which] = true; }
    // Every setSetting() call that reached the printer, in order.
    [[nodiscard]] const std::vector<std::pair<PrinterSetting, int>>& writes() const {
        return m_writes;
    }
    // Throws on the n-th picture painted from now on (1 = the next one).
    void failOnPicture(int n) { m_failOnPicture = n; }

    [[nodiscard]] const std::vector<Op>& ops() const { return m_ops; }
    [[nodiscard]] std::vector<Op> ops(Op::Kind kind) const;
    // Pages finished: each newPage() after drawing and an endDoc() after drawing count once.
    [[nodiscard]] int pagesPrinted() const { return m_pagesPrinted; }
    [[nodiscard]] int documentsEnded() const { return m_documentsEnded; }

    Caps caps;

private:
    void draw() { m_pageHasContent = true; }

    QString m_name;
    double m_pageWidthTwips;
    double m_pageHeightTwips;
    int m_paperSize;
    int m_orientation = kPortrait;
    std::map<PrinterSetting, int> m_settings;
    std::map<PrinterSetting, bool> m_unreadable;
    std::map<PrinterSetting, bool> m_refused;
    std::vector<std::pair<PrinterSetting, int>> m_writes;
    QPointF m_position;
    std::vector<Op> m_ops;
    bool m_pageHasContent = false;
    int m_pagesPrinted = 0;
    int m_documentsEnded = 0;
    int m_failOnPicture = 0;
};

// A printer list of fake printers; the first one is current at the start.
class FakePrinterCatalog : public PrinterCatalog {
public:
    FakePrinterDevice& add(std::unique_ptr<FakePrinterDevice> printer);

    [[nodiscard]] QStringList printerNames() const override;
    [[nodiscard]] PrinterDevice& current() override { return *m_printers.at(m_current); }
    void select(const QString& name) override;
    void setTrackDefault(bool on) override { m_trackDefault = on; }
    [[nodiscard]] bool trackDefault() const override { return m_trackDefault; }

    [[nodiscard]] FakePrinterDevice& fake(int index) { return *m_printers.at(index); }
    [[nodiscard]] FakePrinterDevice& currentFake() { return *m_printers.at(m_current); }

private:
    std::vector<std::unique_ptr<FakePrinterDevice>> m_printers;
    std::size_t m_current = 0;
    bool m_trackDefault = true;
};

}  // namespace sw::printing::test
