#pragma once

#include <functional>

#include <QString>
#include <QWidget>

#include "plans/project_state.h"

class QLabel;
class QStatusBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace sw::imaging {
class ImagingControl;
}

namespace sw::host {

// The viewer control a plan-room page embeds and drives by script. It carries the project and
// addressing fields (inherited from plans::ProjectState under their shared names: planLabels,
// planFiles, projectId, planUrl, currentPlanName, projectName, localRoot, projectSubPath,
// savedFolders, rotation, siteName, planDirectory, iniPath, printInBlue, reversePrint), the
// scripting methods under their own names, and its child controls.
//
// Scripting methods take by-reference parameters as non-const references: the caller's variable
// sees the change (InitVars turns "~" into "-" in the caller's project identifier). Failures
// throw ScriptError with the runtime's description; what was changed before a failure stays.
//
// Child controls (object names as the scripting interface and the host calls know them):
// `viewer` and the hidden `v2` (imaging controls), `pmn` (the pop-up sheet tree), `LocalPlans`
// (the pop-up tree of saved plans), `status` (status bar with five panels). All are owned by the
// widget. Layout, toolbar, rulers and the viewing commands are added on top of this shell.
//
// Threads: UI thread only.
class FastViewer : public QWidget, public plans::ProjectState {
    Q_OBJECT

public:
    static constexpr int kStatusPanels = 5;

    // Initialize: clears the pop-up flags, computes iniPath (host/preferences.h), arranges the
    // controls. The settings are read first by ResetRoot or InitVars.
    explicit FastViewer(QWidget* parent = nullptr);
    // Terminate: clears the imaging control's shutdown switch.
    ~FastViewer() override;

    // ---- Scripting methods (ResetRoot, SetPlanUrl, SetProjectID, SetProjectName: ProjectState) --
    // Loads planUrl & Path into `viewer` and shows Path in status panel 1; pName is not used.
    void SetImage(QString Path, QString pName);
    // As SetImage, and currentPlanName = pName.
    void SetFirstImage(QString Path, QString pName);
    // Rebuilds `pmn`, planLabels and planFiles from the host's sheet list (not changed).
    void MakePlanList(QString& parsedList);
    void InitVars(QString& planURL, QString& projID, QString& projName, qint32& Rotation,
                  QString& site);
    QString GetPart(QString& startStrg, QString& delimiter);

    // ---- Fields shared with the viewing parts ---------------------------------------------------
    QString sheetSizeText;           // width " x " height of the sheet in inches
    bool localPlansShown = false;    // the LocalPlans pop-up is open
    bool planListShown = false;      // the pmn pop-up is open
    bool panning = false;            // a right-button pan is under way
    bool suppressClickZoom = false;  // the next click must not zoom

    // ---- Child controls -------------------------------------------------------------------------
    imaging::ImagingControl* viewer = nullptr;
    imaging::ImagingControl* v2 = nullptr;
    QTreeWidget* pmn = nullptr;
    QTreeWidget* LocalPlans = nullptr;
    QStatusBar* status = nullptr;

    // Status panels counted from 1 (1..kStatusPanels); out-of-range panels read empty.
    [[nodiscard]] QString panelText(int panel) const;
    void setPanelText(int panel, const QString& text);

    // Rebuilds LocalPlans and savedFolders from the plan folder on disk (after ResetRoot).
    // Never fails.
    void FillSavedPlans();

    // The reaction to a double-click on a node of pmn: opens the sheet the node stands for.
    void openPlanFromTree(QTreeWidgetItem* item);

    // Where messages for the user go (errors of user commands). By default a message box; the
    // headless runner collects them instead.
    using MessageSink = std::function<void(const QString& text)>;
    void setMessageSink(MessageSink sink);
    // Shows `text` through the sink and records it in messagesShown.
    void showMessage(const QString& text);
    // Every text shown to the user, oldest first (the last kMessagesKept).
    QStringList messagesShown;
    static constexpr int kMessagesKept = 100;

protected:
    // Places the child controls in the widget; called on resize. Extended by the viewer layout.
    virtual void arrangeControls();
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void onFocusChanged(QWidget* old, QWidget* now);

    QLabel* m_panels[kStatusPanels] = {};
    MessageSink m_messageSink;
};

}  // namespace sw::host
