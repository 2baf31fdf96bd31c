#pragma once

#include <cstdint>
#include <vector>

#include <QString>
#include <QStringList>

#include "base/caller_trust.h"
#include "plans/tree_node.h"

namespace sw::plans {

// The project the host page has handed over and the control's addressing derived from it: the
// URL prefix of the sheets, the local plan folders, the sheet list and the settings it reads.
// FastViewer carries these fields under these names for the life of the control; every scripting
// call overwrites what it sets. Pure logic (Qt Core), so the scripting behaviour is testable
// without widgets; the settings file at `iniPath` is read by ResetRoot and InitVars.
//
// Paths use the platform separator (see base/paths.h). Errors are ScriptError with the runtime's
// descriptions; an operation that fails keeps what it changed before the failure, as described
// per operation.
//
// Threads: UI thread only, like the control that owns it.
class ProjectState {
public:
    // Sheet list: "c", node number, "~", sheet name; one spare empty element at the end.
    QStringList planLabels{QString()};
    // Sheet addresses relative to planUrl, parallel to planLabels.
    QStringList planFiles{QString()};
    QString projectId;
    QString planUrl;  // base URL, project number as two path levels, "/plans/"
    QString currentPlanName;
    QString projectName;
    QString localRoot;       // planDirectory, separator, siteName, separator
    QString projectSubPath;  // projectId, separator, "plans", separator
    // Per saved project folder: its label, "%", its full path; index 0 and the last stay empty.
    QStringList savedFolders;
    std::int32_t rotation = 0;  // default rotation of the project's sheets, whole degrees
    QString siteName;
    QString planDirectory;
    QString iniPath;
    bool printInBlue = false;
    bool reversePrint = false;
    // Who last set planUrl and the sheet list (base/caller_trust.h). Once a web page has set
    // either, every sheet address made from them must be an http or https address, whoever
    // asks for the load, until a trusted caller sets it again.
    base::Trust planUrlTrust = base::Trust::Trusted;
    base::Trust planListTrust = base::Trust::Trusted;

    // planUrl & `path`: the address the sheet at `path` is loaded from. When the caller, planUrl
    // or the sheet list is untrusted, an address that is not http or https throws "Permission
    // denied" with the reason before anything is loaded.
    [[nodiscard]] QString sheetAddress(const QString& path) const;
    // Throws as sheetAddress does for the first sheet of the list that may not be loaded (for
    // dialogs that load sheets of the list themselves: batch download and batch printing).
    void checkSheetList() const;

    // planUrl = URL & the part of `id` before its first "-" & "/" & the part after & "/plans/",
    // and planUrlTrust = the caller's trust. An `id` without "-" throws "Invalid procedure call
    // or argument" before anything changes.
    void SetPlanUrl(QString& URL, QString& id);

    // Sets up a project: "~" in `projID` becomes "-" (the caller's variable changes), then the
    // site, URL prefix, rotation, folders and project fields. A site or project identifier that
    // could lead outside the plan folder, or that no file system could hold (plans/path_rules.h),
    // throws "Invalid procedure call or argument" before anything is stored; an identifier without
    // "-" throws after siteName was stored.
    void InitVars(QString& planURL, QString& projID, QString& projName, std::int32_t& Rotation,
                  QString& site);

    // Re-reads the settings: planDirectory (the default when the settings name none or an empty
    // folder), the print options, and localRoot; settingsProblem says why the file could not be
    // read (the defaults are then used), or is empty.
    void ResetRoot();
    QString settingsProblem;

    // projectId = pid, after the same check as InitVars; nothing else is recomputed.
    void SetProjectID(QString& pid);
    // projectName = Name; nothing else is recomputed.
    void SetProjectName(QString& Name);

    // Parses the host's sheet list: rebuilds planLabels and planFiles (planListTrust = the
    // caller's trust) and appends the sheet tree's nodes to `nodes` (which the caller empties
    // first). Throws "Subscript out of range" for an
    // empty entry or one with too few fields and "Overflow" past 32767 nodes; the nodes and
    // array elements added before stay.
    void MakePlanList(const QString& parsedList, std::vector<TreeNode>& nodes);

    // The sheet opened from the sheet tree node with `key`: its index in planLabels/planFiles, or
    // -1 for a group node or a sheet that cannot be opened. Sets currentPlanName for every match
    // (the last match wins).
    int planIndexForKey(const QString& key);
};

}  // namespace sw::plans
