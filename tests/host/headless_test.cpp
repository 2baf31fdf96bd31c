// Runs the built executable as a host does and checks its replies.
#include "host_test_support.h"
#include "support/qt_print.h"
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QTemporaryDir>

namespace sw::host {
namespace {

using test::PrintTo;

class Headless : public ::testing::Test {
protected:
    test::ProcessRun sheetwise(const QStringList& args, const QByteArray& input = {}) const {
        return test::runSheetwise(m_env, args, input);
    }

    QTemporaryDir m_root;
    QProcessEnvironment m_env = test::isolatedEnvironment(m_root.path());
};

TEST_F(Headless, RunsEveryCallAndAnswersEachOnOneJsonLine) {
    const test::ProcessRun run = sheetwise({"--headless", "--script", "-"}, test::callsDocument(R"([
        ["InitVars", "http://h/", "2004~0815", "Main Street School", 90, "north"],
        ["MakePlanList", "hdr~A,Sheet 1,s1.tif"],
        ["GetPart", "abc", "/"],
        ["SetFirstImage", "s1.tif", "Sheet 1"],
        ["Dump"]])"));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.allLinesJson);
    ASSERT_EQ(run.replies.size(), 5);
    EXPECT_EQ(run.replies[0].value("args").toArray().at(1).toString(), "2004-0815");
    EXPECT_TRUE(run.replies[1].value("ok").toBool());
    EXPECT_EQ(run.replies[2].value("error").toString(), "Overflow");
    EXPECT_TRUE(run.replies[3].value("ok").toBool());
    const QJsonObject state = run.replies[4].value("state").toObject();
    EXPECT_EQ(state.value("planUrl").toString(), "http://h/2004/0815/plans/");
    EXPECT_EQ(state.value("planDirectory").toString(), m_root.filePath("home/SheetwisePlans"));
    EXPECT_EQ(state.value("iniPath").toString(), m_root.filePath("config/Sheetwise.ini"));
    EXPECT_EQ(state.value("currentPlanName").toString(), "Sheet 1");
}

struct BadInvocation {
    const char* name;
    QStringList args;
    QByteArray input;
};

class HeadlessRefuses : public Headless, public ::testing::WithParamInterface<BadInvocation> {};

TEST_P(HeadlessRefuses, WithExitCodeTwoAndAMessage) {
    const test::ProcessRun run = sheetwise(GetParam().args, GetParam().input);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.replies.isEmpty());
    EXPECT_TRUE(run.err.contains("sheetwise: ")) << run.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Table, HeadlessRefuses,
    ::testing::Values(BadInvocation{"NotJson", {"--headless", "--script", "-"}, "InitVars("},
                      BadInvocation{"NoCalls", {"--headless", "--script", "-"}, "{}"},
                      BadInvocation{"MissingFile", {"--headless", "--script", "/no/such.json"}, {}},
                      BadInvocation{"NoScript", {"--headless"}, {}},
                      BadInvocation{"UnknownOption", {"--frobnicate"}, {}}),
    test::ByName());

TEST_F(Headless, VersionAndHelp) {
    EXPECT_EQ(sheetwise({"--version"}).out.trimmed(), "sheetwise " SW_VERSION_STRING);
    const test::ProcessRun help = sheetwise({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("--headless --script"));
}

}  // namespace
}  // namespace sw::host
