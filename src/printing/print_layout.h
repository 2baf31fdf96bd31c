#pragma once

#include <optional>

#include <QColor>
#include <QList>
#include <QPointF>
#include <QString>

#include "printing/page_grid.h"
#include "printing/printer_device.h"

namespace sw::printing {

// The print dialog's layout as pure functions: the dialog reads its widgets and its imaging
// control into these structs, calls the functions and shows what comes back (page-count labels,
// preview objects drawn over its copy of the sheet, an error line). Printer metrics are read from
// the given printer at every call.

// What the layout reads from the dialog's imaging control.
struct LayoutSheet {
    bool hasImage = false;    // the loaded-image value is above 0
    double imageWidthPx = 0;  // current image, sheet pixels
    double imageHeightPx = 0;
    double resX = 0;  // dots per inch; taken as 16-bit integers ("Overflow" beyond)
    double resY = 0;
    double displayWidth = 0;  // the sheet as drawn in the control, screen pixels
    double displayHeight = 0;
};

// What the layout reads from the dialog's options.
struct LayoutOptions {
    QString scaleText = QStringLiteral("100%");
    bool autoClip = true;  // "Crop to 1 Page"
};

// One object of the preview, in screen pixels relative to the top-left corner of the sheet as
// drawn. Lines mark page boundaries (drawn dotted, 2 wide); rectangles are the grey cover outside
// the crop window. Tags count from 1 in creation order.
struct PreviewObject {
    enum class Kind { Line, Rectangle };
    Kind kind = Kind::Line;
    QPointF from;
    QPointF to;
    int tag = 0;

    friend bool operator==(const PreviewObject&, const PreviewObject&) = default;
};

inline constexpr double kPreviewLineWidth = 2.0;
inline constexpr int kPreviewLineStyle = 2;  // dotted
inline const QColor kCropCoverColour = QColor(100, 100, 100);

struct CropCheckResult {
    std::optional<PageCountLabels> labels;  // written labels; nothing when not evaluated
    bool fitsOnOnePage = false;
};

// "Crop to 1 Page" test: when the box is on and an image is held, the grid without the
// extra-page rule (its labels) and whether the grid with the rule is one page. Throws
// ScriptError on arithmetic failures.
CropCheckResult CropCheck(const LayoutOptions& options, const LayoutSheet& sheet,
                          const PrinterDevice& printer, ScaleMemory& scale);

struct LayoutResult {
    std::optional<PageCountLabels> labels;  // nothing: the labels keep their text
    bool fitsOnOnePage = false;
    std::optional<QList<PreviewObject>> preview;  // nothing: the preview stays as it is
    QString error;                                // a failure's description, for the error list
};

// Everything the dialog shows for the current options: the one-page cover when "Crop to 1 Page"
// is on and the sheet does not fit on one page, otherwise the page grid with the extra-page rule
// and its boundary lines. Never throws: a failure ends the computation, and what was computed
// before it is kept in the result together with `error`.
LayoutResult UpdatePageLayout(const LayoutOptions& options, const LayoutSheet& sheet,
                              const PrinterDevice& printer, ScaleMemory& scale);

// The one-page labels ("1", "1", "1") and the four grey strips around the centred crop window.
// Nothing is produced without an image. Throws ScriptError on arithmetic failures.
LayoutResult CroppedLayout(const LayoutOptions& options, const LayoutSheet& sheet,
                           const PrinterDevice& printer, ScaleMemory& scale);

// The scale for the options (SelectedScale with the fit-to-page factor of this sheet on this
// printer).
double selectedScaleFor(const LayoutOptions& options, const LayoutSheet& sheet,
                        const PrinterDevice& printer, ScaleMemory& scale);

}  // namespace sw::printing
