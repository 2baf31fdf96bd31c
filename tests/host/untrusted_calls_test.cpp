// The rule for calls from a web page, on a real viewer, and the fetch of a document that a
// sheetwise:open link names, against the plan server.
#include "host/untrusted_calls.h"

#include "host_test_support.h"
#include "planserver/background_plan_server.h"
#include <gtest/gtest.h>

#include <QDir>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include "host/ui/document_fetcher.h"
#include "host/ui/fast_viewer.h"
#include "host/ui/standard_calls.h"
#include "imaging/ui/imaging_control.h"

namespace sw::host {
namespace {

using sw::test::PrintTo;

// ---- Which calls a page may make ----------------------------------------------------------------

struct UntrustedCase {
    const char* name = nullptr;
    base::SafeCtl switches;
    const char* calls = nullptr;  // the page's calls; the last one is checked
    const char* error = nullptr;  // start of the last call's error; nullptr: the call runs
};

constexpr base::SafeCtl kLoaded{true, true};

class UntrustedCalls : public ::testing::TestWithParam<UntrustedCase> {};

TEST_P(UntrustedCalls, RunOnlyScriptingMethodsWhileScriptingIsSafeAndLoadOnlyFromTheWeb) {
    const UntrustedCase& c = GetParam();
    base::HostCallRegistry registry;
    addStandardCalls(registry);
    // A call another area might register as a scripting method by mistake.
    registry.add("RemoveFolder", base::CallKind::Scripting, [](FastViewer& v, const QJsonArray&) {
        v.projectName = "removed";
        return base::CallReply{};
    });
    FastViewer viewer;
    viewer.projectName = "before";
    const UntrustedCallRunner runner(viewer, registry, base::ObjectSafety(c.switches));
    QJsonObject reply;
    for (const QJsonValue call : QJsonDocument::fromJson(c.calls).array()) {
        reply = runner.run(call);
    }
    if (c.error == nullptr) {
        EXPECT_TRUE(reply.value("ok").toBool()) << reply.value("error").toString().toStdString();
        return;
    }
    EXPECT_FALSE(reply.value("ok").toBool());
    EXPECT_TRUE(reply.value("error").toString().startsWith(QString::fromUtf8(c.error)))
        << reply.value("error").toString().toStdString();
    EXPECT_EQ(viewer.projectName, "before");
    EXPECT_EQ(viewer.viewer->loadAddress(), "");
}

constexpr const char* kLocalLoad =
    "Permission denied: sheets named by a web page are loaded only from http and https";

INSTANTIATE_TEST_SUITE_P(
    Table, UntrustedCalls,
    ::testing::Values(
        UntrustedCase{"ScriptingMethod", kLoaded, R"([["SetProjectName", "P"]])"},
        UntrustedCase{"InitVars", kLoaded, R"([["InitVars", "https://h/", "1-2", "P", 0, "s"]])"},
        UntrustedCase{"OnlyInitializingOff", {true, false}, R"([["SetProjectName", "P"]])"},
        UntrustedCase{"ScriptingSwitchOff",
                      {false, true},
                      R"([["SetProjectName", "P"]])",
                      "Permission denied"},
        UntrustedCase{"Dump", kLoaded, R"([["Dump"]])", "Permission denied"},
        UntrustedCase{"ScriptingKindButNotAMethod", kLoaded, R"([["RemoveFolder"]])",
                      "Permission denied"},
        UntrustedCase{"SheetFromTheWeb", kLoaded,
                      R"([["SetPlanUrl", "HTTPS://127.0.0.1:9/", "1-2"], ["SetImage", "a", ""]])"},
        UntrustedCase{"Device", kLoaded, R"([["SetImage", " /dev/ptmx", ""]])", kLocalLoad},
        UntrustedCase{
            "FileBehindThePlanUrl", kLoaded,
            R"([["SetPlanUrl", "file:///", "dev-x"], ["SetFirstImage", "../../ptmx", ""]])",
            kLocalLoad}),
    sw::test::byName);

// ---- Fetching a document ------------------------------------------------------------------------

struct FetchCase {
    const char* name = nullptr;
    const char* path = nullptr;   // under the server's base URL, or a whole address with a scheme
    QByteArray body;              // what the server holds at /doc.json
    const char* error = nullptr;  // part of the refusal; nullptr: the body arrives
};

class Fetching : public ::testing::TestWithParam<FetchCase> {};

TEST_P(Fetching, GivesTheDocumentOrAClearReason) {
    const FetchCase& c = GetParam();
    QTemporaryDir root;
    QDir(root.path()).mkpath("stalled");
    for (const char* name : {"doc.json", "stalled/doc.json"}) {
        ASSERT_TRUE(test::writeFile(root.filePath(name), c.body));
    }
    tools::PlanServerOptions options;
    options.root = root.path();
    options.stall = {"/stalled/*"};
    tools::BackgroundPlanServer server(options);
    ASSERT_NE(server.start(), 0);

    const QString path = QString::fromUtf8(c.path);
    const QUrl url = path.contains(':') ? QUrl(path) : server.baseUrl().resolved(QUrl(path));
    DocumentFetcher fetcher;
    QEventLoop loop;
    std::optional<QByteArray> document;
    QString error;
    fetcher.fetch(url, {kMaxDocumentBytes, 500, 5000},
                  [&](const std::optional<QByteArray>& d, const QString& e) {
                      document = d;
                      error = e;
                      loop.quit();
                  });
    loop.exec();
    if (c.error == nullptr) {
        ASSERT_TRUE(document.has_value()) << error.toStdString();
        EXPECT_EQ(*document, c.body);
    } else {
        EXPECT_FALSE(document.has_value());
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.error))) << error.toStdString();
    }
}

const QByteArray kSmall = R"({"calls": [["ResetRoot"]]})";

INSTANTIATE_TEST_SUITE_P(
    Table, Fetching,
    ::testing::Values(
        FetchCase{"OverTheLimit", "doc.json", QByteArray(kMaxDocumentBytes + 1, ' '),
                  "larger than 1 MB"},
        FetchCase{"Missing", "nothing.json", kSmall, "Cannot fetch"},
        FetchCase{"ServerStalls", "stalled/doc.json", QByteArray(4000, ' '), "in time"}),
    sw::test::byName);

}  // namespace
}  // namespace sw::host
