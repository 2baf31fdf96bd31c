#pragma once

#include <functional>

#include <QString>
#include <QStringList>

namespace sw::plans {
class ProjectState;
}

namespace sw::viewing {

// What the "Save" command did.
struct SaveResult {
    enum class Outcome {
        NothingLoaded,  // no image held: nothing saved, nothing shown
        Saved,
        Failed,
    };
    Outcome outcome = Outcome::NothingLoaded;
    QString file;  // the sheet file; empty when the error came before it was known
    QString errorDescription;
    bool descriptionWritten = false;  // desc.txt was created by this save

    // The messages a failed save shows, in order: the error's description, then "ErrPath: " and
    // the file. Empty unless the save failed.
    [[nodiscard]] QStringList messages() const;
};

// The "Save" command: stores the shown sheet as <project folder>/<CleanFileName(name)>.tif and,
// when the project folder has none yet, writes desc.txt with the project name. Re-reads the plan
// folder from the settings first (ResetRoot). `saveImage` writes the held image to the given
// file and throws on failure. A file that would lie outside the plan folder is refused. Errors
// are returned, never thrown; what was written before an error stays.
SaveResult SavePlan(plans::ProjectState& state, bool imageLoaded,
                    const std::function<void(const QString& file)>& saveImage);

}  // namespace sw::viewing
