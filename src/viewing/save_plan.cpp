#include "viewing/save_plan.h"

#include <exception>

#include "host/script_error.h"
#include "plans/local_cache.h"
#include "plans/path_rules.h"
#include "plans/project_state.h"

namespace sw::viewing {

QStringList SaveResult::messages() const {
    if (outcome != Outcome::Failed) {
        return {};
    }
    return {errorDescription, QStringLiteral("ErrPath: ") + file};
}

SaveResult SavePlan(plans::ProjectState& state, bool imageLoaded,
                    const std::function<void(const QString& file)>& saveImage) {
    SaveResult result;
    try {
        state.ResetRoot();
        const QString folder = plans::projectFolder(state.localRoot, state.projectSubPath);
        if (!imageLoaded) {
            return result;
        }
        if (!plans::FolderExists(folder)) {
            plans::CreateFolderPath(folder);
        }
        result.file = plans::sheetFilePath(folder, state.currentPlanName);
        if (!plans::isInsideFolder(state.planDirectory, result.file)) {
            throw host::ScriptError(host::ScriptError::Code::PathFileAccessError);
        }
        saveImage(result.file);
        result.descriptionWritten = plans::writeDescriptionOnce(folder, state.projectName);
        result.outcome = SaveResult::Outcome::Saved;
    } catch (const host::ScriptError& error) {
        result.outcome = SaveResult::Outcome::Failed;
        result.errorDescription = error.description();
    } catch (const std::exception& error) {
        result.outcome = SaveResult::Outcome::Failed;
        result.errorDescription = QString::fromStdString(error.what());
    }
    return result;
}

}  // namespace sw::viewing
