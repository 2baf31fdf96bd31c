#pragma once

#include <QKeyEvent>
#include <QMouseEvent>

// Pointer and key values in the form the controls' events hand to hosts: buttons 1 (left),
// 2 (right), 4 (middle); shift state 1 (Shift), 2 (Ctrl), 4 (Alt); key codes as the original
// platform's virtual-key numbers (letters and digits as their upper-case characters, F1 = 112,
// arrows 37 to 40, ...); typed characters as their 8-bit character codes.
namespace sw::widgets {

int hostButton(Qt::MouseButtons buttons);
int hostShift(Qt::KeyboardModifiers modifiers);
// The virtual-key number of a key event; 0 for keys that have none.
int hostKeyCode(const QKeyEvent& event);
// The character code of a key press that types one 8-bit character; -1 otherwise.
int hostKeyAscii(const QKeyEvent& event);

}  // namespace sw::widgets
