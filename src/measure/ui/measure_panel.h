#pragma once

#include <QFrame>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace sw::measure {

class MeasureTool;

// The Measure tool's panel, over the top-right corner of the sheet while the tool is on: the kind
// of the next measurement, the units, the sheet's drawing scale (a preset or typed) with
// "Calibrate", the finished measurements with their kind, value and scale, "Copy" (the list to
// the clipboard as text) and "Delete" (the selected one), what is being picked, and where the
// measurements are kept. Object names, for host calls: the panel "Measure", its controls
// "Kind", "Units", "Scale", "Calibrate", "Calibration", "Items", "Copy", "Delete", "Current",
// "Store". A control that refused a value names the reason in its "inputError" property.
//
// It shows what the tool holds (refresh) and the tool wires its controls; it owns only its
// widgets. UI thread only.
class MeasurePanel : public QFrame {
    Q_OBJECT

public:
    static constexpr int kWidth = 300;  // pixels

    explicit MeasurePanel(QWidget* parent);

    // Shows the tool's settings and list; `store` says whether the measurements are kept, and
    // `storeDetail` (its tooltip) where.
    void refresh(const MeasureTool& tool, const QString& store, const QString& storeDetail);
    // The line on what is being picked (prompt, segment and total).
    void setCurrent(const QString& text);

    QComboBox* kind = nullptr;
    QComboBox* units = nullptr;
    QComboBox* scale = nullptr;
    QPushButton* calibrate = nullptr;
    QLabel* calibrationLabel = nullptr;
    QLineEdit* calibration = nullptr;
    QLabel* current = nullptr;
    QListWidget* items = nullptr;
    QPushButton* copy = nullptr;
    QPushButton* remove = nullptr;
    QLabel* store = nullptr;

protected:
    // Enter in the panel's controls (a typed scale, a real length) confirms that control; it does
    // not go on to end the path or area being picked on the sheet.
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace sw::measure
