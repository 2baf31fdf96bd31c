#include "host/ui/plan_dialog_commands.h"

#include "host/ui/fast_viewer.h"
#include "plans/ui/plan_dialogs.h"

namespace sw::host {

void registerPlanDialogCommands(FastViewer& viewer) {
    viewer.registerCommand(QStringLiteral("Download"),
                           [&viewer] { plans::openBatchDownload(viewer, viewer.window()); });
    viewer.registerCommand(QStringLiteral("Prefs"),
                           [&viewer] { plans::openPrefsForm(viewer, viewer.window()); });
    viewer.registerCommand(QStringLiteral("Markup"),
                           [&viewer] { plans::openUpgradeFrm(viewer.window()); });
}

}  // namespace sw::host
