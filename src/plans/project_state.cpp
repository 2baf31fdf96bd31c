#include "plans/project_state.h"

#include "base/paths.h"
#include "base/preferences.h"
#include "base/script_error.h"
#include "base/vb.h"
#include "plans/path_rules.h"

namespace sw::plans {

using base::kPathSeparator;
namespace vb = base::vb;

void ProjectState::SetPlanUrl(QString& URL, QString& id) {
    const qsizetype dash = id.indexOf(QLatin1Char('-'));
    if (dash < 0) {
        throw base::ScriptError::invalidArgument();
    }
    planUrl = URL + id.left(dash) + QLatin1Char('/') + id.mid(dash + 1) + QStringLiteral("/plans/");
    planUrlTrust = base::currentCallerTrust();
}

namespace {

bool addressesUntrusted(const ProjectState& project) {
    return base::currentCallerTrust() == base::Trust::Untrusted ||
           project.planUrlTrust == base::Trust::Untrusted ||
           project.planListTrust == base::Trust::Untrusted;
}

base::ScriptError permissionDenied(const QString& problem) {
    const auto code = base::ScriptError::Code::PermissionDenied;
    return base::ScriptError(
        code, base::ScriptError::standardDescription(code) + QStringLiteral(": ") + problem);
}

}  // namespace

QString ProjectState::sheetAddress(const QString& path) const {
    const QString address = planUrl + path;
    if (addressesUntrusted(*this)) {
        if (const QString problem = base::untrustedAddressProblem(address); !problem.isEmpty()) {
            throw permissionDenied(problem);
        }
    }
    return address;
}

void ProjectState::checkSheetList() const {
    if (!addressesUntrusted(*this)) {
        return;
    }
    for (const QString& file : planFiles) {
        if (file.isEmpty()) {
            continue;
        }
        if (const QString problem = base::untrustedAddressProblem(planUrl + file);
            !problem.isEmpty()) {
            throw permissionDenied(problem);
        }
    }
}

void ProjectState::InitVars(QString& planURL, QString& projID, QString& projName,
                            std::int32_t& Rotation, QString& site) {
    QString rewritten = projID;
    rewritten.replace(QLatin1Char('~'), QLatin1Char('-'));
    checkSiteName(site);
    checkProjectId(rewritten);

    projID = rewritten;
    siteName = site;
    SetPlanUrl(planURL, projID);
    rotation = Rotation;
    projectSubPath = projID + kPathSeparator + QStringLiteral("plans") + kPathSeparator;
    ResetRoot();
    projectName = projName;
    projectId = projID;
}

void ProjectState::ResetRoot() {
    const base::Preferences prefs = base::ReadPreferences(iniPath);
    settingsProblem = prefs.problem;
    printInBlue = prefs.printInBlue;
    reversePrint = prefs.reversePrint;
    QString folder = prefs.planDirectory;
    if (folder.isEmpty()) {
        if (settingsProblem.isEmpty()) {
            base::WriteDefaultPlanDirectory(iniPath);
        }
        folder = base::defaultPlanDirectory();
    }
    planDirectory = folder;
    localRoot = folder + kPathSeparator + siteName + kPathSeparator;
}

void ProjectState::SetProjectID(QString& pid) {
    checkProjectId(pid);
    projectId = pid;
}

void ProjectState::SetProjectName(QString& Name) {
    projectName = Name;
}

namespace {

QString nodeKey(std::int16_t number) {
    return QLatin1Char('c') + QString::number(number);
}

const QString& field(const QStringList& fields, int index) {
    if (index >= fields.size()) {
        throw base::ScriptError::subscriptOutOfRange();
    }
    return fields.at(index);
}

}  // namespace

void ProjectState::MakePlanList(const QString& parsedList, std::vector<TreeNode>& nodes) {
    QString cleaned = parsedList;
    cleaned.remove(QStringLiteral("---"));
    const QStringList entries = vb::split(vb::trimLeadingBlanks(cleaned), QStringLiteral("~"));

    planLabels = QStringList{QString()};
    planFiles = QStringList{QString()};
    planListTrust = base::currentCallerTrust();
    QString previousGroup = QStringLiteral("begin");
    QString groupKey;  // key of the current group node; empty while there is none
    std::int16_t k = 0;
    std::int16_t nodeNumber = 0;

    for (std::int16_t i = 1; i <= entries.size() - 1; i = vb::add16(i, 1)) {
        const QStringList fields = vb::split(entries.at(i), QStringLiteral(","));
        if (field(fields, 0) != previousGroup) {
            groupKey = nodeKey(nodeNumber);
            nodes.push_back({groupKey, fields.at(0), {}});
            previousGroup = fields.at(0);
            nodeNumber = vb::add16(nodeNumber, 1);
        }
        if (!groupKey.isEmpty()) {
            nodes.push_back({nodeKey(nodeNumber), field(fields, 1), groupKey});
            planLabels.resize(k + 2);
            planFiles.resize(k + 2);
            planLabels[k] = nodeKey(nodeNumber) + QLatin1Char('~') + fields.at(1);
            planFiles[k] = field(fields, 2);
            k = vb::add16(k, 1);
        } else {
            nodes.push_back({nodeKey(nodeNumber), field(fields, 1), {}});
        }
        nodeNumber = vb::add16(nodeNumber, 1);
    }
}

int ProjectState::planIndexForKey(const QString& key) {
    int found = -1;
    for (int i = 0; i < planLabels.size(); ++i) {
        if (planLabels.at(i).isEmpty()) {
            continue;
        }
        const QStringList parts = planLabels.at(i).split(QLatin1Char('~'));
        if (parts.at(0) == key) {
            found = i;
            currentPlanName = parts.value(1);
        }
    }
    return found;
}

}  // namespace sw::plans
