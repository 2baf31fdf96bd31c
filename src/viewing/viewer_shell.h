#pragma once

#include <cstdint>

#include <QSizeF>
#include <QString>
#include <QStringList>

#include "viewing/viewer_layout.h"

namespace sw::viewing {

enum class Ruler { Horizontal, Vertical };

// What the viewing logic needs of the viewer control that hosts it: its rulers, status bar,
// magnifier button, pop-up timer, the shared fields it reads and writes, and the load of a plan.
// The FastViewer control implements it; tests use a fake. Called on the UI thread only.
class ViewerShell {
public:
    virtual ~ViewerShell() = default;

    // The screen's twips per pixel, read at the moment of use.
    [[nodiscard]] virtual TwipsPerPixel twipsPerPixel() const = 0;
    // The imaging control's width and height, twips.
    [[nodiscard]] virtual QSizeF viewerSizeTwips() const = 0;

    [[nodiscard]] virtual std::int16_t rulerMax(Ruler ruler) const = 0;
    virtual void setRulerMax(Ruler ruler, std::int16_t value) = 0;
    // Re-arranges the controls along the sheet and repaints both rulers.
    virtual void refreshRulers() = 0;

    // The magnifier button: "Turn Off" and pressed when `on`, "Magnify" and released otherwise.
    virtual void showMagnifierButton(bool on) = 0;

    // Status bar panels, counted from 1, and the progress bar.
    [[nodiscard]] virtual QString panelText(int panel) const = 0;
    virtual void setPanelText(int panel, const QString& text) = 0;
    virtual void setProgressValue(int percent) = 0;
    // Repaints the status bar at once (so a percentage shows during a download).
    virtual void repaintStatus() = 0;

    // The pop-up timer that closes an open tree once the pointer has left it.
    [[nodiscard]] virtual bool popupShown() const = 0;  // localPlansShown or planListShown
    // Enables the timer; one that runs already is left as it is.
    virtual void startPopupTimer() = 0;

    // Shared fields.
    [[nodiscard]] virtual QStringList planLabels() const = 0;
    [[nodiscard]] virtual QStringList planFiles() const = 0;
    [[nodiscard]] virtual QString currentPlanName() const = 0;
    virtual void setCurrentPlanName(const QString& name) = 0;
    virtual void setSheetSizeText(const QString& text) = 0;
    virtual void setCurrentPlanIndex(std::int16_t index) = 0;
    // The project's default rotation, whole degrees.
    [[nodiscard]] virtual std::int32_t rotation() const = 0;

    // SetImage(path, ""): starts loading the plan at `path` (relative to the plan URL).
    virtual void setImage(const QString& path) = 0;
};

}  // namespace sw::viewing
