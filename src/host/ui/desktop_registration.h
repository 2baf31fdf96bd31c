#pragma once

// `sheetwise --register` and `sheetwise --unregister`: make this executable the user's handler of
// `sheetwise:` links, or undo it. Registering writes, under the user's XDG data folder
// ($XDG_DATA_HOME, by default ~/.local/share), applications/sheetwise.desktop (its Exec line names
// this executable by its absolute path), the icon under icons/hicolor/ and the AppStream
// metainfo under metainfo/, then makes the entry the default for x-scheme-handler/sheetwise with
// `xdg-mime default`. Without xdg-mime the files are still installed and the user is told how to
// finish. Unregistering removes the files and the default from mimeapps.list.
//
// Reports each step on standard output, problems on standard error.
namespace sw::host {

// Returns the exit code: 0 done, 1 a file could not be written or xdg-mime failed.
int runRegistrationCommand(int argc, char** argv, bool unregister);

}  // namespace sw::host
