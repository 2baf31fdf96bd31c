#include "host/untrusted_calls.h"

#include <QJsonArray>

#include "base/script_error.h"

namespace sw::host {

namespace {

constexpr const char* kScriptingMethods[] = {
    "ResetRoot",  "SetImage", "SetFirstImage",  "MakePlanList", "SetProjectID",
    "SetPlanUrl", "InitVars", "SetProjectName", "GetPart",
};

}  // namespace

bool isScriptingMethod(const QString& name) {
    for (const char* method : kScriptingMethods) {
        if (name.compare(QLatin1String(method), Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

UntrustedCallRunner::UntrustedCallRunner(FastViewer& viewer, const base::HostCallRegistry& registry,
                                         const base::ObjectSafety& safety)
    : m_registry(registry), m_runner(viewer, registry, base::Trust::Untrusted, safety) {}

QJsonObject UntrustedCallRunner::run(const QJsonValue& call) const {
    const QJsonValue name = call.toArray().at(0);
    if (name.isString() && !isScriptingMethod(name.toString()) &&
        m_registry.find(name.toString()) != nullptr) {
        return {{QStringLiteral("call"), name},
                {QStringLiteral("ok"), false},
                {QStringLiteral("error"), base::ScriptError::standardDescription(
                                              base::ScriptError::Code::PermissionDenied)}};
    }
    return m_runner.run(call);
}

}  // namespace sw::host
