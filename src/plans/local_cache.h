#pragma once

#include <optional>

#include <QString>
#include <QStringList>

// The local plan folder: plan folder / site / project / one ".tif" per saved sheet and desc.txt,
// whose first line names the project. Pure file-system logic shared by "Save", the batch
// download and the saved-plans tree. Paths use the platform separator (base/paths.h); a doubled
// separator (a plan folder that ends in one) is accepted.
namespace sw::plans {

inline constexpr char kDescriptionFileName[] = "desc.txt";
inline constexpr char kSheetExtension[] = ".tif";

// `name` with each "/", "\", "|", "<", ">", ":", "*" and "?" replaced by a blank. NUL, which no
// file system accepts, becomes a blank as well; every other character is kept.
//
// Together with the ".tif" that every caller appends, the result is always one plain file name
// inside its folder: it has no separator, and it is never "." or "..". A name that starts with a
// dot gives a hidden file (".tif" for an empty name), which is still inside the folder and is
// listed by the saved-plans tree.
QString CleanFileName(const QString& name);

// True when a file or folder exists at `path`; a path ending in a separator is true only for a
// folder. Never fails.
bool FolderExists(const QString& path);

// Creates every missing level of `path` (a separator is appended when missing), cutting it into
// levels at each separator as GetPart does, in one pass over the text. Failures to create a level
// are ignored: they show up at the write that follows. A bare drive root such as "C:\" throws
// "Subscript out of range". Returns the folders it created, outermost first, so that a caller
// whose write then fails can take them away again (RemoveEmptyFolders). Callers check the path
// against the file system's limits first (checkPathLimits), so no level is ever created for a
// path that cannot be written.
QStringList CreateFolderPath(const QString& path);

// Removes those of `folders` that are empty, innermost (last) first. Never fails.
void RemoveEmptyFolders(const QStringList& folders);

// The project folder a sheet is saved into: `localRoot` & the part of `projectSubPath` before
// its first "plans" (so localRoot & projectId & separator), or `localRoot` & `projectSubPath`
// when it holds no "plans".
QString projectFolder(const QString& localRoot, const QString& projectSubPath);

// folder & CleanFileName(sheetName) & ".tif".
QString sheetFilePath(const QString& folder, const QString& sheetName);

// Writes folder & "desc.txt" holding `projectName` and CR LF (UTF-8) when the folder has none;
// an existing desc.txt is never rewritten. Returns true when the file was written. Throws
// ScriptError "Path not found" when the folder is missing and "Permission denied" when the file
// cannot be created.
bool writeDescriptionOnce(const QString& folder, const QString& projectName);

// The first line of a text file (up to the first CR or LF), read as UTF-8 when valid and as
// Latin-1 otherwise. Empty optional when the file cannot be read or holds no line at all.
std::optional<QString> readFirstLine(const QString& path);

}  // namespace sw::plans
