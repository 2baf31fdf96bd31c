// FastViewer: the viewing side of the control. Layout of the children in twips, the rulers, the
// imaging control's notifications, pointer and keyboard input, the pop-up timer.
#include <cmath>
#include <limits>
#include <stdexcept>

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QProgressBar>
#include <QTimer>
#include <QTreeWidget>
#include <QWheelEvent>

#include "compare/ui/comparison_controller.h"
#include "host/ui/fast_viewer.h"
#include "host/ui/fast_viewer_shell.h"
#include "imaging/ui/imaging_control.h"
#include "measure/sheet_measurements.h"
#include "measure/ui/measure_tool.h"
#include "viewing/command_dispatcher.h"
#include "viewing/key_bindings.h"
#include "viewing/popup_timer.h"
#include "viewing/status_texts.h"
#include "viewing/ui/command_toolbar.h"
#include "viewing/ui/imaging_control_view.h"
#include "viewing/ui/status_panels.h"
#include "viewing/view_controller.h"
#include "viewing/viewer_layout.h"
#include "widgets/sw_ruler.h"
#include "widgets/twips.h"

namespace sw::host {

namespace {

viewing::ControlGeometry twipsOf(const QWidget& w, viewing::TwipsPerPixel tpp) {
    return {static_cast<float>(w.x()) * tpp.x, static_cast<float>(w.y()) * tpp.y,
            static_cast<float>(w.width()) * tpp.x, static_cast<float>(w.height()) * tpp.y};
}

void place(QWidget& w, const viewing::ControlGeometry& g) {
    w.setGeometry(widgets::twipsToPixelsX(g.left), widgets::twipsToPixelsY(g.top),
                  widgets::twipsToPixelsX(g.width), widgets::twipsToPixelsY(g.height));
}

// A ruler's Offset as stored; its 16-bit getter refuses a stored value beyond 16 bits, which the
// layout then treats as a failing read.
std::int32_t storedOffset(const widgets::SWRuler& ruler) {
    try {
        return ruler.Offset();
    } catch (const std::exception&) {
        return std::numeric_limits<std::int32_t>::max();
    }
}

}  // namespace

void FastViewer::createViewing() {
    m_imagingView = std::make_unique<viewing::ImagingControlView>(*viewer);
    m_shell = std::make_unique<Shell>(*this);
    m_controller = std::make_unique<viewing::ViewController>(*m_imagingView, *m_shell, *this);
    m_dispatcher = std::make_unique<viewing::CommandDispatcher>(*m_controller);
    measure::MeasureTool::Viewer hooks{
        [this](int panel, const QString& text) { setPanelText(panel, text); },
        [this](const QString& text) { showMessage(text); },
        [this](bool on) { toolbar->showMeasuring(on); }};
    m_measure = std::make_unique<measure::MeasureTool>(*viewer, *this, std::move(hooks));
    m_controller->setPointerTool(m_measure.get());
}

void FastViewer::connectViewer() {
    using IC = imaging::ImagingControl;
    viewing::ViewController* c = m_controller.get();
    connect(viewer, &IC::mouseDown, this,
            [c](int b, int s, double x, double y) { c->onMouseDown(b, s, x, y); });
    connect(viewer, &IC::mouseMove, this,
            [c](int b, int s, double x, double y) { c->onMouseMove(b, s, x, y); });
    connect(viewer, &IC::mouseUp, this,
            [c](int b, int s, double x, double y) { c->onMouseUp(b, s, x, y); });
    connect(viewer, &IC::dblClick, this, [c] { c->onDblClick(); });
    connect(viewer, &IC::rubberBandCompleted, this, [c] { c->onRubberBandCompleted(); });
    connect(viewer, &IC::viewChanged, this, [c] { c->onViewChanged(); });
    connect(viewer, &IC::viewScrolled, this, [c] { c->onViewChanged(); });
    connect(viewer, &IC::loadProgress, this, [c](int percent) { c->onLoadProgress(percent); });
    connect(viewer, &IC::imageLoaded, this, [this, c] {
        m_load.finish();
        m_compare->sheetReplaced();
        c->onImageLoaded();
        m_measure->sheetShown(measure::placeForServerSheet(*this, m_load.name()), m_load.name());
        updateTitle();
        emit loadEnded(true, QString());
    });
    connect(viewer, &IC::loadFailed, this, [this, c](const QString& reason) {
        m_load.fail(reason);
        c->onLoadFailed(reason);
        m_measure->sheetShown({}, QString());  // no sheet on screen: nothing to measure
        updateTitle();
        emit loadEnded(false, reason);
    });
}

void FastViewer::ArrangeControls() {
    if (m_arranging) {
        m_arrangeAgain = true;
        return;
    }
    m_arranging = true;
    // Moving the imaging control can make it recompute its display rectangle and report a view
    // change; the rulers then follow in one more pass.
    for (int pass = 0; pass < 3; ++pass) {
        m_arrangeAgain = false;
        arrangeOnce();
        if (!m_arrangeAgain) {
            break;
        }
    }
    m_arranging = false;
}

void FastViewer::arrangeOnce() {
    const viewing::TwipsPerPixel tpp = screenTwipsPerPixel();
    // The toolbar and the status bar are aligned to the top and bottom edges by the container.
    toolbar->setGeometry(0, 0, width(), toolbar->sizeHint().height());
    const int statusHeight = widgets::twipsToPixelsY(kStatusHeightTwips);
    status->setGeometry(0, height() - statusHeight, width(), statusHeight);

    viewing::ViewerGeometry g;
    g.width = static_cast<float>(width()) * tpp.x;
    g.height = static_cast<float>(height()) * tpp.y;
    g.toolbar = twipsOf(*toolbar, tpp);
    g.horRuler = twipsOf(*HorRuler, tpp);
    g.vertRuler = twipsOf(*VertRuler, tpp);
    g.viewer = twipsOf(*viewer, tpp);
    g.status = twipsOf(*status, tpp);
    g.progress = twipsOf(*statusbar, tpp);
    g.horRulerOffset = storedOffset(*HorRuler);
    g.vertRulerOffset = storedOffset(*VertRuler);

    // Without a sheet the layout takes the whole viewer as the display rectangle, so the rulers
    // run along the empty viewer, without a scale (their maxima are 0 then).
    const bool empty = viewer->loadedImage() == 0;
    const QSize viewerBefore = viewer->size();
    const QRectF shown =
        empty ? QRectF(QPointF(0, 0), QSizeF(viewerBefore)) : viewer->displayRect();
    const viewing::ViewerGeometry result = viewing::ArrangeControls(g, shown, tpp);
    place(*HorRuler, result.horRuler);
    place(*VertRuler, result.vertRuler);
    place(*viewer, result.viewer);
    if (empty && viewer->size() != viewerBefore) {
        m_arrangeAgain = true;  // the rulers follow the viewer's new size in one more pass
    }
    place(*statusbar, result.progress);
    place(*toolbar, result.toolbar);
    placePopups();
}

void FastViewer::placePopups() {
    const QRect area = viewer->geometry();
    const int popupWidth = std::min(area.width(), widgets::twipsToPixelsX(kPopupWidthTwips));
    const QRect popup(area.left(), area.top(), std::max(popupWidth, 0), std::max(area.height(), 0));
    pmn->setGeometry(popup);
    LocalPlans->setGeometry(popup);
}

void FastViewer::RefreshRulers() {
    ArrangeControls();
    VertRuler->Refresh();
    HorRuler->Refresh();
}

void FastViewer::resizeEvent(QResizeEvent* /*event*/) {
    status->setTwipsPerPixel(widgets::twipsPerPixelX());
    ArrangeControls();
    m_compare->placeLegend(status->geometry());
}

// Paint repaints both rulers, horizontal first, after the control's own painting is done (a
// repaint of a child inside the parent's paint would recurse).
void FastViewer::paintEvent(QPaintEvent* /*event*/) {
    if (m_rulerRefreshQueued) {
        return;
    }
    m_rulerRefreshQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_rulerRefreshQueued = false;
        HorRuler->Refresh();
        VertRuler->Refresh();
    });
}

