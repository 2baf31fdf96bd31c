#pragma once

#include <optional>

#include <QKeyCombination>
#include <QPoint>
#include <QString>

namespace sw::viewing {

// What a key on the viewer does: run a command word through DoCommand, or pan the sheet one step
// in a direction (x, y each -1, 0 or +1: the direction the sheet moves, so the Left key moves it
// right to show more of its left part).
struct KeyAction {
    QString command;
    QPoint panDirection;

    friend bool operator==(const KeyAction&, const KeyAction&) = default;
};

// The viewer's keyboard shortcuts: + and = zoom in, - zooms out, 0 fits, the arrow keys pan, Page
// Up and Page Down show the previous and next sheet, R and Shift+R turn clockwise and
// anticlockwise, M switches the Measure tool on and off, Ctrl+S saves and Ctrl+P prints. Keypad
// keys count as their main-keyboard twins.
std::optional<KeyAction> keyBinding(QKeyCombination key);

// A key written as text ("ctrl+s", "Shift+R", "PgDown", "+"), letter case ignored; nothing when
// the text names no single key.
std::optional<QKeyCombination> parseKeyName(const QString& text);

// The share of the visible sheet area that one arrow-key step pans.
inline constexpr double kPanStepFraction = 0.1;

// The main window's title: "Sheetwise — <project> — <sheet>", leaving out empty parts.
QString windowTitle(const QString& projectName, const QString& sheetName);

}  // namespace sw::viewing
