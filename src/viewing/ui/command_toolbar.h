#pragma once

#include <QList>
#include <QToolBar>

class QAction;

namespace sw::viewing {

// The viewer's toolbar: the 15 captioned command buttons in their fixed order, then the tools added
// after them (16 "Measure", 17 "Compare"), each with an icon and a tooltip. Clicking a button emits
// commandTriggered() with the button's caption, which is the command word. Button 4 is the
// magnifier button: checkable, "Magnify" while the lens is off and "Turn Off" (pressed) while it
// is on, so its caption selects what the next click does. The Measure button is pressed while
// measuring, the Compare button while a comparison is shown. No button is ever disabled or hidden.
class CommandToolBar : public QToolBar {
    Q_OBJECT

public:
    explicit CommandToolBar(QWidget* parent = nullptr);

    // The button with 1-based `index` in the toolbar's order.
    [[nodiscard]] QAction* button(int index) const;
    [[nodiscard]] QAction* magnifierButton() const { return button(4); }
    static constexpr int kMeasureButton = 16;
    // The Measure button pressed while the tool is on.
    void showMeasuring(bool on);
    [[nodiscard]] QAction* compareButton() const;
    // "Turn Off" and pressed when `on`; "Magnify" and released otherwise.
    void showMagnifier(bool on);

signals:
    void commandTriggered(const QString& command);

private:
    QList<QAction*> m_buttons;
};

}  // namespace sw::viewing
