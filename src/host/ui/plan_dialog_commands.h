#pragma once

namespace sw::host {

class FastViewer;

// Registers the viewer commands that open the plan area's dialogs: "Download" (batch download),
// "Prefs" (preferences) and "Markup" (the about window). Each dialog belongs to the viewer's
// window; a failing command (a rotation whose hundredths do not fit 16 bits, a project folder
// where desc.txt cannot be written) is shown as the viewer shows every command error.
void registerPlanDialogCommands(FastViewer& viewer);

}  // namespace sw::host
