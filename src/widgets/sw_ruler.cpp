#include "widgets/sw_ruler.h"

#include <limits>
#include <stdexcept>

#include <QMouseEvent>
#include <QResizeEvent>

#include "widgets/input_codes.h"
#include "widgets/twips.h"

namespace sw::widgets {

namespace {

constexpr double kAmbientFontPoints = 8.25;

std::int16_t to16(std::int32_t stored) {
    if (stored < std::numeric_limits<std::int16_t>::min() ||
        stored > std::numeric_limits<std::int16_t>::max()) {
        throw std::overflow_error("Overflow");
    }
    return static_cast<std::int16_t>(stored);
}

// Typed reads from a bag: a stored value out of the field's range reads as the default.
template <typename T>
T readInteger(const PropertyBag& bag, const char* key, T defaultValue) {
    bool ok = false;
    const qlonglong value =
        bag.read(QString::fromLatin1(key), QVariant::fromValue<qlonglong>(defaultValue))
            .toLongLong(&ok);
    if (!ok || value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max()) {
        return defaultValue;
    }
    return static_cast<T>(value);
}

OleColor readColor(const PropertyBag& bag, const char* key, OleColor defaultValue) {
    return readInteger<OleColor>(bag, key, defaultValue);
}

void writeColor(PropertyBag& bag, const char* key, OleColor value, OleColor defaultValue) {
    bag.write(QString::fromLatin1(key), QVariant::fromValue<uint>(value),
              QVariant::fromValue<uint>(defaultValue));
}

void writeInt(PropertyBag& bag, const char* key, int value, int defaultValue) {
    bag.write(QString::fromLatin1(key), value, defaultValue);
}

}  // namespace

SWRuler::SWRuler(QWidget* parent) : SurfaceWidget(parent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
}

QFont SWRuler::ambientFont() {
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(kAmbientFontPoints);
    return font;
}

template <typename T>
void SWRuler::assign(T& field, const T& value, const char* name) {
    field = value;
    emit PropertyChanged(QString::fromLatin1(name));
}

std::int16_t SWRuler::Max() const {
    return to16(m_max);
}
void SWRuler::setMax(std::int16_t value) {
    assign<std::int32_t>(m_max, value, "Max");
}
std::int16_t SWRuler::Min() const {
    return to16(m_min);
}
void SWRuler::setMin(std::int16_t value) {
    assign<std::int32_t>(m_min, value, "Min");
}
std::int16_t SWRuler::Offset() const {
    return to16(m_offset);
}
void SWRuler::setOffset(std::int16_t value) {
    assign<std::int32_t>(m_offset, value, "Offset");
}
void SWRuler::setIsVertical(bool value) {
    assign(m_isVertical, value, "IsVertical");
}
void SWRuler::setFontColor(OleColor value) {
    assign(m_fontColor, value, "FontColor");
}
void SWRuler::setTickColor(OleColor value) {
    assign(m_tickColor, value, "TickColor");
}
void SWRuler::setBorderColor(OleColor value) {
    assign(m_borderColor, value, "BorderColor");
}
std::int16_t SWRuler::BorderWidth() const {
    return to16(m_borderWidth);
}
void SWRuler::setBorderWidth(std::int16_t value) {
    assign<std::int32_t>(m_borderWidth, value, "BorderWidth");
}

void SWRuler::setBackColor(OleColor value) {
    m_backColor = value;
    surface().fill(oleColorToQColor(value));
    showSurface();
    emit PropertyChanged(QStringLiteral("BackColor"));
}

void SWRuler::setForeColor(OleColor value) {
    assign(m_foreColor, value, "ForeColor");
}

void SWRuler::setEnabled(bool value) {
    QWidget::setEnabled(value);
    emit PropertyChanged(QStringLiteral("Enabled"));
}

void SWRuler::setFont(const QFont& value) {
    assign(m_font, value, "Font");
}
void SWRuler::setBackStyle(std::int16_t value) {
    assign(m_backStyle, value, "BackStyle");
}
void SWRuler::setBorderStyle(std::int16_t value) {
    assign(m_borderStyle, value, "BorderStyle");
}
void SWRuler::setAppearance(std::int16_t value) {
    assign(m_appearance, value, "Appearance");
}
void SWRuler::setCurrentX(double twips) {
    assign(m_currentX, twips, "CurrentX");
}
void SWRuler::setCurrentY(double twips) {
    assign(m_currentY, twips, "CurrentY");
}
void SWRuler::setDrawStyle(std::int16_t value) {
    assign(m_drawStyle, value, "DrawStyle");
}
void SWRuler::setDrawMode(std::int16_t value) {
    assign(m_drawMode, value, "DrawMode");
}
void SWRuler::setFillColor(OleColor value) {
    assign(m_fillColor, value, "FillColor");
}
void SWRuler::setFillStyle(std::int16_t value) {
    assign(m_fillStyle, value, "FillStyle");
}

QVariant SWRuler::Redraw() {
    return {};
}

void SWRuler::ReadProperties(const PropertyBag& bag) {
    m_backColor = readColor(bag, "BackColor", kButtonFace);
    m_foreColor = readColor(bag, "ForeColor", kButtonText);
    QWidget::setEnabled(bag.read(QStringLiteral("Enabled"), true).toBool());
    m_font = bag.read(QStringLiteral("Font"), ambientFont()).value<QFont>();
    m_backStyle = readInteger<std::int16_t>(bag, "BackStyle", 1);
    m_borderStyle = readInteger<std::int16_t>(bag, "BorderStyle", 0);
    m_appearance = readInteger<std::int16_t>(bag, "Appearance", 1);
    m_currentX = bag.read(QStringLiteral("CurrentX"), 0.0).toDouble();
    m_currentY = bag.read(QStringLiteral("CurrentY"), 0.0).toDouble();
    m_drawStyle = readInteger<std::int16_t>(bag, "DrawStyle", 0);
    m_drawMode = readInteger<std::int16_t>(bag, "DrawMode", 13);
    m_fillColor = readColor(bag, "FillColor", 0);
    m_fillStyle = readInteger<std::int16_t>(bag, "FillStyle", 1);
    m_max = readInteger<std::int32_t>(bag, "Max", 36);
    m_min = readInteger<std::int32_t>(bag, "Min", 0);
    m_offset = readInteger<std::int32_t>(bag, "Offset", 0);
    m_isVertical = bag.read(QStringLiteral("IsVertical"), false).toBool();
    m_fontColor = readColor(bag, "FontColor", 0);
    m_tickColor = readColor(bag, "TickColor", 0);
    m_borderColor = readColor(bag, "BorderColor", 0);
    m_borderWidth = readInteger<std::int32_t>(bag, "BorderWidth", 1);
}

void SWRuler::WriteProperties(PropertyBag& bag) const {
    writeColor(bag, "BackColor", m_backColor, kButtonFace);
    writeColor(bag, "ForeColor", m_foreColor, kButtonText);
    bag.write(QStringLiteral("Enabled"), isEnabled(), true);
    bag.write(QStringLiteral("Font"), m_font, ambientFont());
    writeInt(bag, "BackStyle", m_backStyle, 1);
    writeInt(bag, "BorderStyle", m_borderStyle, 0);
    writeInt(bag, "Appearance", m_appearance, 1);
    bag.write(QStringLiteral("CurrentX"), m_currentX, 0.0);
    bag.write(QStringLiteral("CurrentY"), m_currentY, 0.0);
    writeInt(bag, "DrawStyle", m_drawStyle, 0);
    writeInt(bag, "DrawMode", m_drawMode, 13);
    writeColor(bag, "FillColor", m_fillColor, 0);
    writeInt(bag, "FillStyle", m_fillStyle, 1);
    writeInt(bag, "Max", m_max, 36);
    writeInt(bag, "Min", m_min, 0);
    writeInt(bag, "Offset", m_offset, 0);
    bag.write(QStringLiteral("IsVertical"), m_isVertical, false);
    writeColor(bag, "FontColor", m_fontColor, 0);
    writeColor(bag, "TickColor", m_tickColor, 0);
    writeColor(bag, "BorderColor", m_borderColor, 0);
    writeInt(bag, "BorderWidth", m_borderWidth, 1);
}

void SWRuler::resizeEvent(QResizeEvent* event) {
    SurfaceWidget::resizeEvent(event);
    emit Resize();
}

void SWRuler::raiseMouse(void (SWRuler::*signal)(int, int, float, float), int button,
                         const QMouseEvent& event) {
    const QPointF pos = event.position();
    emit(this->*signal)(button, hostShift(event.modifiers()),
                        static_cast<float>(pos.x() * twipsPerPixelX()),
                        static_cast<float>(pos.y() * twipsPerPixelY()));
}

void SWRuler::mousePressEvent(QMouseEvent* event) {
    m_pressed = true;
    raiseMouse(&SWRuler::MouseDown, hostButton(event->button()), *event);
}

void SWRuler::mouseMoveEvent(QMouseEvent* event) {
    raiseMouse(&SWRuler::MouseMove, hostButton(event->buttons()), *event);
}

void SWRuler::mouseReleaseEvent(QMouseEvent* event) {
    raiseMouse(&SWRuler::MouseUp, hostButton(event->button()), *event);
    const bool click = m_pressed && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click) {
        emit Click();
    }
}

void SWRuler::mouseDoubleClickEvent(QMouseEvent* /*event*/) {
    // The second press of a double click raises DblClick instead of MouseDown, and its release
    // raises MouseUp but no Click.
    m_pressed = false;
    emit DblClick();
}

void SWRuler::keyPressEvent(QKeyEvent* event) {
    const int keyCode = hostKeyCode(*event);
    if (keyCode != 0) {
        emit KeyDown(keyCode, hostShift(event->modifiers()));
    }
    const int keyAscii = hostKeyAscii(*event);
    if (keyAscii >= 0) {
        emit KeyPress(keyAscii);
    }
}

void SWRuler::keyReleaseEvent(QKeyEvent* event) {
    const int keyCode = hostKeyCode(*event);
    if (keyCode != 0) {
        emit KeyUp(keyCode, hostShift(event->modifiers()));
    }
}

}  // namespace sw::widgets
