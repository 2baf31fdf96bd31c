#pragma once

namespace sw::host {

// The viewer application: everything `sheetwise` does that is not a tool subcommand (the main
// window, host-call documents, --headless --script).
int runViewerApp(int argc, char** argv);

}  // namespace sw::host
