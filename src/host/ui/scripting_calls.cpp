// The scripting methods of FastViewer as host calls, and the Dump pseudo-call.
#include <QJsonArray>
#include <QTreeWidget>

#include "host/ui/fast_viewer.h"
#include "host/ui/standard_calls.h"
#include "host/ui/tree_nodes.h"
#include "imaging/ui/imaging_control.h"
#include "printing/printing_calls.h"
#include "printing/ui/print_dialog_calls.h"

namespace sw::host {

namespace {

base::CallReply reply(const QJsonValue& result, const QJsonArray& args) {
    return {{QStringLiteral("result"), result}, {QStringLiteral("args"), args}};
}

// The helpers take the class that declares the method (FastViewer or one of its bases) and call
// it on that part of the viewer.
template <class Owner>
base::CallReply noArguments(FastViewer& v, const QJsonArray& args, void (Owner::*method)()) {
    base::expectArgumentCount(args, 0, 0);
    (static_cast<Owner&>(v).*method)();
    return reply(QJsonValue::Null, {});
}

// Methods taking one string by reference.
template <class Owner>
base::CallReply oneString(FastViewer& v, const QJsonArray& args, void (Owner::*method)(QString&)) {
    base::expectArgumentCount(args, 1, 1);
    QString text = base::stringArgument(args, 0);
    (static_cast<Owner&>(v).*method)(text);
    return reply(QJsonValue::Null, {text});
}

// SetImage and SetFirstImage: two strings by value.
template <class Owner>
base::CallReply twoByValue(FastViewer& v, const QJsonArray& args,
                           void (Owner::*method)(QString, QString)) {
    base::expectArgumentCount(args, 2, 2);
    const QString path = base::stringArgument(args, 0);
    const QString name = base::stringArgument(args, 1);
    (static_cast<Owner&>(v).*method)(path, name);
    return reply(QJsonValue::Null, {path, name});
}

QJsonArray toJson(const QStringList& list) {
    return QJsonArray::fromStringList(list);
}

}  // namespace

void registerScriptingCalls(base::HostCallRegistry& registry) {
    using FV = FastViewer;
    const base::CallKind kind = base::CallKind::Scripting;
    registry.add("ResetRoot", kind,
                 [](FV& v, const QJsonArray& a) { return noArguments(v, a, &FV::ResetRoot); });
    registry.add("SetImage", kind,
                 [](FV& v, const QJsonArray& a) { return twoByValue(v, a, &FV::SetImage); });
    registry.add("SetFirstImage", kind,
                 [](FV& v, const QJsonArray& a) { return twoByValue(v, a, &FV::SetFirstImage); });
    registry.add("MakePlanList", kind,
                 [](FV& v, const QJsonArray& a) { return oneString(v, a, &FV::MakePlanList); });
    registry.add("SetProjectID", kind,
                 [](FV& v, const QJsonArray& a) { return oneString(v, a, &FV::SetProjectID); });
    registry.add("SetProjectName", kind,
                 [](FV& v, const QJsonArray& a) { return oneString(v, a, &FV::SetProjectName); });
    registry.add("SetPlanUrl", kind, [](FV& v, const QJsonArray& a) {
        base::expectArgumentCount(a, 2, 2);
        QString url = base::stringArgument(a, 0);
        QString id = base::stringArgument(a, 1);
        v.SetPlanUrl(url, id);
        return reply(QJsonValue::Null, {url, id});
    });
    registry.add("InitVars", kind, [](FV& v, const QJsonArray& a) {
        base::expectArgumentCount(a, 5, 5);
        QString url = base::stringArgument(a, 0);
        QString id = base::stringArgument(a, 1);
        QString name = base::stringArgument(a, 2);
        qint32 rotation = base::longArgument(a, 3);
        QString site = base::stringArgument(a, 4);
        v.InitVars(url, id, name, rotation, site);
        return reply(QJsonValue::Null, {url, id, name, rotation, site});
    });
    registry.add("GetPart", kind, [](FV& v, const QJsonArray& a) {
        base::expectArgumentCount(a, 2, 2);
        QString text = base::stringArgument(a, 0);
        QString delimiter = base::stringArgument(a, 1);
        const QString part = v.GetPart(text, delimiter);
        return reply(part, {text, delimiter});
    });
}

QJsonObject viewerState(FastViewer& v) {
    QJsonArray panels;
    for (int i = 1; i <= FastViewer::kStatusPanels; ++i) {
        panels.append(v.panelText(i));
    }
    return {
        {"planLabels", toJson(v.planLabels)},
        {"planFiles", toJson(v.planFiles)},
        {"projectId", v.projectId},
        {"planUrl", v.planUrl},
        {"currentPlanName", v.currentPlanName},
        {"sheetSizeText", v.sheetSizeText},
        {"projectName", v.projectName},
        {"localRoot", v.localRoot},
        {"projectSubPath", v.projectSubPath},
        {"savedFolders", toJson(v.savedFolders)},
        {"rotation", v.rotation},
        {"siteName", v.siteName},
        {"localPlansShown", v.localPlansShown},
        {"planListShown", v.planListShown},
        {"planDirectory", v.planDirectory},
        {"iniPath", v.iniPath},
        {"printInBlue", v.printInBlue},
        {"reversePrint", v.reversePrint},
        {"pmn", treeNodesJson(*v.pmn)},
        {"LocalPlans", treeNodesJson(*v.LocalPlans)},
        {"status", panels},
        {"viewer", QJsonObject{{"loadAddress", v.viewer->loadAddress()},
                               {"loadSwitch", v.viewer->loadSwitch()}}},
        {"messages", toJson(v.messagesShown)},
    };
}

void registerDumpCall(base::HostCallRegistry& registry) {
    // The registry outlives every call made through it, so the handler may refer to it.
    registry.add("Dump", base::CallKind::Pseudo, [&registry](FastViewer& v, const QJsonArray& a) {
        base::expectArgumentCount(a, 0, 0);
        QJsonObject state = viewerState(v);
        registry.fillState(v, state);
        return base::CallReply{{QStringLiteral("state"), state}};
    });
}

void addStandardCalls(base::HostCallRegistry& registry) {
    registerScriptingCalls(registry);
    registerDumpCall(registry);
    registerWidgetCalls(registry);
    registerViewerCalls(registry);
    registerMeasureCalls(registry);
    registerCompareCalls(registry);
    printing::registerPrintingCalls(registry);
    printing::registerPrintDialogCalls(registry);
}

const base::HostCallRegistry& standardRegistry() {
    static base::HostCallRegistry* registry = [] {
        auto* built = new base::HostCallRegistry;
        addStandardCalls(*built);
        return built;
    }();
    return *registry;
}

}  // namespace sw::host
