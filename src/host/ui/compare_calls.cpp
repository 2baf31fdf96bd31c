// Host calls of the comparison with an earlier revision: ["Set", "Compare/Earlier", address or
// path], ["Set", "Compare/Mode", "overlay" | "new" | "earlier" | "off"] (the command itself is
// ["DoCommand", "Compare"]) and the Dump key "compare".
#include <QJsonArray>

#include "base/script_error.h"
#include "compare/ui/comparison_controller.h"
#include "host/ui/fast_viewer.h"
#include "host/ui/standard_calls.h"

namespace sw::host {

namespace {

const QString kPrefix = QStringLiteral("Compare/");

void setCompareValue(FastViewer& v, const QString& path, const QJsonArray& args) {
    base::expectArgumentCount(args, 2, 2);
    const QString name = path.mid(kPrefix.size());
    if (name == QLatin1String("Earlier")) {
        v.comparison().setEarlier(base::stringArgument(args, 1));
    } else if (name == QLatin1String("Mode")) {
        v.comparison().setMode(base::stringArgument(args, 1));
    } else {
        throw base::ScriptError::custom(QStringLiteral("No control named %1").arg(path));
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

void registerCompareCalls(base::HostCallRegistry& registry) {
    const base::HostCallRegistry::Entry* set = registry.find(QStringLiteral("Set"));
    const base::CallHandler widgets = set != nullptr ? set->handler : base::CallHandler();
    registry.add(
        QStringLiteral("Set"), base::CallKind::Pseudo,
        [widgets](FastViewer& v, const QJsonArray& args) -> base::CallReply {
            const QString path = args.isEmpty() ? QString() : args.at(0).toString();
            if (path.startsWith(kPrefix)) {
                setCompareValue(v, path, args);
                return {};
            }
            if (!widgets) {
                throw base::ScriptError::custom(QStringLiteral("%1 cannot be set").arg(path));
            }
            return widgets(v, args);
        });
    registry.addStateProvider(addCompareState);
}

}  // namespace sw::host
