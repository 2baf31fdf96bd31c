#pragma once

#include <QByteArray>
#include <QStringList>

namespace sw::printing {

// `sheetwise print SHEET.tif (--pdf OUT.pdf | --printer NAME) [--paper CODE|NAME]
// [--orientation portrait|landscape] [--scale TEXT] [--crop|--no-crop] [--fit] [--blue]
// [--selection X,Y,W,H] [--marks]`: runs the print dialog's layout and job headless on the
// sheet and prints one line of JSON: columns, rows, pages, mode ("tiled", "crop", "fit"), scale,
// the printer metrics used (dpiX, dpiY, printableWidthIn, printableHeightIn), paper and printer.
// Defaults are the dialog's opening state: Letter, portrait, "100%", crop to one page. The PDF
// has no unprintable margins and 600 dpi; a printer is used with its own. Exit codes: 0 done,
// 1 the sheet or the output failed (message on stderr), 2 usage error.
//
// argv[1] is "print". Creates the application object (offscreen without a display).
int runPrintCommand(int argc, char** argv);

// The same without creating the application object (one must exist): `arguments` start with
// the program name, then the command's arguments; output and error text are appended.
int printCommand(const QStringList& arguments, QByteArray* out, QByteArray* err);

}  // namespace sw::printing
