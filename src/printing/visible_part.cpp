#include "printing/visible_part.h"

#include "base/vb.h"
#include "printing/printer_metrics.h"

namespace sw::printing {

VisiblePart visiblePart(const QRectF& display, const QSizeF& source, const QSize& visible) {
    const auto single = [](double v) { return static_cast<float>(v); };
    const float dl = single(display.left());
    const float dt = single(display.top());
    const float dw = single(display.width());
    const float dh = single(display.height());
    const float sw = single(source.width());
    const float sh = single(source.height());
    VisiblePart part;
    part.x0 = single(checkedDivide(sw * -dl, dw));
    part.y0 = single(checkedDivide(sh * -dt, dh));
    part.width = single(checkedDivide(sw * single(visible.width()), dw));
    part.height = base::vb::toInt16(single(checkedDivide(sh * single(visible.height()), dh)));
    return part;
}

}  // namespace sw::printing
