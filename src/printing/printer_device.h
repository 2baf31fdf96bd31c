#pragma once

#include <memory>
#include <optional>

#include <QImage>
#include <QList>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <QStringList>

namespace sw::printing {

// Device capabilities a printer reports, numbered as the device-capability indexes the print
// arithmetic was designed against.
enum class DeviceCap {
    HorzRes = 8,            // printable width, device pixels
    VertRes = 10,           // printable height, device pixels
    LogPixelsX = 88,        // device pixels per inch, horizontally
    LogPixelsY = 90,        // device pixels per inch, vertically
    PhysicalWidth = 110,    // whole page width, device pixels
    PhysicalHeight = 111,   // whole page height, device pixels
    PhysicalOffsetX = 112,  // unprintable margin at the left, device pixels
    PhysicalOffsetY = 113,  // unprintable margin at the top, device pixels
};

// The seven remembered printer settings, in the order the settings are captured and applied.
// Device settings A to E are five numeric settings of the printer besides name, paper size and
// orientation; on this platform they are:
//   A  Copies        number of copies (1..)
//   B  ColourMode    1 monochrome, 2 colour
//   C  Duplex        1 one-sided, 2 two-sided on the long edge, 3 two-sided on the short edge
//   D  Resolution    print resolution in dots per inch
//   E  PaperSource   paper tray as a numbered bin (1 upper/only, 2 lower, 3 middle, 4 manual,
//                    5 envelope, 6 envelope manual, 7 automatic, 8 tractor, 9 small format,
//                    10 large format, 11 large capacity, 14 cassette, 15 form source); 0 = not set
enum class PrinterSetting {
    Copies = 0,
    ColourMode = 1,
    Duplex = 2,
    Resolution = 3,
    PaperSize = 4,
    PaperSource = 5,
    Orientation = 6,
};
inline constexpr int kPrinterSettingCount = 7;

// Orientation codes.
inline constexpr int kPortrait = 1;
inline constexpr int kLandscape = 2;

// A mark drawn over the sheet on a page (the viewer's measurements): its outline, closed or open,
// its label and the label's centre, in the coordinates of whoever holds it (sheet pixels of the
// printed picture, or twips on the page).
struct SheetMark {
    QPolygonF outline;
    bool closed = false;
    QString label;
    QPointF labelAt;
};
using SheetMarks = QList<SheetMark>;

// One printer as the print code sees it: its metrics, its settings and the page operations of a
// print job. Coordinates of the page operations are twips (1440 per inch) measured from the
// top-left corner of the printable area; source rectangles of pictures are in picture pixels.
//
// A document starts with the first drawing operation (circle, picture, text) and ends with
// endDoc(); newPage() ends the current page, and a newPage() directly followed by endDoc() adds
// no blank page. Operations that fail (no printer, output cannot be written) throw
// sw::base::ScriptError with a readable description.
//
// Threads: created, used and destroyed on one thread (the UI thread for real printers).
class PrinterDevice {
public:
    virtual ~PrinterDevice() = default;

    [[nodiscard]] virtual QString deviceName() const = 0;

    // Page size in twips in the current orientation.
    [[nodiscard]] virtual double pageWidthTwips() const = 0;
    [[nodiscard]] virtual double pageHeightTwips() const = 0;
    // One device capability, read at the moment of the call.
    [[nodiscard]] virtual int deviceCaps(DeviceCap cap) const = 0;
    // Size of the printable area in twips (what page operations can reach).
    [[nodiscard]] virtual double printableWidthTwips() const;
    [[nodiscard]] virtual double printableHeightTwips() const;

    // Paper size code (the numbered paper list of PaperSizeName; 0 or above 41 for sizes that
    // have no number there) and orientation code (kPortrait, kLandscape).
    [[nodiscard]] virtual int paperSize() const = 0;
    [[nodiscard]] virtual int orientation() const = 0;

    // The seven settings. Reading gives nothing when the printer cannot report the setting;
    // writing throws ScriptError when the printer refuses the value.
    [[nodiscard]] virtual std::optional<int> setting(PrinterSetting which) const = 0;
    virtual void setSetting(PrinterSetting which, int value) = 0;

    // ---- Page operations -----------------------------------------------------------------
    [[nodiscard]] virtual QPointF currentPosition() const = 0;
    virtual void setCurrentPosition(QPointF twips) = 0;
    // Outline circle in the foreground colour; leaves the current position at the centre.
    virtual void circle(QPointF centreTwips, double radiusTwips) = 0;
    // Thin line in the foreground colour; leaves the current position at its end.
    virtual void line(QPointF fromTwips, QPointF toTwips) = 0;
    // Stretches `sourcePx` of `picture` over `destTwips`. Parts of the source rectangle outside
    // the picture contribute nothing (the page stays white there). A bilevel picture is sent as
    // one bit per pixel.
    virtual void paintPicture(const QImage& picture, const QRectF& destTwips,
                              const QRectF& sourcePx) = 0;
    // Marks over the picture just painted, in twips, kept inside `clipTwips`: a colour that stays
    // visible when the sheet prints in blue, lines of constant width and labels of constant size
    // on a white ground. The default draws the outlines with line().
    virtual void drawMarks(const SheetMarks& marksTwips, const QRectF& clipTwips);
    // One line of text with its top at the current position, in the current font; the current
    // position then moves to the start of the next line.
    virtual void printText(const QString& text) = 0;
    virtual void newPage() = 0;
    virtual void endDoc() = 0;
};

// The system's printers and the current one (the printer the dialog prints on).
class PrinterCatalog {
public:
    virtual ~PrinterCatalog() = default;

    // Device names of the installed printers, in the system's order.
    [[nodiscard]] virtual QStringList printerNames() const = 0;
    // The current printer. Never null; with no printer installed it is a device whose output
    // operations fail.
    [[nodiscard]] virtual PrinterDevice& current() = 0;
    // Makes the printer named `name` (exact device name) the current one; unknown names are
    // ignored.
    virtual void select(const QString& name) = 0;
    // While on, the current printer follows the system's default printer. The printer set-up
    // step switches it off before the set-up dialog opens.
    virtual void setTrackDefault(bool on) = 0;
    [[nodiscard]] virtual bool trackDefault() const = 0;
};

}  // namespace sw::printing
