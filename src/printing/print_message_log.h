#pragma once

#include <QString>
#include <QStringList>

namespace sw::printing {

// The print messages a run without a display recorded instead of showing them (see
// showPrintMessage), oldest first, each "title: text" or just the text. The Dump state lists
// them after the viewer's own messages. Process-wide; UI thread only.
void recordPrintMessage(const QString& line);
[[nodiscard]] QStringList recordedPrintMessages();
void clearRecordedPrintMessages();

}  // namespace sw::printing
