#include "printing/printing_calls.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QJsonArray>
#include <QTimer>

#include "base/host_calls.h"
#include "base/script_error.h"
#include "printing/batch_print.h"
#include "printing/print_message_log.h"
#include "printing/print_to_directory.h"

namespace sw::printing {

namespace {

constexpr int kLongestWaitMs = 600000;

QJsonValue lastBatchJson() {
    const BatchPrintMonitor& monitor = BatchPrintMonitor::instance();
    if (!monitor.hasReport()) {
        return QJsonValue::Null;
    }
    const BatchPrintReport& report = monitor.lastReport();
    return QJsonObject{{QStringLiteral("sheets"), report.sheets},
                       {QStringLiteral("printed"), report.printed},
                       {QStringLiteral("problems"), QJsonArray::fromStringList(report.problems)},
                       {QStringLiteral("stopped"), report.stopped}};
}

base::CallReply waitBatch(host::FastViewer&, const QJsonArray& args) {
    base::expectArgumentCount(args, 1, 1);
    const int ms = std::clamp(base::longArgument(args, 0), 0, kLongestWaitMs);
    BatchPrintMonitor& monitor = BatchPrintMonitor::instance();
    if (monitor.running() > 0) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        QObject::connect(&monitor, &BatchPrintMonitor::ended, &loop, [&] {
            if (monitor.running() == 0) {
                loop.quit();
            }
        });
        loop.exec();
    }
    if (monitor.running() > 0) {
        throw base::ScriptError::custom(QStringLiteral("timeout"));
    }
    return {{QStringLiteral("result"), lastBatchJson()}};
}

}  // namespace

void registerPrintingCalls(base::HostCallRegistry& registry) {
    registry.add(
        QStringLiteral("PrintTo"), base::CallKind::Pseudo,
        [](host::FastViewer&, const QJsonArray& args) {
            base::expectArgumentCount(args, 1, 1);
            const QString folder = base::stringArgument(args, 0);
            setPrintToDirectory(folder.isEmpty() ? QString() : QDir(folder).absolutePath());
            return base::CallReply{{QStringLiteral("result"), printToDirectory()}};
        });
    registry.add(QStringLiteral("WaitBatch"), base::CallKind::Pseudo, waitBatch);
    registry.addStateProvider([](host::FastViewer&, QJsonObject& state) {
        state.insert(QStringLiteral("printTo"), printToDirectory());
        state.insert(
            QStringLiteral("batchPrint"),
            QJsonObject{{QStringLiteral("running"), BatchPrintMonitor::instance().running()},
                        {QStringLiteral("last"), lastBatchJson()}});
        QJsonArray messages = state.value(QStringLiteral("messages")).toArray();
        for (const QString& line : recordedPrintMessages()) {
            messages.append(line);
        }
        state.insert(QStringLiteral("messages"), messages);
    });
}

}  // namespace sw::printing
