#include "host/ui/fast_viewer.h"

#include <cstdio>
#include <exception>

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QProgressBar>
#include <QTimer>
#include <QTreeWidget>
#include <QWheelEvent>

#include "base/get_part.h"
#include "base/preferences.h"
#include "base/script_error.h"
#include "compare/ui/comparison_controller.h"
#include "host/ui/fast_viewer_shell.h"
#include "host/ui/tree_nodes.h"
#include "imaging/ui/imaging_control.h"
#include "measure/ui/measure_tool.h"
#include "plans/saved_plans.h"
#include "viewing/command_dispatcher.h"
#include "viewing/key_bindings.h"
#include "viewing/ui/command_toolbar.h"
#include "viewing/ui/imaging_control_view.h"
#include "viewing/ui/status_panels.h"
#include "viewing/view_controller.h"
#include "widgets/sw_ruler.h"
#include "widgets/twips.h"

namespace sw::host {

FastViewer::FastViewer(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FastViewer"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAutoFillBackground(true);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    localPlansShown = false;
    planListShown = false;
    iniPath = base::settingsIniPath();
    createControls();
    createViewing();
    createComparison();
    connectViewer();
    registerHandOffs();
    connect(qApp, &QApplication::focusChanged, this, &FastViewer::onFocusChanged);
    ArrangeControls();
    update();
}

FastViewer::~FastViewer() {
    m_controller->setPointerTool(nullptr);
    viewer->setShutdownSwitch(false);
    // QWidget's destructor still closes the window, which moves the focus, and deletes the child
    // widgets, some of which emit signals or events as they go: none of them may reach a viewer
    // that is no longer whole.
    QObject::disconnect(qApp, nullptr, this, nullptr);
    for (QObject* child : findChildren<QObject*>()) {
        child->removeEventFilter(this);
        QObject::disconnect(child, nullptr, this, nullptr);
    }
}

namespace {

QTreeWidget* makePopupTree(QWidget* parent, const QString& name) {
    auto* tree = new QTreeWidget(parent);
    tree->setObjectName(name);
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    tree->setFrameShape(QFrame::Box);
    tree->hide();
    return tree;
}

}  // namespace

// Children are created bottom to top: a later sibling is drawn over an earlier one where a
// panned ruler slides under the toolbar or a pop-up tree covers the sheet.
void FastViewer::createControls() {
    viewer = new imaging::ImagingControl(this);
    viewer->setObjectName(QStringLiteral("viewer"));
    viewer->installEventFilter(this);
    v2 = new imaging::ImagingControl(this);
    v2->setObjectName(QStringLiteral("v2"));
    v2->hide();

    VertRuler = new widgets::SWRuler(this);
    VertRuler->setObjectName(QStringLiteral("VertRuler"));
    VertRuler->setIsVertical(true);
    VertRuler->setGeometryTwips(0, 0, kRulerThicknessTwips, kRulerThicknessTwips);
    HorRuler = new widgets::SWRuler(this);
    HorRuler->setObjectName(QStringLiteral("HorRuler"));
    HorRuler->setOffset(kRulerThicknessTwips);
    HorRuler->setGeometryTwips(0, 0, kRulerThicknessTwips, kRulerThicknessTwips);
    // No sheet, no scale: each load sets the maxima to the sheet's inches.
    VertRuler->setMax(0);
    HorRuler->setMax(0);

    toolbar = new viewing::CommandToolBar(this);
    connect(toolbar, &viewing::CommandToolBar::commandTriggered, this, &FastViewer::DoCommand);

    status = new viewing::StatusPanels(this);
    status->setTwipsPerPixel(widgets::twipsPerPixelX());
    statusbar = new QProgressBar(this);
    statusbar->setObjectName(QStringLiteral("statusbar"));
    statusbar->setRange(0, 100);
    statusbar->setValue(0);
    statusbar->setTextVisible(false);
    statusbar->setGeometry(widgets::twipsToPixelsX(kProgressLeftTwips), 0, 1,
                           widgets::twipsToPixelsY(kProgressHeightTwips));

    pmn = makePopupTree(this, QStringLiteral("pmn"));
    pmn->installEventFilter(this);
    connect(pmn, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { openPlanFromTree(item); });
    LocalPlans = makePopupTree(this, QStringLiteral("LocalPlans"));
    LocalPlans->installEventFilter(this);
    connect(LocalPlans, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { openSavedPlan(item); });

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kPopupTimerMs);
    connect(Timer1, &QTimer::timeout, this, &FastViewer::onTimer1);
}

void FastViewer::createComparison() {
    m_compareHost = std::make_unique<CompareAdapter>(*this);
    m_compare = new compare::ComparisonController(*viewer, *m_compareHost, *this);
}

