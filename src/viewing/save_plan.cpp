#include "viewing/save_plan.h"

#include <exception>

#include "base/script_error.h"
#include "plans/local_cache.h"
#include "plans/path_rules.h"
#include "plans/project_state.h"

namespace sw::viewing {

QStringList SaveResult::messages() const {
    switch (outcome) {
        case Outcome::Refused:
            return {errorDescription + QStringLiteral(" Nothing was saved.")};
        case Outcome::Failed:
            return {errorDescription, QStringLiteral("ErrPath: ") + file};
        case Outcome::NothingLoaded:
        case Outcome::Saved:
            break;
    }
    return {};
}

SaveResult SavePlan(plans::ProjectState& state, const SheetLoad& shown, bool imageLoaded,
                    const std::function<void(const QString& file)>& saveImage) {
    SaveResult result;
    QStringList created;  // folders this save made, taken away again if it fails
    try {
        state.ResetRoot();
        const QString folder = plans::projectFolder(state.localRoot, state.projectSubPath);
        if (const std::optional<QString> refusal = shown.refusalToStore(state.currentPlanName)) {
            result.outcome = SaveResult::Outcome::Refused;
            result.errorDescription = *refusal;
            return result;
        }
        if (!imageLoaded) {
            return result;
        }
        result.file = plans::sheetFilePath(folder, state.currentPlanName);
        if (!plans::isInsideFolder(state.planDirectory, result.file)) {
            throw base::ScriptError(base::ScriptError::Code::PathFileAccessError);
        }
        plans::checkPathLimits(state.planDirectory, result.file);
        if (!plans::FolderExists(folder)) {
            created = plans::CreateFolderPath(folder);
        }
        saveImage(result.file);
        result.descriptionWritten = plans::writeDescriptionOnce(folder, state.projectName);
        result.outcome = SaveResult::Outcome::Saved;
    } catch (const base::ScriptError& error) {
        result.outcome = SaveResult::Outcome::Failed;
        result.errorDescription = error.description();
    } catch (const std::exception& error) {
        result.outcome = SaveResult::Outcome::Failed;
        result.errorDescription = QString::fromStdString(error.what());
    }
    if (result.outcome == SaveResult::Outcome::Failed) {
        plans::RemoveEmptyFolders(created);
    }
    return result;
}

}  // namespace sw::viewing
