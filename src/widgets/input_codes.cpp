#include "widgets/input_codes.h"

namespace sw::widgets {

namespace {

struct KeyEntry {
    int qtKey;
    int hostKey;
};

constexpr KeyEntry kKeys[] = {
    {Qt::Key_Backspace, 8},
    {Qt::Key_Tab, 9},
    {Qt::Key_Backtab, 9},
    {Qt::Key_Clear, 12},
    {Qt::Key_Return, 13},
    {Qt::Key_Enter, 13},
    {Qt::Key_Shift, 16},
    {Qt::Key_Control, 17},
    {Qt::Key_Alt, 18},
    {Qt::Key_Pause, 19},
    {Qt::Key_CapsLock, 20},
    {Qt::Key_Escape, 27},
    {Qt::Key_Space, 32},
    {Qt::Key_PageUp, 33},
    {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35},
    {Qt::Key_Home, 36},
    {Qt::Key_Left, 37},
    {Qt::Key_Up, 38},
    {Qt::Key_Right, 39},
    {Qt::Key_Down, 40},
    {Qt::Key_Print, 44},
    {Qt::Key_Insert, 45},
    {Qt::Key_Delete, 46},
    {Qt::Key_Menu, 93},
    {Qt::Key_NumLock, 144},
    {Qt::Key_ScrollLock, 145},
    {Qt::Key_Semicolon, 186},
    {Qt::Key_Equal, 187},
    {Qt::Key_Comma, 188},
    {Qt::Key_Minus, 189},
    {Qt::Key_Period, 190},
    {Qt::Key_Slash, 191},
    {Qt::Key_QuoteLeft, 192},
    {Qt::Key_BracketLeft, 219},
    {Qt::Key_Backslash, 220},
    {Qt::Key_BracketRight, 221},
    {Qt::Key_Apostrophe, 222},
};

constexpr KeyEntry kKeypadKeys[] = {
    {Qt::Key_Asterisk, 106}, {Qt::Key_Plus, 107},  {Qt::Key_Minus, 109},
    {Qt::Key_Period, 110},   {Qt::Key_Slash, 111},
};

}  // namespace

int hostButton(Qt::MouseButtons buttons) {
    int result = 0;
    if (buttons.testFlag(Qt::LeftButton)) {
        result |= 1;
    }
    if (buttons.testFlag(Qt::RightButton)) {
        result |= 2;
    }
    if (buttons.testFlag(Qt::MiddleButton)) {
        result |= 4;
    }
    return result;
}

int hostShift(Qt::KeyboardModifiers modifiers) {
    int result = 0;
    if (modifiers.testFlag(Qt::ShiftModifier)) {
        result |= 1;
    }
    if (modifiers.testFlag(Qt::ControlModifier)) {
        result |= 2;
    }
    if (modifiers.testFlag(Qt::AltModifier)) {
        result |= 4;
    }
    return result;
}

int hostKeyCode(const QKeyEvent& event) {
    const int key = event.key();
    const bool keypad = event.modifiers().testFlag(Qt::KeypadModifier);
    if (keypad && key >= Qt::Key_0 && key <= Qt::Key_9) {
        return 96 + (key - Qt::Key_0);
    }
    if (keypad) {
        for (const KeyEntry& entry : kKeypadKeys) {
            if (entry.qtKey == key) {
                return entry.hostKey;
            }
        }
    }
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
        return key;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
        return 112 + (key - Qt::Key_F1);
    }
    for (const KeyEntry& entry : kKeys) {
        if (entry.qtKey == key) {
            return entry.hostKey;
        }
    }
    return 0;
}

int hostKeyAscii(const QKeyEvent& event) {
    const QString text = event.text();
    if (text.size() != 1) {
        return -1;
    }
    const char16_t code = text.at(0).unicode();
    return code <= 0xFF ? static_cast<int>(code) : -1;
}

}  // namespace sw::widgets
