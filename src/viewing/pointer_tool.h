#pragma once

#include <QPointF>

namespace sw::viewing {

// A tool that takes the left button over the sheet while it is switched on (the Measure tool):
// its clicks add points instead of zooming and its double click ends a shape instead of fitting
// the sheet. The right-button pan and the wheel stay with the viewer. Positions are window pixels
// of the imaging control. Each call returns whether the tool took the gesture; a tool that is
// switched off takes nothing. UI thread only.
class PointerTool {
public:
    virtual ~PointerTool() = default;

    // A left click ended (no pan in progress, no magnifier).
    virtual bool takeClick(QPointF pixels) = 0;
    // The double-click notification, between the second press and the second release.
    virtual bool takeDoubleClick() = 0;
    // Every pointer move over the sheet (for live feedback); takes nothing.
    virtual void pointerMoved(QPointF pixels) = 0;
};

}  // namespace sw::viewing
