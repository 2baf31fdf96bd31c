#pragma once

#include <QWidget>

namespace sw::measure {

class MeasureTool;

// Draws the Measure tool's measurements over the imaging control: the finished ones with their
// labels (the selected one bolder), the points being picked and the segment to the pointer. It
// covers the control, takes no pointer events, and is drawn after the control at every repaint,
// so it follows every zoom, pan, turn and resize. Lines and labels keep their size on screen.
// A child of the imaging control; does not own the tool. UI thread only.
class MeasureOverlay : public QWidget {
    Q_OBJECT

public:
    MeasureOverlay(QWidget& control, const MeasureTool& tool);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const MeasureTool& m_tool;
};

}  // namespace sw::measure
