// FastViewer: the command entry and the commands that open other parts of the control (the two
// pop-up trees, saving the shown sheet, opening a saved sheet).
#include <exception>

#include <QTreeWidget>

#include "base/script_error.h"
#include "compare/ui/comparison_controller.h"
#include "host/ui/fast_viewer.h"
#include "host/ui/plan_dialog_commands.h"
#include "host/ui/tree_nodes.h"
#include "imaging/tiff_writer.h"
#include "imaging/ui/imaging_control.h"
#include "measure/sheet_measurements.h"
#include "measure/ui/measure_tool.h"
#include "plans/local_cache.h"
#include "plans/saved_plans.h"
#include "printing/ui/print_hand_off.h"
#include "viewing/command_dispatcher.h"
#include "viewing/save_plan.h"
#include "viewing/view_controller.h"

namespace sw::host {

namespace {

QString describe(const std::exception& error) {
    if (const auto* script = dynamic_cast<const base::ScriptError*>(&error)) {
        return script->description();
    }
    return QString::fromUtf8(error.what());
}

}  // namespace

void FastViewer::DoCommand(const QString& command) {
    try {
        m_dispatcher->DoCommand(command);
    } catch (const std::exception& error) {
        showMessage(describe(error));
    }
    m_measure->afterCommand(command);
}

bool FastViewer::registerCommand(const QString& word, std::function<void()> action) {
    return m_dispatcher->registerHandOff(word, std::move(action));
}

void FastViewer::registerHandOffs() {
    registerCommand(QStringLiteral("Plans"), [this] { showPlanList(); });
    registerCommand(QStringLiteral("Saved"), [this] { showSavedPlans(); });
    registerCommand(QStringLiteral("Save"), [this] { saveShownPlan(); });
    registerCommand(QStringLiteral("Print"), [this] { printShownPlan(); });
    registerCommand(QStringLiteral("Measure"),
                    [this] { m_measure->setActive(!m_measure->isActive()); });
    registerCommand(QStringLiteral("Compare"), [this] { m_compare->command(); });
    registerPlanDialogCommands(*this);
}

void FastViewer::showPopup(QTreeWidget* tree) {
    placePopups();
    tree->show();
    tree->raise();
    tree->setFocus(Qt::PopupFocusReason);
}

void FastViewer::showPlanList() {
    pmn->expandAll();
    // The sheet on screen is the current item, so Enter or the arrow keys start from it.
    const QStringList fields = planLabels.value(currentPlanIndex).split(QLatin1Char('~'));
    QTreeWidgetItem* current = fields.value(0).isEmpty() ? nullptr : findTreeItem(*pmn, fields[0]);
    if (current != nullptr) {
        pmn->setCurrentItem(current);
        pmn->scrollToItem(current);
    }
    showPopup(pmn);
    planListShown = true;
}

void FastViewer::showSavedPlans() {
    FillSavedPlans();
    showPopup(LocalPlans);
    localPlansShown = true;
}

void FastViewer::saveShownPlan() {
    const viewing::SaveResult result =
        viewing::SavePlan(*this, m_load, viewer->loadedImage() >= 1, [this](const QString& file) {
            // The sheet as loaded: the print hand-off may have lowered the
            // copy on screen to 200 dpi.
            imaging::saveTiffFile(viewer->sheetAsLoaded(), file, imaging::kFormatCompressed, 1);
        });
    for (const QString& message : result.messages()) {
        showMessage(message);
    }
}

void FastViewer::printShownPlan() {
    // While a load runs the picture on screen is the sheet before it; a failed load left none,
    // and the dialog then opens without a sheet as it does before the first load.
    if (m_load.state() == viewing::SheetLoad::State::Loading) {
        showMessage(m_load.refusalToStore(currentPlanName).value_or(QString()) +
                    QStringLiteral(" Print it once it has loaded."));
        return;
    }
    try {
        ResetRoot();
    } catch (const std::exception& error) {
        showMessage(describe(error));
        return;
    }
    // A sheet list whose addresses a web page may not have loaded is not offered for batches.
    bool listLoadable = true;
    try {
        checkSheetList();
    } catch (const std::exception&) {
        listLoadable = false;
    }
    printing::HandOffValues values{iniPath,
                                   localRoot,
                                   projectSubPath,
                                   listLoadable ? planLabels : QStringList{QString()},
                                   listLoadable ? planFiles : QStringList{QString()},
                                   planUrl,
                                   projectId,
                                   rotation,
                                   printInBlue,
                                   reversePrint,
                                   {}};
    for (const measure::Mark& mark : m_measure->marks()) {
        values.marks.append({mark.outline, mark.closed, mark.label, mark.labelAt});
    }
    printing::PrintCurrentPlan(values, *viewer, *v2, this);
}

void FastViewer::openSavedPlan(QTreeWidgetItem* item) {
    if (item == nullptr || !plans::isSavedSheetName(item->text(0))) {
        return;
    }
    try {
        ResetRoot();
        QStringList texts;
        for (const QTreeWidgetItem* node = item; node != nullptr; node = node->parent()) {
            texts.prepend(node->text(0));
        }
        const QString path = plans::savedSheetPath(planDirectory, texts, savedFolders);
        LocalPlans->hide();
        viewer->loadFile(path);
        m_load.openSavedFile(path);
        updateTitle();
        m_compare->sheetReplaced();
        m_controller->ResetAfterFileOpen();
        QString sheetName = texts.back();
        if (sheetName.endsWith(QLatin1String(plans::kSheetExtension))) {
            sheetName.chop(static_cast<int>(qstrlen(plans::kSheetExtension)));
        }
        m_measure->sheetShown(measure::placeForSheetFile(planDirectory, path), sheetName);
    } catch (const std::exception& error) {
        showMessage(describe(error));
    }
}

}  // namespace sw::host
