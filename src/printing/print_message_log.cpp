#include "printing/print_message_log.h"

namespace sw::printing {

namespace {

QStringList& recorded() {
    static QStringList messages;
    return messages;
}

}  // namespace

void recordPrintMessage(const QString& line) {
    recorded() << line;
}

QStringList recordedPrintMessages() {
    return recorded();
}

void clearRecordedPrintMessages() {
    recorded().clear();
}

}  // namespace sw::printing
