#pragma once

namespace sw::widgets {

// `sheetwise widgets --out DIR`: renders the host widgets to PNG files. argv[1] is "widgets".
int runWidgetsCommand(int argc, char** argv);

}  // namespace sw::widgets
