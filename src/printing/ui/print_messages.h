#pragma once

#include <QString>

#include "printing/print_message_log.h"

class QWidget;

namespace sw::printing {

enum class PrintMessageIcon { None, Information, Critical };

// How the print dialog and the print hand-off tell the user about a failure: a message box with
// the given title (the application's name when empty) and icon. When the application runs
// without a display (offscreen or minimal platform: scripted runs, CI) nothing may block, so the
// message is recorded (print_message_log.h) and written to stderr instead. UI thread only.
void showPrintMessage(QWidget* parent, const QString& text, const QString& title = QString(),
                      PrintMessageIcon icon = PrintMessageIcon::None);

}  // namespace sw::printing
