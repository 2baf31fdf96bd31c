#pragma once

#include <cstdint>
#include <optional>

#include <QFont>
#include <QString>
#include <QVariant>

#include "widgets/ole_color.h"
#include "widgets/property_bag.h"
#include "widgets/surface_widget.h"

namespace sw::widgets {

// SWRuler: a ruler strip with a frame, one line per whole unit between Min and Max and the unit's
// number beside it. The viewer uses two: HorRuler along the top and VertRuler (IsVertical) along
// the left, stretching each over the sheet's displayed size and setting Max to the sheet's size in
// inches; the ruler knows nothing of zoom or scrolling.
//
// Drawing (on every paint, on Refresh and after each resize): background RGB(213, 212, 211),
// black lines and labels in the label font (8.25 pt sans-serif by default), all coordinates in
// twips from the top-left corner (see layoutRuler for the ticks). Painting resets BackColor and
// ForeColor to those two colours whatever they held. Setting Max, Min, Offset or IsVertical takes
// effect at the next paint; the host asks for it with Refresh.
//
// Every property setter raises PropertyChanged(name) and none repaints. The surface properties
// (BackColor ... FillStyle, hDC) belong to the drawing surface; BackColor clears it when set, the
// drawing properties (DrawStyle, DrawMode, FillColor, FillStyle, CurrentX/Y) apply to Circle_ and
// to the ruler's own lines (DrawMode). FontColor, TickColor, BorderColor, BorderWidth, BackStyle,
// BorderStyle and Appearance are stored and persisted only.
//
// Max, Min, Offset and BorderWidth are 16-bit properties stored in 32 bits: their getters throw
// std::overflow_error("Overflow") when the stored value (which only a property bag can supply)
// does not fit 16 bits. Pointer and key events of the surface are passed on as signals (mouse
// coordinates in twips, codes as in input_codes.h). UI thread only; the parent owns the widget.
class SWRuler : public SurfaceWidget {
    Q_OBJECT

public:
    explicit SWRuler(QWidget* parent = nullptr);

    // The host's ambient font, the default of Font: 8.25 pt sans-serif.
    static QFont ambientFont();

    [[nodiscard]] std::int16_t Max() const;
    void setMax(std::int16_t value);
    [[nodiscard]] std::int16_t Min() const;
    void setMin(std::int16_t value);
    [[nodiscard]] std::int16_t Offset() const;
    void setOffset(std::int16_t value);
    [[nodiscard]] bool IsVertical() const { return m_isVertical; }
    void setIsVertical(bool value);
    [[nodiscard]] OleColor FontColor() const { return m_fontColor; }
    void setFontColor(OleColor value);
    [[nodiscard]] OleColor TickColor() const { return m_tickColor; }
    void setTickColor(OleColor value);
    [[nodiscard]] OleColor BorderColor() const { return m_borderColor; }
    void setBorderColor(OleColor value);
    [[nodiscard]] std::int16_t BorderWidth() const;
    void setBorderWidth(std::int16_t value);

    // Surface properties. Enabled and Font hide QWidget's setters of the same name so that a
    // change through the ruler is recorded; Font is the label font, in points.
    [[nodiscard]] OleColor BackColor() const { return m_backColor; }
    void setBackColor(OleColor value);
    [[nodiscard]] OleColor ForeColor() const { return m_foreColor; }
    void setForeColor(OleColor value);
    [[nodiscard]] bool Enabled() const { return isEnabled(); }
    void setEnabled(bool value);
    [[nodiscard]] QFont Font() const { return m_font; }
    void setFont(const QFont& value);
    [[nodiscard]] std::int16_t BackStyle() const { return m_backStyle; }
    void setBackStyle(std::int16_t value);
    [[nodiscard]] std::int16_t BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(std::int16_t value);
    [[nodiscard]] std::int16_t Appearance() const { return m_appearance; }
    void setAppearance(std::int16_t value);
    [[nodiscard]] double CurrentX() const { return m_currentX; }
    void setCurrentX(double twips);
    [[nodiscard]] double CurrentY() const { return m_currentY; }
    void setCurrentY(double twips);
    [[nodiscard]] std::int16_t DrawStyle() const { return m_drawStyle; }
    void setDrawStyle(std::int16_t value);
    [[nodiscard]] std::int16_t DrawMode() const { return m_drawMode; }
    void setDrawMode(std::int16_t value);
    [[nodiscard]] OleColor FillColor() const { return m_fillColor; }
    void setFillColor(OleColor value);
    [[nodiscard]] std::int16_t FillStyle() const { return m_fillStyle; }
    void setFillStyle(std::int16_t value);

    // Repaints now (runs the drawing even while hidden, so that hDC holds the ruler).
    void Refresh();
    // A circle, ellipse or arc on the surface, shown until the next paint. Centre and radius in
    // twips; colour defaults to ForeColor; StartPos/EndPos in radians (-2 pi to 2 pi, a negative
    // angle also draws the radius to that end); Aspect is height / width (default 1). Angles out
    // of range draw nothing.
    void Circle_(double x, double y, double Radius, std::optional<OleColor> Color = {},
                 std::optional<double> StartPos = {}, std::optional<double> EndPos = {},
                 std::optional<double> Aspect = {});
    // Clears the surface to BackColor and puts CurrentX/Y at 0.
    void Cls();
    // Does nothing; returns an empty value.
    static QVariant Redraw();

    // Persistence under the keys "BackColor" ... "BorderWidth", in the order of the host's
    // design; values equal to their defaults are not written. Reading sets the fields without
    // PropertyChanged; values of the wrong kind read as their defaults.
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

signals:
    void Click();
    void DblClick();
    void KeyDown(int KeyCode, int Shift);
    void KeyPress(int KeyAscii);
    void KeyUp(int KeyCode, int Shift);
    void MouseDown(int Button, int Shift, float x, float y);
    void MouseMove(int Button, int Shift, float x, float y);
    void MouseUp(int Button, int Shift, float x, float y);
    // Raised on a resize, before the ruler repaints.
    void Resize();
    void PropertyChanged(const QString& name);

protected:
    void paintSurface() override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    template <typename T>
    void assign(T& field, const T& value, const char* name);
    void raiseMouse(void (SWRuler::*signal)(int, int, float, float), int button,
                    const QMouseEvent& event);

    std::int32_t m_max = 36;
    std::int32_t m_min = 0;
    std::int32_t m_offset = 0;
    bool m_isVertical = false;
    OleColor m_fontColor = 0;
    OleColor m_tickColor = 0;
    OleColor m_borderColor = 0;
    std::int32_t m_borderWidth = 1;

    OleColor m_backColor = kButtonFace;
    OleColor m_foreColor = kButtonText;
    QFont m_font = ambientFont();
    std::int16_t m_backStyle = 1;
    std::int16_t m_borderStyle = 0;
    std::int16_t m_appearance = 1;
    double m_currentX = 0;
    double m_currentY = 0;
    std::int16_t m_drawStyle = 0;
    std::int16_t m_drawMode = 13;
    OleColor m_fillColor = 0;
    std::int16_t m_fillStyle = 1;

    // A press inside the ruler that a release may turn into Click.
    bool m_pressed = false;
};

}  // namespace sw::widgets
