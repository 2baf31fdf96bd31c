#pragma once

namespace sw::printing {

// `sheetwise print SHEET.tif (--pdf OUT.pdf | --printer NAME) [options]`: runs the print layout
// and job headless and prints a JSON summary. argv[1] is "print".
int runPrintCommand(int argc, char** argv);

}  // namespace sw::printing
