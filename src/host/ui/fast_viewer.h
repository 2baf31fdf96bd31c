#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include <QString>
#include <QWidget>

#include "plans/project_state.h"
#include "viewing/pointer_state.h"
#include "viewing/sheet_load.h"

class QProgressBar;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace sw::compare {
class ComparisonController;
}

namespace sw::imaging {
class ImagingControl;
}

namespace sw::widgets {
class SWRuler;
}

namespace sw::measure {
class MeasureTool;
}

namespace sw::viewing {
class CommandDispatcher;
class CommandToolBar;
class ImagingControlView;
class StatusPanels;
class ViewController;
class ViewerShell;
}  // namespace sw::viewing

namespace sw::host {

// The viewer control a plan-room page embeds and drives by script. It carries the project and
// addressing fields (inherited from plans::ProjectState under their shared names: planLabels,
// planFiles, projectId, planUrl, currentPlanName, projectName, localRoot, projectSubPath,
// savedFolders, rotation, siteName, planDirectory, iniPath, printInBlue, reversePrint), the
// pointer fields (viewing::PointerState: panning, panLastX, panLastY, suppressClickZoom), the
// scripting methods under their own names, and its child controls.
//
// Scripting methods take by-reference parameters as non-const references: the caller's variable
// sees the change (InitVars turns "~" into "-" in the caller's project identifier). Failures
// throw ScriptError with the runtime's description; what was changed before a failure stays.
//
// Surface, top to bottom: `toolbar` (15 command buttons and "Measure"), `HorRuler` and `VertRuler`
// (rulers in inches that slide and stretch with the sheet), `viewer` (the imaging control showing
// the sheet), `status` (five text panels) with the progress bar `statusbar` over its right end. The
// pop-up trees `pmn` (the project's sheets) and `LocalPlans` (saved sheets) open over the viewer
// and `Timer1` closes them once the pointer has left them; `v2` is a hidden scratch imaging
// control. Children are placed in twips by ArrangeControls (viewing/viewer_layout.h) and owned by
// the widget; object names are the names above.
//
// Every command enters through DoCommand with a toolbar caption; the words that open other parts
// of the system are registered with registerCommand by their owners.
//
// Threads: UI thread only.
class FastViewer : public QWidget, public plans::ProjectState, public viewing::PointerState {
    Q_OBJECT

public:
    static constexpr int kStatusPanels = 5;

    // Initialize: clears the pop-up flags, computes iniPath (base/preferences.h), arranges the
    // controls. The settings are read first by ResetRoot or InitVars.
    explicit FastViewer(QWidget* parent = nullptr);
    // Terminate: clears the imaging control's shutdown switch.
    ~FastViewer() override;

    // ---- Scripting methods (SetPlanUrl, SetProjectID, SetProjectName: ProjectState) -----------
    // ProjectState::ResetRoot; a settings file that cannot be read (too large, unreadable) is
    // shown to the user once, after the call, until it can be read again.
    void ResetRoot();
    // Loads planUrl & Path into `viewer` and shows Path in status panel 1; pName is not used.
    // Where a web page is behind the call or the project's addresses, an address that is not
    // http or https throws "Permission denied" and changes nothing (ProjectState::sheetAddress).
    void SetImage(QString Path, QString pName);
    // As SetImage, and currentPlanName = pName.
    void SetFirstImage(QString Path, QString pName);
    // Rebuilds `pmn`, planLabels and planFiles from the host's sheet list (not changed).
    void MakePlanList(QString& parsedList);
    void InitVars(QString& planURL, QString& projID, QString& projName, qint32& Rotation,
                  QString& site);
    QString GetPart(QString& startStrg, QString& delimiter);

    // ---- Commands -------------------------------------------------------------------------------
    // Runs a command word (a toolbar caption) as a click on its button would. Errors of the
    // command are shown to the user, never thrown.
    void DoCommand(const QString& command);
    // Adds the action of a command word that opens another part of the system ("Download",
    // "Prefs", "Markup", ...). Returns false for the built-in viewing words, which cannot be
    // taken over; an empty action removes the word.
    bool registerCommand(const QString& word, std::function<void()> action);
    // The viewing logic behind the commands and the pointer (zoom, pan, turns, load reactions).
    [[nodiscard]] viewing::ViewController& viewController() { return *m_controller; }
    // The Measure tool: lengths, paths and areas over the sheet, kept with each sheet in the plan
    // folder.
    [[nodiscard]] measure::MeasureTool& measureTool() { return *m_measure; }
    // The "Compare" command: the sheet on screen shown with an earlier revision laid over it.
    [[nodiscard]] compare::ComparisonController& comparison() { return *m_compare; }

