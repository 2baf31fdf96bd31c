#include "viewing/ui/status_panels.h"

#include <algorithm>
#include <cmath>

#include <QLabel>

namespace sw::viewing {

StatusPanels::StatusPanels(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("status"));
    setAutoFillBackground(true);
    for (int i = 0; i < kPanels; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("panel%1").arg(i + 1));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        label->setIndent(3);
        m_labels.at(i) = label;
    }
    layOutPanels();
}

QString StatusPanels::panelText(int panel) const {
    return panel >= 1 && panel <= kPanels ? m_texts.at(panel - 1) : QString();
}

void StatusPanels::setPanelText(int panel, const QString& text) {
    if (panel < 1 || panel > kPanels) {
        return;
    }
    m_texts.at(panel - 1) = text;
    layOutPanels();
}

void StatusPanels::setTwipsPerPixel(double tppx) {
    m_twipsPerPixel = tppx;
    layOutPanels();
}

void StatusPanels::layOutPanels() {
    constexpr int kGap = 2;  // pixels between panels, and above and below them
    std::array<int, kPanels> widths{};
    for (int i = 0; i < kPanels; ++i) {
        widths.at(i) = static_cast<int>(std::lround(kWidthsTwips.at(i) / m_twipsPerPixel));
    }
    for (int i = 0; i < kPanels; ++i) {
        const QLabel* label = m_labels.at(i);
        const int chrome = label->frameWidth() * 2 + label->indent() * 2 + kGap + 1;
        int missing = label->fontMetrics().horizontalAdvance(m_texts.at(i)) + chrome - widths.at(i);
        for (int j = kPanels - 1; j > i && missing > 0; --j) {
            if (m_texts.at(j).isEmpty()) {
                const int given = std::min(missing, widths.at(j));
                widths.at(j) -= given;
                widths.at(i) += given;
                missing -= given;
            }
        }
    }
    int x = 0;
    for (int i = 0; i < kPanels; ++i) {
        QLabel* label = m_labels.at(i);
        label->setGeometry(x, kGap, std::max(widths.at(i) - kGap, 0), height() - 2 * kGap);
        label->setVisible(widths.at(i) > kGap);
        x += widths.at(i);
        const QString& text = m_texts.at(i);
        const int room = label->contentsRect().width() - label->indent() * 2;
        const QString shown =
            label->fontMetrics().elidedText(text, Qt::ElideRight, std::max(room, 8));
        label->setText(shown);
        label->setToolTip(shown == text ? QString() : text);
    }
}

void StatusPanels::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    layOutPanels();
}

}  // namespace sw::viewing
