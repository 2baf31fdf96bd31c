#pragma once

#include <QString>
#include <QStringList>

namespace sw::widgets {

// `sheetwise widgets --out DIR`: renders the host widgets to PNG files, at 96 DPI (15 twips per
// pixel) whatever the screen says, without a display if there is none (offscreen platform), and
// prints the paths it wrote. argv[1] is "widgets". Returns 0 on success, 1 when a file could not
// be written, 2 on bad arguments; --help (or -h) prints the usage on standard output, returns 0.
int runWidgetsCommand(int argc, char** argv);

// The gallery itself, for a running QApplication: button-normal.png, button-hover.png,
// button-pressed.png (a 120 x 32 pixel SWGradientButton, hover and press reached through pointer
// events), menubar.png (400 x 30), ruler-horizontal.png (980 x 20, Offset 300, Max 36) and
// ruler-vertical.png (20 x 640, Max 24) in `dir`, created if missing. Returns the paths written;
// on failure `error` says what went wrong and the list holds what was written before.
QStringList writeGallery(const QString& dir, QString* error);

}  // namespace sw::widgets
