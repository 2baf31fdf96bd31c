#pragma once

#include <QPointF>
#include <QRectF>

namespace sw::viewing {

// The state the pop-up timer reads: which of the two pop-up trees (the saved plans and the plan
// list) is visible and where, the pointer, and the two "shown" flags. Rectangles and pointer in
// pixels, in the viewer control's own client coordinates.
struct PopupState {
    bool localPlansVisible = false;
    QRectF localPlansRect;
    bool planListVisible = false;
    QRectF planListRect;
    QPointF pointer;
    bool localPlansShown = false;
    bool planListShown = false;
};

// What one tick decides. The timer is always stopped by a tick.
struct PopupTick {
    bool hideLocalPlans = false;
    bool hidePlanList = false;
    bool localPlansShown = false;
    bool planListShown = false;
};

// One tick of the pop-up timer: the visible tree (the saved plans first) is hidden unless the
// pointer lies strictly inside it; when neither tree is visible both flags are cleared. The
// bottom edge is rounded half to even before the test; left, right and top are not.
PopupTick PopupTimerTick(const PopupState& state);

}  // namespace sw::viewing
