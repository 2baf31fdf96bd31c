#pragma once

class QWidget;

namespace sw::plans {

class BatchDownload;
class PrefsForm;
class ProjectState;
class UpgradeFrm;

// The commands that open this area's dialogs from the viewer ("Download", "Prefs", "Markup"), in
// the order the viewer runs them, with the viewer's project fields. Each returns the dialog it
// showed (modeless, deleted when closed) and throws ScriptError when the command fails; the
// viewer shows the error as it shows every command error. `parent` is the window the dialog
// belongs to (it stays above it). UI thread only.

// "Download": refuses a sheet list a web page may not have loaded (ProjectState::checkSheetList);
// ResetRoot; checks that the rotation in hundredths of a degree fits 16 bits ("Overflow" outside
// -327..327 degrees) and that the file system can hold the project folder's path
// (plans/path_rules.h), both before any folder or dialog exists; creates the project folder when
// missing; then a new BatchDownload gets LoadPlans (which writes desc.txt) and is shown. Folders
// created for a dialog whose LoadPlans fails are removed again.
BatchDownload* openBatchDownload(ProjectState& project, QWidget* parent);

// "Prefs": SetIni(iniPath) on the single preferences dialog (created when none is open, raised
// when it is), shows it, then ResetRoot. The choice saved later takes effect at the next
// ResetRoot (every focus gain of the viewer).
PrefsForm* openPrefsForm(ProjectState& project, QWidget* parent);

// "Markup": shows the single about window (created when none is open, raised when it is).
UpgradeFrm* openUpgradeFrm(QWidget* parent);

}  // namespace sw::plans
