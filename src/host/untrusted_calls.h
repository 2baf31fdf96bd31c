#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include "base/host_calls.h"
#include "base/object_safety.h"

// Runs the calls of a caller without trust: a web page that reached the viewer through a
// `sheetwise:` URL. Such a caller may make only the scripting methods of FastViewer (ResetRoot,
// SetImage, SetFirstImage, MakePlanList, SetProjectID, SetPlanUrl, InitVars, SetProjectName,
// GetPart), and only while the safety answers allow scripting; every other call the viewer knows,
// pseudo-calls such as Dump, Click or PrintTo included, fails with "Permission denied" and runs
// nothing. Unknown names fail as they do for any caller.
//
// Threads: the UI thread of the viewer the calls run on.
namespace sw::host {

// True for the nine scripting methods of FastViewer (any letter case).
bool isScriptingMethod(const QString& name);

class UntrustedCallRunner {
public:
    UntrustedCallRunner(FastViewer& viewer, const base::HostCallRegistry& registry,
                        const base::ObjectSafety& safety = base::ObjectSafety());

    // Runs one call and returns its whole reply. Never throws.
    QJsonObject run(const QJsonValue& call) const;

private:
    const base::HostCallRegistry& m_registry;
    base::HostCallRunner m_runner;
};

}  // namespace sw::host
