#pragma once

// FastViewer as the viewing logic sees it (viewing::ViewerShell). Private to the control's
// implementation files.
#include <QAction>
#include <QProgressBar>
#include <QTimer>

#include "compare/ui/compare_host.h"
#include "host/ui/fast_viewer.h"
#include "imaging/ui/imaging_control.h"
#include "viewing/ui/command_toolbar.h"
#include "viewing/ui/status_panels.h"
#include "viewing/viewer_shell.h"
#include "widgets/sw_ruler.h"
#include "widgets/twips.h"

namespace sw::host {

// The screen's twips per pixel as the layout uses them.
inline viewing::TwipsPerPixel screenTwipsPerPixel() {
    return {static_cast<float>(widgets::twipsPerPixelX()),
            static_cast<float>(widgets::twipsPerPixelY())};
}

// The control as the viewing logic sees it.
class FastViewer::Shell : public viewing::ViewerShell {
public:
    explicit Shell(FastViewer& v) : m_v(v) {}

    viewing::TwipsPerPixel twipsPerPixel() const override { return screenTwipsPerPixel(); }
    QSizeF viewerSizeTwips() const override {
        const viewing::TwipsPerPixel tpp = screenTwipsPerPixel();
        return {m_v.viewer->width() * static_cast<double>(tpp.x),
                m_v.viewer->height() * static_cast<double>(tpp.y)};
    }
    std::int16_t rulerMax(viewing::Ruler r) const override { return ruler(r).Max(); }
    void setRulerMax(viewing::Ruler r, std::int16_t value) override { ruler(r).setMax(value); }
    void refreshRulers() override { m_v.RefreshRulers(); }
    void showMagnifierButton(bool on) override { m_v.toolbar->showMagnifier(on); }
    QString panelText(int panel) const override { return m_v.panelText(panel); }
    void setPanelText(int panel, const QString& text) override { m_v.setPanelText(panel, text); }
    void setProgressValue(int percent) override { m_v.statusbar->setValue(percent); }
    void repaintStatus() override {
        m_v.status->repaint();
        m_v.statusbar->repaint();
    }
    bool popupShown() const override { return m_v.localPlansShown || m_v.planListShown; }
    // Enables the timer; a timer that runs already keeps its time (a moving pointer must not
    // keep putting the tick off).
    void startPopupTimer() override {
        if (!m_v.Timer1->isActive()) {
            m_v.Timer1->start();
        }
    }
    QStringList planLabels() const override { return m_v.planLabels; }
    QStringList planFiles() const override { return m_v.planFiles; }
    QString currentPlanName() const override { return m_v.currentPlanName; }
    void setCurrentPlanName(const QString& name) override {
        m_v.currentPlanName = name;
        m_v.updateTitle();
    }
    void setSheetSizeText(const QString& text) override { m_v.sheetSizeText = text; }
    void setCurrentPlanIndex(std::int16_t index) override { m_v.currentPlanIndex = index; }
    std::int32_t rotation() const override { return m_v.rotation; }
    void setImage(const QString& path) override { m_v.SetImage(path, QString()); }

private:
    widgets::SWRuler& ruler(viewing::Ruler r) const {
        return r == viewing::Ruler::Horizontal ? *m_v.HorRuler : *m_v.VertRuler;
    }

    FastViewer& m_v;
};

// The control as the comparison sees it.
class FastViewer::CompareAdapter : public compare::CompareHost {
public:
    explicit CompareAdapter(FastViewer& v) : m_v(v) {}

    QStringList planLabels() const override { return m_v.planLabels; }
    QStringList planFiles() const override { return m_v.planFiles; }
    QString planUrl() const override { return m_v.planUrl; }
    QString planDirectory() const override { return m_v.planDirectory; }
    void showMessage(const QString& text) override { m_v.showMessage(text); }
    void showCompareButton(bool pressed) override {
        if (QAction* button = m_v.toolbar->compareButton()) {
            button->setChecked(pressed);
        }
    }

private:
    FastViewer& m_v;
};

}  // namespace sw::host
