#pragma once

#include <optional>

#include <QString>

// Text rules of the freedesktop files through which the desktop learns that Sheetwise opens
// `sheetwise:` links: the desktop entry's Exec line and the user's mimeapps.list. Pure functions;
// the files themselves are written by `sheetwise --register` (host/ui/desktop_registration.h).
namespace sw::host {

inline constexpr char kDesktopFileName[] = "sheetwise.desktop";
inline constexpr char kSchemeMimeType[] = "x-scheme-handler/sheetwise";

// `program` as the first argument of a desktop entry's Exec value: as it is when it holds no
// reserved character, otherwise in double quotes with the desktop entry escapes ("%" as "%%",
// backslashes doubled for the string escape). Nothing for a path with a control character, which
// an Exec line cannot carry.
std::optional<QString> desktopExecProgram(const QString& program);

// `mimeappsList` (the text of a mimeapps.list) without `desktopId` as a handler of `mimeType`:
// the id is taken out of that key's list in every section, a key left without handlers is
// dropped, and every other line stays as it was.
QString withoutMimeHandler(const QString& mimeappsList, const QString& mimeType,
                           const QString& desktopId);

}  // namespace sw::host
