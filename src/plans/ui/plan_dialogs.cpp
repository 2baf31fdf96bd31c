#include "plans/ui/plan_dialogs.h"

#include <memory>

#include <QPointer>

#include "base/paths.h"
#include "plans/batch_plan.h"
#include "plans/local_cache.h"
#include "plans/path_rules.h"
#include "plans/project_state.h"
#include "plans/ui/batch_download.h"
#include "plans/ui/prefs_form.h"
#include "plans/ui/upgrade_frm.h"

namespace sw::plans {

namespace {

void bringToFront(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
}

QPointer<PrefsForm>& prefsInstance() {
    static QPointer<PrefsForm> instance;
    return instance;
}

QPointer<UpgradeFrm>& upgradeInstance() {
    static QPointer<UpgradeFrm> instance;
    return instance;
}

}  // namespace

BatchDownload* openBatchDownload(ProjectState& project, QWidget* parent) {
    project.checkSheetList();
    project.ResetRoot();
    const QString folder = projectFolder(project.localRoot, project.projectSubPath);
    const std::int16_t rotation = batchRotationFor(project.rotation);
    checkPathLimits(project.planDirectory, folder + QLatin1String(kDescriptionFileName));
    QStringList created;
    if (!FolderExists(folder)) {
        created = CreateFolderPath(folder);
    }
    auto dialog = std::make_unique<BatchDownload>(parent);
    try {
        dialog->LoadPlans(project.planLabels, project.planFiles, project.planUrl,
                          project.localRoot + project.projectId + base::kPathSeparator, rotation,
                          project.projectName);
    } catch (...) {
        RemoveEmptyFolders(created);
        throw;
    }
    BatchDownload* shown = dialog.release();
    bringToFront(*shown);
    return shown;
}

PrefsForm* openPrefsForm(ProjectState& project, QWidget* parent) {
    QPointer<PrefsForm>& instance = prefsInstance();
    if (instance.isNull()) {
        instance = new PrefsForm(parent);
    }
    instance->SetIni(project.iniPath);
    bringToFront(*instance);
    project.ResetRoot();
    return instance.data();
}

UpgradeFrm* openUpgradeFrm(QWidget* parent) {
    QPointer<UpgradeFrm>& instance = upgradeInstance();
    if (instance.isNull()) {
        instance = new UpgradeFrm(parent);
    }
    bringToFront(*instance);
    return instance.data();
}

}  // namespace sw::plans
