#include "widgets/sw_menu_bar.h"

#include "widgets/gradient.h"
#include "widgets/twips.h"
#include "widgets/twips_painter.h"

namespace sw::widgets {

namespace {

constexpr OleColor kTop = rgb(221, 236, 254);
constexpr OleColor kBottom = rgb(129, 169, 226);
const QColor kEdge(97, 124, 163);

}  // namespace

SWMenuBar::SWMenuBar(QWidget* parent) : SurfaceWidget(parent) {
    resize(sizeHint());
}

void SWMenuBar::ApplyGradient(OleColor StartColor, OleColor EndColor) {
    applyGradient(StartColor, EndColor);
    showSurface();
}

void SWMenuBar::applyGradient(OleColor startColor, OleColor endColor) {
    const auto bands = menuBarGradientBands(startColor, endColor, heightTwips(), twipsPerPixelX());
    if (bands) {
        paintGradientBands(&surface(), *bands, widthTwips());
    }
}

void SWMenuBar::paintSurface() {
    applyGradient(kTop, kBottom);
    const double pixel = roundHalfEven(twipsPerPixelX());
    const double w = widthTwips();
    const double h = heightTwips();
    TwipsPainter painter(&surface());
    painter.line(QLineF(0, h - 2 * pixel, w, h - 2 * pixel), kEdge);
    painter.line(QLineF(0, h - pixel, w, h - pixel), Qt::black);
}

}  // namespace sw::widgets
