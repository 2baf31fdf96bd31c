#pragma once

#include <functional>
#include <optional>

#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QPointF>
#include <QString>
#include <QTransform>

#include "measure/sheet_measurements.h"
#include "viewing/pointer_tool.h"

class QWidget;

namespace sw::imaging {
class ImagingControl;
}

namespace sw::measure {

class MeasureOverlay;
class MeasurePanel;

// The viewer's Measure tool. While it is on, left clicks on the sheet add points (a length ends
// at its second point, a path or an area at a double click or Enter), Backspace takes the last
// point back, Delete removes the measurement selected in the panel, Escape or the Measure command
// switch the tool off, and so does the magnifier. The right-button pan and the wheel stay with
// the viewer. Finished measurements are drawn over the sheet whether the tool is on or off.
//
// Points are kept in the pixels of the sheet as first fetched (imaging::Sheet::Source), read
// through the imaging control's display rectangle and the sheet's source map, so turns, zoom,
// pans and resizes move the drawing with the sheet and never change a value. Each sheet's scale
// and measurements are kept in its file in the plan folder (sheet_measurements.h), written after
// every change and read again whenever the sheet is shown.
//
// The tool owns its panel (a child of the viewer control, over the top-right corner of the sheet
// while the tool is on) and its overlay (a child of the imaging control); it does not own the
// imaging control, which must outlive it. UI thread only.
class MeasureTool : public QObject, public viewing::PointerTool {
    Q_OBJECT

public:
    // What the tool needs of the viewer control around it.
    struct Viewer {
        std::function<void(int panel, const QString& text)> setPanelText;  // status bar
        std::function<void(const QString& text)> showMessage;              // a message box
        std::function<void(bool on)> showButton;  // the toolbar button pressed while on
    };

    MeasureTool(imaging::ImagingControl& control, QWidget& panelParent, Viewer viewer);
    ~MeasureTool() override;

    // ---- On and off ------------------------------------------------------------------------
    [[nodiscard]] bool isActive() const { return m_active; }
    void setActive(bool on);
    // Runs after every command word: the magnifier (another tool) switches measuring off; any
    // other word leaves it on and takes the left button back from the rubber band that the
    // command's preamble switched on.
    void afterCommand(const QString& word);
    // Enter, Backspace, Delete and Escape while the tool is on; returns whether the key was taken.
    bool takeKey(int key);

    // ---- The shown sheet ---------------------------------------------------------------------
    // A new sheet is shown (loaded from the server, or opened from the plan folder): its
    // measurements are read from `place` (nothing kept there, or a damaged file, gives an empty
    // list; a damaged file is reported once). Points being picked are dropped.
    void sheetShown(const SidecarPlace& place, const QString& sheetName);
    [[nodiscard]] const SheetMeasurements& measurements() const { return m_sheet; }
    // The finished measurements as drawn (labels in the current units), in source pixels.
    [[nodiscard]] QList<Mark> marks() const { return marksOf(m_sheet, m_unit); }
    [[nodiscard]] const QList<QPointF>& pendingPoints() const { return m_pending; }
    [[nodiscard]] int selected() const { return m_selected; }
    // The map from source pixels to window pixels of the imaging control; nothing without a sheet.
    [[nodiscard]] std::optional<QTransform> sheetToWindow() const;
    [[nodiscard]] std::optional<QPointF> pointer() const { return m_pointer; }
    [[nodiscard]] bool calibrating() const { return m_calibrating; }

    // ---- Settings (the panel's controls) --------------------------------------------------------
    [[nodiscard]] Kind kind() const { return m_kind; }
    void setKind(Kind kind);
    [[nodiscard]] Unit unit() const { return m_unit; }
    void setUnit(Unit unit);
    // A preset or typed scale for the shown sheet; the error's sentence when the text is not a
    // scale (nothing changes then), empty when it was taken.
    QString setScaleText(const QString& text);
    // Calibration: the next two clicks pick a known distance, then its real length is typed.
    void startCalibration();
    QString finishCalibration(const QString& realLength);
    void select(int index);
    void removeSelected();
    // The list as text for the clipboard: the sheet, its scale, then one line per measurement.
    [[nodiscard]] QString listText() const;

    // The "measure" key of the host calls' Dump: active, kind, scale, units and the items with
    // their kind, points, real value and label.
    [[nodiscard]] QJsonObject dumpState() const;

    // ---- viewing::PointerTool ------------------------------------------------------------------
    bool takeClick(QPointF pixels) override;
    bool takeDoubleClick() override;
    void pointerMoved(QPointF pixels) override;

signals:
    // Anything the panel or the overlay shows has changed.
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    [[nodiscard]] std::optional<QPointF> toSheet(QPointF pixels) const;
    void addPoint(QPointF sheetPoint);
    void finishShape();
    void finishMeasurement(const Measurement& m);
    void persist();
    void clearPending();
    void showFeedback();
    void placePanel();

    imaging::ImagingControl& m_control;
    Viewer m_viewer;
    MeasureOverlay* m_overlay = nullptr;
    MeasurePanel* m_panel = nullptr;

    bool m_active = false;
    Kind m_kind = Kind::Length;
    Unit m_unit = Unit::FeetInches;
    SheetMeasurements m_sheet;
    SidecarPlace m_place;
    bool m_damagedAside = true;        // false while a damaged file waits to be set aside
    bool m_failureShown = false;       // a failed write of this sheet was reported
    QList<QPointF> m_pending;          // points being picked, source pixels
    bool m_calibrating = false;        // the pending points pick a known distance
    bool m_swallowRelease = false;     // the release that ends a double click adds no point
    int m_selected = -1;               // index into m_sheet.items, -1 none
    std::optional<QPointF> m_pointer;  // window pixels of the last move over the sheet
};

}  // namespace sw::measure