bool FastViewer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && (watched == pmn || watched == LocalPlans)) {
        static_cast<QWidget*>(watched)->hide();
    }
    if (event->type() == QEvent::KeyPress && (watched == pmn || watched == LocalPlans)) {
        // Enter opens the current sheet of a pop-up tree as a double-click does; Escape closes it.
        auto* tree = static_cast<QTreeWidget*>(watched);
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            tree == pmn ? openPlanFromTree(tree->currentItem())
                        : openSavedPlan(tree->currentItem());
            return true;
        }
        if (key == Qt::Key_Escape) {
            tree->hide();
            setFocus();
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress && watched == viewer &&
        m_measure->takeKey(static_cast<QKeyEvent*>(event)->key())) {
        return true;
    }
    if (event->type() == QEvent::KeyPress && watched == viewer &&
        m_compare->handleKey(*static_cast<QKeyEvent*>(event))) {
        return true;  // while comparing: mode, moving the earlier sheet, leaving
    }
    if (event->type() == QEvent::KeyPress && watched == viewer) {
        // Command keys (zoom, fit, turns, previous/next sheet, save, print) win over the imaging
        // control's own use of a key (it scrolls on Page Up/Down); arrow keys it scrolls itself.
        const auto* key = static_cast<QKeyEvent*>(event);
        const std::optional<viewing::KeyAction> action = viewing::keyBinding(key->keyCombination());
        if (action && !action->command.isEmpty()) {
            DoCommand(action->command);
            return true;
        }
    }
    if (event->type() == QEvent::Wheel && watched == viewer) {
        // The plain wheel zooms about the pointer; with Shift or Alt, or sideways on a touchpad,
        // it goes to the imaging control, which scrolls the sheet.
        auto* wheel = static_cast<QWheelEvent*>(event);
        const bool scroll = (wheel->modifiers() & (Qt::ShiftModifier | Qt::AltModifier)) ||
                            wheel->angleDelta().y() == 0;
        if (!scroll) {
            wheelOverViewer(wheel);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// GotFocus: focus entering the control (itself or a child) from outside re-reads the plan folder.
void FastViewer::onFocusChanged(QWidget* old, QWidget* now) {
    const bool inside = now != nullptr && (now == this || isAncestorOf(now));
    const bool wasInside = old != nullptr && (old == this || isAncestorOf(old));
    if (inside && !wasInside) {
        try {
            ResetRoot();
        } catch (const std::exception&) {
            // A focus change has no caller to report to.
        }
    }
}

// Both record the request before the imaging control starts it, so that whatever the control
// reports next belongs to this sheet.
void FastViewer::SetImage(QString Path, QString /*pName*/) {
    const QString address = sheetAddress(Path);
    m_load.request(currentPlanName, address);
    viewer->setLoadSwitch(true);
    viewer->setLoadAddress(address);
    setPanelText(1, Path);
    updateTitle();
}

void FastViewer::SetFirstImage(QString Path, QString pName) {
    const QString address = sheetAddress(Path);
    viewer->setLoadSwitch(true);
    setPanelText(1, Path);
    currentPlanName = pName;
    m_load.request(currentPlanName, address);
    viewer->setLoadAddress(address);
    updateTitle();
}

void FastViewer::MakePlanList(QString& parsedList) {
    pmn->clear();
    std::vector<plans::TreeNode> nodes;
    try {
        ProjectState::MakePlanList(parsedList, nodes);
    } catch (...) {
        appendTreeNodes(*pmn, nodes);
        throw;
    }
    appendTreeNodes(*pmn, nodes);
}

void FastViewer::InitVars(QString& planURL, QString& projID, QString& projName, qint32& Rotation,
                          QString& site) {
    ProjectState::InitVars(planURL, projID, projName, Rotation, site);
    reportSettingsProblem();
    resetPointer();
    updateTitle();
}

void FastViewer::ResetRoot() {
    ProjectState::ResetRoot();
    reportSettingsProblem();
}

// Focus changes re-read the settings: a problem is told once, not at every focus change (the
// message box itself moves the focus), and again only after the file was read fine meanwhile.
void FastViewer::reportSettingsProblem() {
    if (settingsProblem == m_settingsProblemShown) {
        return;
    }
    m_settingsProblemShown = settingsProblem;
    if (settingsProblem.isEmpty()) {
        return;
    }
    const QString text = QStringLiteral(
                             "Sheetwise cannot use its settings: %1. The default settings are "
                             "used until the file is repaired or removed.")
                             .arg(settingsProblem);
    // After the running call or focus change, which then ends before the message holds the user.
    QTimer::singleShot(0, this, [this, text] { showMessage(text); });
}

QString FastViewer::GetPart(QString& startStrg, QString& delimiter) {
    return base::GetPart(startStrg, delimiter);
}

QString FastViewer::panelText(int panel) const {
    return status->panelText(panel);
}

void FastViewer::setPanelText(int panel, const QString& text) {
    status->setPanelText(panel, text);
}

void FastViewer::FillSavedPlans() {
    try {
        ResetRoot();
    } catch (const std::exception&) {
        // A failing step is skipped; the tree is built from the folder known so far.
    }
    const plans::SavedPlans saved = plans::FillSavedPlans(planDirectory);
    savedFolders = saved.savedFolders;
    LocalPlans->clear();
    appendTreeNodes(*LocalPlans, saved.nodes);
    LocalPlans->expandAll();
}

void FastViewer::openPlanFromTree(QTreeWidgetItem* item) {
    if (item == nullptr) {
        return;
    }
    try {
        const int found = planIndexForKey(treeItemKey(*item));
        if (found >= 0) {
            pmn->hide();
            SetImage(planFiles.at(found), QString());
        }
    } catch (const std::exception& error) {
        showMessage(QString::fromUtf8(error.what()));
    }
}

void FastViewer::setMessageSink(MessageSink sink) {
    m_messageSink = std::move(sink);
}

void FastViewer::showMessage(const QString& text) {
    messagesShown.append(text);
    if (messagesShown.size() > kMessagesKept) {
        messagesShown.removeFirst();
    }
    if (m_messageSink) {
        m_messageSink(text);
        return;
    }
    // Without a screen to show it on (offscreen or minimal platform) a modal box would wait
    // forever; the message goes to stderr instead.
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) {
        std::fprintf(stderr, "sheetwise: message: %s\n", qPrintable(text));
        return;
    }
    QMessageBox::information(this, QStringLiteral("Sheetwise"), text);
}

}  // namespace sw::host
