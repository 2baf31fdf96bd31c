#pragma once

#include <functional>

#include <QPointF>
#include <QString>

#include "viewing/imaging_view.h"
#include "viewing/pointer_state.h"
#include "viewing/pointer_tool.h"
#include "viewing/viewer_shell.h"

namespace sw::viewing {

// The viewer's behaviour between the imaging control and the viewer control: zoom, fit, zoom at a
// point and to a dragged rectangle, panning, quarter turns, the view reset after each load, the
// pointer gesture rules and the status texts of a load. It keeps no zoom state of its own; the
// zoom lives in the imaging control. Every operation that changes the view ends with the shell's
// refreshRulers(), so the rulers follow the sheet.
//
// Units: pointer positions arrive as the imaging control reports them, in its window pixels, and
// are used as pixels throughout (ZoomAtPoint, panning); the viewer's size is read in twips and
// converted to pixels with the screen's twips per pixel.
//
// Does not own the view, the shell or the pointer fields; all must outlive it. UI thread only.
// Notification handlers run each step with errors ignored (a failing step is skipped and the next
// runs); the operations called directly let errors through to the caller.
class ViewController {
public:
    ViewController(ImagingView& view, ViewerShell& shell, PointerState& pointer);

    [[nodiscard]] ImagingView& view() { return m_view; }
    [[nodiscard]] ViewerShell& shell() { return m_shell; }
    [[nodiscard]] PointerState& pointer() { return m_pointer; }
    // The tool offered the left button and double click before the gesture rules (none: null).
    // Not owned; it must outlive the controller or be removed first.
    void setPointerTool(PointerTool* tool) { m_tool = tool; }

    // ---- View operations -----------------------------------------------------------------------
    void ZoomIn();   // percentage + 10 in zoom mode
    void ZoomOut();  // percentage - 10; at 10 or less the sheet is fitted instead
    void Fit();
    // A left click at `pixels`: zoom in by 10 and bring the clicked point to the viewer's centre.
    void ZoomAtPoint(QPointF pixels);
    // The rubber band was completed: zoom to it when it is at least 1 x 1 pixel. Returns whether
    // it zoomed.
    bool AreaZoom();
    // A quarter turn (+9000 or -9000 hundredths of a degree) when an image is loaded; the two
    // rulers' maxima are exchanged.
    void RotateQuarter(int hundredthsOfDegree);
    // After a load: fit, rubber band on, the project's rotation, ruler maxima from the sheet size.
    void ResetAfterLoad();
    // After a saved sheet was opened from a file (already turned when it was saved): the size
    // text, fit, rubber band on, ruler maxima from the sheet size, repaint. No rotation. Errors
    // reach the caller.
    void ResetAfterFileOpen();
    // Moves the sheet by whole pixels (keyboard panning).
    void PanBy(QPoint delta);
    // Mouse-wheel zoom: one step in (or out) keeping the sheet point under `pixels` in place. Out
    // of 10 percent or less fits the sheet; in from a fitted sheet starts at the fitted scale.
    void ZoomAboutPoint(QPointF pixels, bool in);

    // ---- Imaging control notifications ---------------------------------------------------------
    // Pointer notifications: button code, shift state, position in window pixels.
    void onMouseDown(int button, int shift, double x, double y);
    void onMouseMove(int button, int shift, double x, double y);
    void onMouseUp(int button, int shift, double x, double y);
    void onDblClick();
    void onRubberBandCompleted();
    void onViewChanged();
    void onLoadProgress(int percent);
    void onImageLoaded();
    // The load ended without an image: the held image is dropped, the rulers lose their scale,
    // panel 1 names currentPlanName, panel 2 shows the reason and the counter counts that sheet.
    void onLoadFailed(const QString& reason);

private:
    void moveRects(double dx, double dy);
    // ShowPlanCounter for panel 1's plan, into currentPlanIndex and panel 3.
    void showPlanCounter();
    void panStep(double x, double y);

    ImagingView& m_view;
    ViewerShell& m_shell;
    PointerState& m_pointer;
    PointerTool* m_tool = nullptr;
};

// Runs one step of a notification handler with errors ignored.
void runIgnoringErrors(const std::function<void()>& step);

}  // namespace sw::viewing
