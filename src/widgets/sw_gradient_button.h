#pragma once

#include <cstdint>

#include <QString>

#include "widgets/ole_color.h"
#include "widgets/property_bag.h"
#include "widgets/surface_widget.h"

namespace sw::widgets {

class clsTrackInfo;

// SWGradientButton: a button offered to hosts that paints a vertical colour gradient, changing
// when the pointer is over it (hover) and when it is pressed, with one of the library's bitmaps
// centred on it (red pixels left out).
//
// States: normal (RGB 221, 236, 254 -> 129, 169, 226), hover (247, 227, 134 -> 238, 164, 36,
// black outline) and hover pressed (238, 164, 36 -> 226, 113, 22, black outline). Hover starts
// with the first pointer move over the button and ends only with the leave report of its tracking
// record `MyTrak` (clsTrackInfo, TrackingEvents). Tracking starts when the host loads the button's
// stored properties (ReadProperties) while in run mode, so a button created without them, or in a
// designer, keeps the hover look once the pointer has been over it.
//
// Bitmaps (ImgIndex, 0 = none): 1 previous arrow, 2 next arrow, 3 printer, 4 zoom in, 5 zoom out;
// 16 x 16 with a pure red background. ButtonText and ButtonGraphic are stored but not drawn.
// `hWnd` is the button's window handle (handles::windowHandle), stable for its life.
// Only "HoverTime" persists (default 400). Geometry in twips as for every SurfaceWidget.
// The parent owns the widget; the button owns MyTrak. UI thread only.
class SWGradientButton : public SurfaceWidget {
    Q_OBJECT

public:
    explicit SWGradientButton(QWidget* parent = nullptr);
    ~SWGradientButton() override;

    static constexpr int kBitmapCount = 5;

    // The left button is pressed on the control.
    [[nodiscard]] bool isDown() const { return m_isDown; }
    void setIsDown(bool value) { m_isDown = value; }
    // The pointer is over the button as far as its tracking knows.
    [[nodiscard]] bool isHovering() const { return m_hovering; }

    [[nodiscard]] std::int32_t HoverTime() const;
    void setHoverTime(std::int32_t milliseconds);
    [[nodiscard]] std::int16_t ImgIndex() const { return m_imgIndex; }
    void setImgIndex(std::int16_t value);
    [[nodiscard]] QString ButtonText() const { return m_buttonText; }
    void setButtonText(const QString& value);
    [[nodiscard]] QString ButtonGraphic() const { return m_buttonGraphic; }
    void setButtonGraphic(const QString& value);

    // Paints the background gradient from StartColor to EndColor (OLE colours; system colours
    // allowed) on the surface now; it stays until the next paint.
    void ApplyGradient(OleColor StartColor, OleColor EndColor);

    // Whether the host runs (true, the default) or designs the form; tracking starts only in run
    // mode.
    void setAmbientUserMode(bool userMode) { m_userMode = userMode; }

    // Loading: a new tracking record with the stored "HoverTime", tracking started in run mode.
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    // The image of library bitmap `index` (1 to kBitmapCount); a null image otherwise.
    static QImage libraryBitmap(int index);

signals:
    void Click();
    void MouseLeave();
    void MouseHover();
    void PropertyChanged(const QString& name);

protected:
    void paintSurface() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void newTrackingRecord();
    void releaseTrackingRecord();
    void applyGradient(OleColor startColor, OleColor endColor);
    void drawBitmap();

    clsTrackInfo* MyTrak = nullptr;
    bool m_hovering = false;
    bool m_isDown = false;
    bool m_userMode = true;
    std::int16_t m_imgIndex = 0;
    QString m_buttonText;
    QString m_buttonGraphic;
};

}  // namespace sw::widgets
