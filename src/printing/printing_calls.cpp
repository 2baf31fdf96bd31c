#include "printing/printing_calls.h"

#include <QDir>

#include "host/host_calls.h"
#include "printing/print_to_directory.h"

namespace sw::printing {

void registerPrintingCalls(host::HostCallRegistry& registry) {
    registry.add(
        QStringLiteral("PrintTo"), host::CallKind::Pseudo,
        [](host::FastViewer&, const QJsonArray& args) {
            host::expectArgumentCount(args, 1, 1);
            const QString folder = host::stringArgument(args, 0);
            setPrintToDirectory(folder.isEmpty() ? QString() : QDir(folder).absolutePath());
            return host::CallReply{{QStringLiteral("result"), printToDirectory()}};
        });
    registry.addStateProvider([](host::FastViewer&, QJsonObject& state) {
        state.insert(QStringLiteral("printTo"), printToDirectory());
    });
}

}  // namespace sw::printing
