#pragma once

#include <QString>
#include <QStringList>

#include "printing/printer_device.h"

class QWidget;

namespace sw::imaging {
class ImagingControl;
}

namespace sw::printing {

class DlgPrint;
class PrinterCatalog;

// What the viewer hands to the print dialog (its own fields; see FastViewer).
struct HandOffValues {
    QString iniPath;         // full path of Sheetwise.ini
    QString localRoot;       // plan folder extended by the site
    QString projectSubPath;  // project identifier followed by the "plans" folder
    QStringList planLabels;  // the two parallel plan-list arrays
    QStringList planFiles;
    QString planUrl;  // prefix of a plan's address
    QString projectId;
    int rotation = 0;  // whole degrees
    bool printInBlue = false;
    bool reversePrint = false;
    SheetMarks marks;  // the measurements over the sheet, pixels of the sheet's source
};

// The viewer's "Print" command: limits the sheet in `viewer` to 200 dpi (the viewer's sheet stays
// resampled), copies it into a new print dialog as image 1, and, when the viewer is zoomed
// (not in fit mode), cuts the visible part out through the scratch control `v2` as image 2 and
// offers "Print Selected Area Only"; then passes the context (rotation x 100 as a 16-bit value),
// the blue and reverse options, shows the dialog modeless and repaints the viewer.
//
// The caller runs the viewer's ResetRoot first. Any failure ends the hand-off at once with a
// critical message box (the error's description as text, its number as title) and no dialog;
// the result is then null. Otherwise the shown dialog, which deletes itself when closed.
// `printers` is the printer catalog for the dialog (the system's when null). UI thread only.
DlgPrint* PrintCurrentPlan(const HandOffValues& values, imaging::ImagingControl& viewer,
                           imaging::ImagingControl& v2, QWidget* parent,
                           PrinterCatalog* printers = nullptr);

}  // namespace sw::printing
