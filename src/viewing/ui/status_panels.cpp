#include "viewing/ui/status_panels.h"

#include <cmath>

#include <QHBoxLayout>
#include <QLabel>

namespace sw::viewing {

StatusPanels::StatusPanels(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("status"));
    setAutoFillBackground(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    for (int i = 0; i < kPanels; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("panel%1").arg(i + 1));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        label->setIndent(3);
        label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
        layout->addWidget(label);
        m_labels.at(i) = label;
    }
    layout->addStretch(1);
    setTwipsPerPixel(15.0);
}

QString StatusPanels::panelText(int panel) const {
    return panel >= 1 && panel <= kPanels ? m_texts.at(panel - 1) : QString();
}

void StatusPanels::setPanelText(int panel, const QString& text) {
    if (panel < 1 || panel > kPanels) {
        return;
    }
    m_texts.at(panel - 1) = text;
    showText(panel);
}

void StatusPanels::setTwipsPerPixel(double tppx) {
    for (int i = 0; i < kPanels; ++i) {
        m_labels.at(i)->setFixedWidth(static_cast<int>(std::lround(kWidthsTwips.at(i) / tppx)));
        showText(i + 1);
    }
}

void StatusPanels::showText(int panel) {
    QLabel* label = m_labels.at(panel - 1);
    const QString& text = m_texts.at(panel - 1);
    const int room = label->contentsRect().width() - label->indent() * 2;
    const QString shown = label->fontMetrics().elidedText(text, Qt::ElideRight, std::max(room, 8));
    label->setText(shown);
    label->setToolTip(shown == text ? QString() : text);
}

void StatusPanels::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    for (int i = 1; i <= kPanels; ++i) {
        showText(i);
    }
}

}  // namespace sw::viewing