// The pointer over the control's own surface (not over a child) shows its position in twips.
void FastViewer::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (childAt(at) == nullptr) {
        const viewing::TwipsPerPixel tpp = screenTwipsPerPixel();
        setPanelText(2, viewing::PointerText(static_cast<float>(at.x()) * tpp.x,
                                             static_cast<float>(at.y()) * tpp.y));
    }
    QWidget::mouseMoveEvent(event);
}

void FastViewer::keyPressEvent(QKeyEvent* event) {
    if (m_measure->takeKey(event->key())) {
        event->accept();
        return;
    }
    if (m_compare->handleKey(*event)) {
        event->accept();
        return;
    }
    const std::optional<viewing::KeyAction> action = viewing::keyBinding(event->keyCombination());
    if (!action) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (!action->command.isEmpty()) {
        DoCommand(action->command);
    } else {
        const double step = viewing::kPanStepFraction;
        const QPoint delta(
            static_cast<int>(std::lround(action->panDirection.x() * viewer->width() * step)),
            static_cast<int>(std::lround(action->panDirection.y() * viewer->height() * step)));
        viewing::runIgnoringErrors([&] { m_controller->PanBy(delta); });
    }
    event->accept();
}

// One zoom step per notch (120 eighths of a degree) about the pointer.
void FastViewer::wheelOverViewer(QWheelEvent* event) {
    m_wheelRemainder += event->angleDelta().y();
    const QPointF at = event->position();
    while (std::abs(m_wheelRemainder) >= QWheelEvent::DefaultDeltasPerStep) {
        const bool in = m_wheelRemainder > 0;
        m_wheelRemainder +=
            in ? -QWheelEvent::DefaultDeltasPerStep : QWheelEvent::DefaultDeltasPerStep;
        viewing::runIgnoringErrors([&] { m_controller->ZoomAboutPoint(at, in); });
    }
    event->accept();
}

void FastViewer::onTimer1() {
    viewing::PopupState state;
    state.localPlansVisible = LocalPlans->isVisible();
    state.localPlansRect = LocalPlans->geometry();
    state.planListVisible = pmn->isVisible();
    state.planListRect = pmn->geometry();
    state.pointer = mapFromGlobal(QCursor::pos());
    state.localPlansShown = localPlansShown;
    state.planListShown = planListShown;
    const viewing::PopupTick tick = viewing::PopupTimerTick(state);
    Timer1->stop();
    localPlansShown = tick.localPlansShown;
    planListShown = tick.planListShown;
    if (tick.hideLocalPlans) {
        LocalPlans->hide();
    }
    if (tick.hidePlanList) {
        pmn->hide();
    }
}

void FastViewer::updateTitle() {
    // A saved sheet may come from another project than the one handed over.
    setWindowTitle(viewing::windowTitle(m_load.fromSavedFile() ? QString() : projectName,
                                        m_load.titleName(currentPlanName)));
    viewer->setPlaceholderText(m_load.placeholderText());
}

}  // namespace sw::host
