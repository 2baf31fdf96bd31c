// Host calls of the comparison with an earlier revision: ["Set", "Compare/Earlier", address or
// path], ["Set", "Compare/Mode", "overlay" | "new" | "earlier" | "off"] (the command itself is
// ["DoCommand", "Compare"]) and the Dump key "compare".
#include <QJsonArray>

#include "compare/ui/comparison_controller.h"
#include "host/script_error.h"
#include "host/ui/fast_viewer.h"
#include "host/ui/standard_calls.h"

namespace sw::host {

namespace {

const QString kPrefix = QStringLiteral("Compare/");

void setCompareValue(FastViewer& v, const QString& path, const QJsonArray& args) {
    expectArgumentCount(args, 2, 2);
    const QString name = path.mid(kPrefix.size());
    if (name == QLatin1String("Earlier")) {
        v.comparison().setEarlier(stringArgument(args, 1));
    } else if (name == QLatin1String("Mode")) {
        v.comparison().setMode(stringArgument(args, 1));
    } else {
        throw ScriptError::custom(QStringLiteral("No control named %1").arg(path));
    }
}

void addCompareState(FastViewer& v, QJsonObject& state) {
    const compare::ComparisonController::State s = v.comparison().state();
    state.insert(QStringLiteral("compare"),
                 QJsonObject{{QStringLiteral("active"), s.active},
                             {QStringLiteral("earlier"), s.earlier},
                             {QStringLiteral("offset"), QJsonArray{s.offset.x(), s.offset.y()}},
                             {QStringLiteral("mode"), s.mode},
                             {QStringLiteral("added"), s.added},
                             {QStringLiteral("removed"), s.removed}});
}

}  // namespace

void registerCompareCalls(HostCallRegistry& registry) {
    const HostCallRegistry::Entry* set = registry.find(QStringLiteral("Set"));
    const CallHandler widgets = set != nullptr ? set->handler : CallHandler();
    registry.add(QStringLiteral("Set"), CallKind::Pseudo,
                 [widgets](FastViewer& v, const QJsonArray& args) -> CallReply {
                     const QString path = args.isEmpty() ? QString() : args.at(0).toString();
                     if (path.startsWith(kPrefix)) {
                         setCompareValue(v, path, args);
                         return {};
                     }
                     if (!widgets) {
                         throw ScriptError::custom(QStringLiteral("%1 cannot be set").arg(path));
                     }
                     return widgets(v, args);
                 });
    registry.addStateProvider(addCompareState);
}

}  // namespace sw::host
