#pragma once

#include <QJsonObject>

#include "base/host_calls.h"

// The host calls every viewer answers. Each area adds its own calls and Dump keys by a register
// function in its own file, called from addStandardCalls().
namespace sw::host {

// Registers every call of the product into `registry`.
void addStandardCalls(base::HostCallRegistry& registry);
// A process-wide registry with every call of the product, built on first use (UI thread).
const base::HostCallRegistry& standardRegistry();

// The scripting methods of FastViewer: ResetRoot, SetImage, SetFirstImage, MakePlanList,
// SetProjectID, SetPlanUrl, InitVars, SetProjectName, GetPart. Replies carry "result" (GetPart's
// text, otherwise null) and "args" (the arguments after the call, by-reference ones changed).
void registerScriptingCalls(base::HostCallRegistry& registry);

// ["Dump"]: {"state": viewerState() plus the keys of the registry's state providers}.
void registerDumpCall(base::HostCallRegistry& registry);

// Pseudo-calls that act on widgets as a user would, found by "Form/control" object names: Get,
// Click, Set, Select, DblClick; and ["Wait", ms], which runs the event loop for that long.
void registerWidgetCalls(base::HostCallRegistry& registry);

// The viewing side as a user drives it: ["DoCommand", word], ["WaitLoaded", ms] (the imaging
// state once the running load ends; fails with its reason or "timeout"), ["Mouse",
// "down|move|up|dblclick", button (1 left, 2 right, 4 middle), x, y] in window pixels of the
// imaging control, ["Resize", w, h] in pixels, ["Key", "ctrl+s"]; and the Dump keys HorRuler,
// VertRuler and viewerLayout (twips), imaging, magnifierButton, toolbar, progress, pointer,
// currentPlanIndex, title, popups and lastLoad.
void registerViewerCalls(base::HostCallRegistry& registry);

// The Measure tool: the Dump key "measure" ({"active", "kind", "scale", "units", "items": [{"kind",
// "points" (sheet pixels as first fetched), "real" (inches, or square inches for an area),
// "text" (the label as shown)}]}). The tool is driven by ["DoCommand", "Measure"], the panel's
// controls (["Set", "Measure/Kind" | "Measure/Scale" | "Measure/Units" | "Measure/Calibration",
// value], ["Click", "Measure/Calibrate" | "Measure/Copy" | "Measure/Delete"]) and ["Mouse", ...].
void registerMeasureCalls(base::HostCallRegistry& registry);

// The comparison with an earlier revision: ["Set", "Compare/Earlier", address or path] chooses the
// earlier sheet without a dialog (loading it at once), ["Set", "Compare/Mode", "overlay" | "new" |
// "earlier" | "off"]; other "Set" paths go to the widget calls registered before. Dump key
// "compare": {"active", "earlier", "offset": [dx, dy], "mode", "added", "removed"}.
void registerCompareCalls(base::HostCallRegistry& registry);

// The viewer's own fields under their names, "pmn" and "LocalPlans" as {"key", "text", "parent"}
// lists, "status" (the panel texts), "viewer" (load address and switch) and "messages" (the
// texts shown to the user so far).
QJsonObject viewerState(FastViewer& viewer);

}  // namespace sw::host
