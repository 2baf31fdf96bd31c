#include "widgets/cls_track_info.h"

namespace sw::widgets {

void clsTrackInfo::RaiseMouseHover() {
    emit MouseHover();
}

void clsTrackInfo::RaiseMouseLeave() {
    emit MouseLeave();
}

}  // namespace sw::widgets
