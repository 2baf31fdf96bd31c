#pragma once

#include <QString>

// Confinement of host input to the plan folder. A web page chooses the site and project names
// that become folders under the plan folder; these checks make sure no such name can lead a save
// outside it. Both throw ScriptError "Invalid procedure call or argument".
namespace sw::plans {

// A site name may hold several folder levels but may not be absolute (a leading separator or a
// drive such as "C:"), may not have a ".." level, and may not contain NUL.
void checkSiteName(const QString& site);

// A project identifier is exactly one folder level: no separator ("/" or "\"), not "." or "..",
// no drive prefix, no NUL.
void checkProjectId(const QString& id);

// True when `path`, read lexically (".." levels resolved, doubled separators merged), lies inside
// `folder` or is `folder` itself. Neither path needs to exist.
bool isInsideFolder(const QString& folder, const QString& path);

}  // namespace sw::plans
