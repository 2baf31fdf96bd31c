#include "viewing/popup_timer.h"

#include "base/vb.h"

namespace sw::viewing {
namespace {

bool strictlyInside(const QRectF& r, const QPointF& p) {
    const double left = r.left();
    const double right = left + r.width();
    const double top = r.top();
    const double bottom = base::vb::roundHalfEven(top + r.height());
    return left < p.x() && p.x() < right && top < p.y() && p.y() < bottom;
}

}  // namespace

PopupTick PopupTimerTick(const PopupState& state) {
    PopupTick tick;
    tick.localPlansShown = state.localPlansShown;
    tick.planListShown = state.planListShown;
    if (state.localPlansVisible) {
        if (!strictlyInside(state.localPlansRect, state.pointer)) {
            tick.localPlansShown = false;
            tick.hideLocalPlans = true;
        }
    } else if (state.planListVisible) {
        if (!strictlyInside(state.planListRect, state.pointer)) {
            tick.planListShown = false;
            tick.hidePlanList = true;
        }
    } else {
        tick.localPlansShown = false;
        tick.planListShown = false;
    }
    return tick;
}

}  // namespace sw::viewing
