#pragma once

#include "widgets/ole_color.h"
#include "widgets/surface_widget.h"

namespace sw::widgets {

// SWMenuBar: a strip offered to hosts to sit under SWGradientButtons. It paints the buttons'
// normal gradient (RGB 221, 236, 254 -> 129, 169, 226) with a bottom edge of two one-pixel lines,
// RGB 97, 124, 163 above black. The gradient's bands stop two pixels above the bottom, where the
// edge goes (menuBarGradientBands). No properties, no events, nothing persisted; it fills
// whatever size the host gives it (default 400 x 30 pixels). Geometry in twips as for every
// SurfaceWidget. The parent owns the widget; UI thread only.
class SWMenuBar : public SurfaceWidget {
    Q_OBJECT

public:
    explicit SWMenuBar(QWidget* parent = nullptr);

    // Paints the gradient from StartColor to EndColor (OLE colours; system colours allowed) on
    // the surface now; it stays until the next paint.
    void ApplyGradient(OleColor StartColor, OleColor EndColor);

    [[nodiscard]] QSize sizeHint() const override { return {400, 30}; }

protected:
    void paintSurface() override;

private:
    void applyGradient(OleColor startColor, OleColor endColor);
};

}  // namespace sw::widgets
