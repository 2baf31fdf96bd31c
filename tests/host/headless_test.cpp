// Runs the built executable as a host does and checks its replies.
#include "support/qt_print.h"
#include "support/test_paths.h"
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

namespace sw::host {
namespace {

struct ProcessRun {
    int exitCode = -1;
    QList<QJsonObject> replies;
    QByteArray stdErr;
    bool allLinesJson = true;
};

class Headless : public ::testing::Test {
protected:
    ProcessRun sheetwise(const QStringList& args, const QByteArray& input = {}) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", m_home.path());
        env.insert("XDG_CONFIG_HOME", m_home.filePath("config"));
        env.remove("SystemRoot");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(env);
        process.start(test::binPath("sheetwise"), args);
        process.write(input);
        process.closeWriteChannel();
        EXPECT_TRUE(process.waitForFinished(60000));
        ProcessRun run;
        run.exitCode = process.exitCode();
        run.stdErr = process.readAllStandardError();
        for (const QByteArray& line : process.readAllStandardOutput().split('\n')) {
            if (line.isEmpty()) {
                continue;
            }
            const QJsonDocument document = QJsonDocument::fromJson(line);
            run.allLinesJson = run.allLinesJson && document.isObject();
            run.replies.append(document.object());
        }
        return run;
    }

    QTemporaryDir m_home;
};

constexpr char kDocument[] = R"({"calls": [
    ["InitVars", "http://h/", "2004~0815", "Main Street School", 90, "north"],
    ["MakePlanList", "hdr~A,Sheet 1,s1.tif"],
    ["GetPart", "abc", "/"],
    ["SetFirstImage", "s1.tif", "Sheet 1"],
    ["Dump"]]})";

TEST_F(Headless, RunsEveryCallAndAnswersEachOnOneJsonLine) {
    const ProcessRun run = sheetwise({"--headless", "--script", "-"}, kDocument);
    EXPECT_EQ(run.exitCode, 0) << run.stdErr.toStdString();
    EXPECT_TRUE(run.allLinesJson);
    ASSERT_EQ(run.replies.size(), 5);
    EXPECT_EQ(run.replies[0].value("args").toArray().at(1).toString(), "2004-0815");
    EXPECT_TRUE(run.replies[1].value("ok").toBool());
    EXPECT_EQ(run.replies[2].value("error").toString(), "Overflow");
    EXPECT_TRUE(run.replies[3].value("ok").toBool());
    const QJsonObject state = run.replies[4].value("state").toObject();
    EXPECT_EQ(state.value("planUrl").toString(), "http://h/2004/0815/plans/");
    EXPECT_EQ(state.value("planDirectory").toString(), m_home.filePath("SheetwisePlans"));
    EXPECT_EQ(state.value("iniPath").toString(), m_home.filePath("config/Sheetwise.ini"));
    EXPECT_EQ(state.value("currentPlanName").toString(), "Sheet 1");
}

TEST_F(Headless, ReadsTheDocumentFromAFile) {
    QFile file(m_home.filePath("calls.json"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({"calls": [["SetProjectName", "P"]]})");
    file.close();
    const ProcessRun run = sheetwise({"--headless", "--script", file.fileName()});
    EXPECT_EQ(run.exitCode, 0);
    ASSERT_EQ(run.replies.size(), 1);
    EXPECT_EQ(run.replies[0].value("call").toString(), "SetProjectName");
}

struct BadInvocation {
    const char* name;
    QStringList args;
    QByteArray input;
};

void PrintTo(const BadInvocation& c, std::ostream* os) {
    *os << c.name;
}

class HeadlessRefuses : public Headless, public ::testing::WithParamInterface<BadInvocation> {};

TEST_P(HeadlessRefuses, WithExitCodeTwoAndAMessage) {
    const ProcessRun run = sheetwise(GetParam().args, GetParam().input);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.replies.isEmpty());
    EXPECT_TRUE(run.stdErr.contains("sheetwise: ")) << run.stdErr.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Table, HeadlessRefuses,
    ::testing::Values(BadInvocation{"NotJson", {"--headless", "--script", "-"}, "InitVars("},
                      BadInvocation{"NoCalls", {"--headless", "--script", "-"}, "{}"},
                      BadInvocation{"MissingFile", {"--headless", "--script", "/no/such.json"}, {}},
                      BadInvocation{"NoScript", {"--headless"}, {}},
                      BadInvocation{"UnknownOption", {"--frobnicate"}, {}}));

TEST_F(Headless, VersionAndHelp) {
    QProcess process;
    process.start(test::binPath("sheetwise"), {"--version"});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.readAllStandardOutput().trimmed(), "sheetwise " SW_VERSION_STRING);
    process.start(test::binPath("sheetwise"), {"--help"});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_TRUE(process.readAllStandardOutput().contains("--headless --script"));
    EXPECT_EQ(process.exitCode(), 0);
}

}  // namespace
}  // namespace sw::host
