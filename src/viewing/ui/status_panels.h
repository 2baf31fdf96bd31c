#pragma once

#include <array>

#include <QFrame>

class QLabel;

namespace sw::viewing {

// The viewer's status bar: five text panels side by side, 4500, 1440, 1440, 1440 and 1440 twips
// wide from the bar's left edge, counted from 1 like the status texts that fill them; together
// they end left of the progress bar that lies over the bar's right end. A text wider than its
// panel (a load's failure reason in panel 2) takes the room of the empty panels to its right,
// which move over; what still does not fit is shown elided, in full in the panel's tooltip. Its
// height and place are set by its owner.
class StatusPanels : public QFrame {
    Q_OBJECT

public:
    static constexpr int kPanels = 5;
    static constexpr std::array<int, kPanels> kWidthsTwips = {4500, 1440, 1440, 1440, 1440};

    explicit StatusPanels(QWidget* parent = nullptr);

    [[nodiscard]] QString panelText(int panel) const;  // empty for an unknown panel
    void setPanelText(int panel, const QString& text);
    // Sizes the panels for a screen with this many twips per pixel horizontally.
    void setTwipsPerPixel(double tppx);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Places the panels for their texts and shows each text, elided where it must be.
    void layOutPanels();

    std::array<QLabel*, kPanels> m_labels{};
    std::array<QString, kPanels> m_texts;
    double m_twipsPerPixel = 15.0;
};

}  // namespace sw::viewing