    // ---- Layout ---------------------------------------------------------------------------------
    // Places the rulers along the sheet as `viewer` shows it, then the viewer, progress bar and
    // toolbar; layout errors are ignored (a control that cannot take a value keeps its old one).
    void ArrangeControls();
    // ArrangeControls, then repaints VertRuler and HorRuler.
    void RefreshRulers();

    // ---- Fields shared with the viewing parts ---------------------------------------------------
    QString sheetSizeText;              // width " x " height of the sheet in inches
    bool localPlansShown = false;       // the LocalPlans pop-up is open
    bool planListShown = false;         // the pmn pop-up is open
    std::int16_t currentPlanIndex = 0;  // plan last found by the plan counter

    // ---- Child controls -------------------------------------------------------------------------
    viewing::CommandToolBar* toolbar = nullptr;
    widgets::SWRuler* HorRuler = nullptr;
    widgets::SWRuler* VertRuler = nullptr;
    imaging::ImagingControl* viewer = nullptr;
    imaging::ImagingControl* v2 = nullptr;
    QTreeWidget* pmn = nullptr;
    QTreeWidget* LocalPlans = nullptr;
    viewing::StatusPanels* status = nullptr;
    QProgressBar* statusbar = nullptr;
    QTimer* Timer1 = nullptr;

    // Status panels counted from 1 (1..kStatusPanels); out-of-range panels read empty.
    [[nodiscard]] QString panelText(int panel) const;
    void setPanelText(int panel, const QString& text);

    // Rebuilds LocalPlans and savedFolders from the plan folder on disk (after ResetRoot).
    // Never fails.
    void FillSavedPlans();

    // The reaction to a double-click on a node of pmn: opens the sheet the node stands for.
    void openPlanFromTree(QTreeWidgetItem* item);
    // The reaction to a double-click on a node of LocalPlans: opens the saved sheet file from
    // the local disk. Errors are shown to the user.
    void openSavedPlan(QTreeWidgetItem* item);

    // Where messages for the user go (errors of user commands). By default a message box; the
    // headless runner collects them instead.
    using MessageSink = std::function<void(const QString& text)>;
    void setMessageSink(MessageSink sink);
    // Shows `text` through the sink and records it in messagesShown.
    void showMessage(const QString& text);
    // Every text shown to the user, oldest first (the last kMessagesKept).
    QStringList messagesShown;
    static constexpr int kMessagesKept = 100;

    // Which sheet was last asked for and how far its load has come; what "Save", "Print" and the
    // title go by instead of whatever image the imaging control happens to hold.
    [[nodiscard]] const viewing::SheetLoad& sheetLoad() const { return m_load; }

signals:
    // A load from an address ended: loaded, or failed with a reason.
    void loadEnded(bool ok, const QString& reason);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Shell;
    class CompareAdapter;

    static constexpr int kRulerThicknessTwips = 300;
    static constexpr int kStatusHeightTwips = 375;
    static constexpr int kProgressLeftTwips = 10320;
    static constexpr int kProgressHeightTwips = 255;
    static constexpr int kPopupWidthTwips = 4800;
    static constexpr int kPopupTimerMs = 500;
    static constexpr int kMinimumWidth = 480;  // pixels: toolbar, rulers and status stay usable
    static constexpr int kMinimumHeight = 320;

    void createControls();
    void createViewing();
    void createComparison();
    void connectViewer();
    void registerHandOffs();
    void onFocusChanged(QWidget* old, QWidget* now);
    void onTimer1();
    void showPopup(QTreeWidget* tree);
    void placePopups();
    void saveShownPlan();
    void printShownPlan();
    void showSavedPlans();
    void showPlanList();
    void wheelOverViewer(QWheelEvent* event);
    // The title names the sheet on screen as sheetLoad() sees it; the imaging control's
    // placeholder says what is loading or why it failed.
    void updateTitle();
    void arrangeOnce();
    void reportSettingsProblem();

    MessageSink m_messageSink;
    std::unique_ptr<viewing::ImagingControlView> m_imagingView;
    std::unique_ptr<Shell> m_shell;
    std::unique_ptr<viewing::ViewController> m_controller;
    std::unique_ptr<viewing::CommandDispatcher> m_dispatcher;
    viewing::SheetLoad m_load;
    QString m_settingsProblemShown;  // the settings problem last shown to the user
    // Destroyed before the controller, which points to it.
    std::unique_ptr<measure::MeasureTool> m_measure;
    std::unique_ptr<CompareAdapter> m_compareHost;
    compare::ComparisonController* m_compare = nullptr;  // a child QObject
    bool m_arranging = false;           // ArrangeControls is running (resizes re-enter it)
    bool m_arrangeAgain = false;        // a view change arrived while arranging: arrange once more
    bool m_rulerRefreshQueued = false;  // a paint asked for the rulers to be repainted
    int m_wheelRemainder = 0;           // wheel angle not yet turned into a zoom step
};

}  // namespace sw::host
