#pragma once

#include <QString>

// Confinement of host input to the plan folder. A web page chooses the site and project names
// that become folders under the plan folder; these checks make sure no such name can lead a save
// outside it. Both throw ScriptError "Invalid procedure call or argument".
namespace sw::plans {

// A site name may hold several folder levels but may not be absolute (a leading separator or a
// drive such as "C:"), may not have a ".." level, and may not contain NUL. No level may be longer
// than a file name can be (kNameMax bytes), and the whole name no longer than a path (kPathMax).
void checkSiteName(const QString& site);

// A project identifier is exactly one folder level: no separator ("/" or "\"), not "." or "..",
// no drive prefix, no NUL, no longer than a file name can be.
void checkProjectId(const QString& id);

// The longest file name and path, in bytes of the file system's encoding (a path's limit counts
// its terminating NUL), where the file system answers nothing more precise.
inline constexpr qsizetype kNameMax = 255;
inline constexpr qsizetype kPathMax = 4096;

// Throws ScriptError "File name too long: ..." when a level of `path` is longer than the file
// system under `folder` allows for one name, or "Path too long: ..." when the whole path is
// longer than it allows for a path. The limits are those of the file system holding `folder` (or
// its nearest existing parent); the check reads the text only and creates nothing, so a caller
// runs it before it creates the first folder of `path`.
void checkPathLimits(const QString& folder, const QString& path);

// True when `path`, read lexically (".." levels resolved, doubled separators merged), lies inside
// `folder` or is `folder` itself. Neither path needs to exist.
bool isInsideFolder(const QString& folder, const QString& path);

}  // namespace sw::plans
