#pragma once

#include <functional>

#include <QString>
#include <QStringList>

#include "viewing/sheet_load.h"

namespace sw::plans {
class ProjectState;
}

namespace sw::viewing {

// What the "Save" command did.
struct SaveResult {
    enum class Outcome {
        NothingLoaded,  // no image held: nothing saved, nothing shown
        Refused,        // the sheet on screen is not the sheet of that name: nothing saved
        Saved,
        Failed,
    };
    Outcome outcome = Outcome::NothingLoaded;
    QString file;  // the sheet file; empty when the error came before it was known
    QString errorDescription;         // why it failed or was refused
    bool descriptionWritten = false;  // desc.txt was created by this save

    // The messages a failed save shows, in order: the error's description, then "ErrPath: " and
    // the file; a refused save shows why and that nothing was saved. Empty otherwise.
    [[nodiscard]] QStringList messages() const;
};

// The "Save" command: stores the shown sheet as <project folder>/<CleanFileName(name)>.tif and,
// when the project folder has none yet, writes desc.txt with the project name. Re-reads the plan
// folder from the settings first (ResetRoot). Only a sheet whose load finished under the name
// `currentPlanName` is stored (`shown` says which sheet is on screen); otherwise the save is
// refused with the reason before anything is created. `saveImage` writes the held image to the
// given file and throws on failure. A file that would lie outside the plan folder, or whose path
// the file system cannot hold, is refused before any folder is created. Errors are returned,
// never thrown; a sheet file written before an error stays, folders this save created and left
// empty are removed again.
SaveResult SavePlan(plans::ProjectState& state, const SheetLoad& shown, bool imageLoaded,
                    const std::function<void(const QString& file)>& saveImage);

}  // namespace sw::viewing
