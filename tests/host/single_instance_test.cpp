// Two (and more) launches of the built viewer: the first listens on its per-user socket, later ones
// hand their calls over. Each test has its own XDG_RUNTIME_DIR, so its viewer is alone.
#include "host_test_support.h"
#include "planserver/background_plan_server.h"
#include "support/test_paths.h"
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QJsonArray>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "host/handover_protocol.h"
#include "host/sheetwise_url.h"

namespace sw::host {
namespace {

using test::callsDocument;

constexpr int kProcessWaitMs = 60000;

class Instances : public ::testing::Test {
protected:
    void TearDown() override {
        m_first.kill();
        m_first.waitForFinished(kProcessWaitMs);
    }

    bool listening() const {
        QLocalSocket probe;
        probe.connectToServer(m_socket);
        return probe.waitForConnected(1000);
    }

    // Starts the first viewer and waits until it takes launches.
    void startFirst(const QStringList& args = {}) {
        m_first.setProcessEnvironment(m_env);
        m_first.start(sw::test::binPath("sheetwise"), args);
        ASSERT_TRUE(m_first.waitForStarted(kProcessWaitMs));
        const QDeadlineTimer deadline(kProcessWaitMs);
        while (!listening() && m_first.state() == QProcess::Running && !deadline.hasExpired()) {
            QTest::qWait(50);
        }
        ASSERT_TRUE(listening()) << m_first.readAllStandardError().toStdString();
    }

    test::ProcessRun launch(const QStringList& args, const QByteArray& input = {}) const {
        return test::runSheetwise(m_env, args, input);
    }

    // The running viewer's state, asked for by a trusted launch.
    QJsonObject runningState() const {
        const test::ProcessRun run = launch({"--script", "-"}, callsDocument(R"([["Dump"]])"));
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        return run.replies.value(0).value("state").toObject();
    }
    QString runningProjectName() const { return runningState().value("projectName").toString(); }

    QTemporaryDir m_root;
    QProcessEnvironment m_env = test::isolatedEnvironment(m_root.path());
    QString m_socket =
        m_root.filePath(QStringLiteral("runtime/sheetwise-%1.socket").arg(::getuid()));
    QProcess m_first;
};

TEST_F(Instances, LaterLaunchHandsItsCallsOverAndPrintsTheRepliesAsHeadlessDoes) {
    startFirst();
    const QByteArray document = callsDocument(
        R"([["SetProjectName", "Handed over"], ["GetPart", "a/b", "/"], ["NoSuchCall"],
            ["SetProjectID", "2004-0815"]])");
    ASSERT_TRUE(test::writeFile(m_root.filePath("calls.json"), document));

    const test::ProcessRun handed = launch({"--script", m_root.filePath("calls.json")});
    EXPECT_EQ(handed.exitCode, 0) << handed.err.toStdString();
    // A headless run has a viewer of its own, and answers as the running viewer did.
    EXPECT_EQ(handed.out, launch({"--headless", "--script", "-"}, document).out);
    ASSERT_EQ(handed.replies.size(), 4);

    const QJsonObject state = runningState();
    EXPECT_EQ(state.value("projectName").toString(), "Handed over");
    EXPECT_EQ(state.value("projectId").toString(), "2004-0815");
    const test::ProcessRun own =
        launch({"--headless", "--script", "-"}, callsDocument(R"([["Dump"]])"));
    EXPECT_EQ(own.replies.value(0).value("state").toObject().value("projectName"), "");
}

// Both kinds of link: the document in the link, and one fetched over HTTP. A link that is refused
// is reported to its caller and shown in the viewer.
TEST_F(Instances, LinksRunOnlyScriptingMethodsAndRefusedOnesAreReported) {
    QDir(m_root.path()).mkpath("served");
    ASSERT_TRUE(
        test::writeFile(m_root.filePath("served/calls.json"),
                        callsDocument(R"([["SetProjectID", "2004-0815"], ["PrintTo", "/tmp"]])")));
    tools::PlanServerOptions options;
    options.root = m_root.filePath("served");
    tools::BackgroundPlanServer server(options);
    ASSERT_NE(server.start(), 0) << server.errorString().toStdString();
    const QString address = server.baseUrl().toString() + "calls.json";
    startFirst();

    // A trusted launch's document may be larger than a page's.
    ASSERT_TRUE(test::writeFile(
        m_root.filePath("served/big.json"),
        callsDocument(R"([["GetPart", "a/b", "/"]])") + QByteArray(kMaxDocumentBytes, ' ')));
    const test::ProcessRun big = launch({server.baseUrl().toString() + "big.json"});
    EXPECT_EQ(big.replies.value(0).value("result").toString(), "a/") << big.err.toStdString();

    const test::ProcessRun inLink = launch({sheetwiseCallsUrl(callsDocument(
        R"([["SetProjectName", "From a page"], ["Dump"], ["Click", "FastViewer/toolbar"]])"))});
    const test::ProcessRun fetched =
        launch({"sheetwise:open?url=" + QString::fromLatin1(QUrl::toPercentEncoding(address))});
    for (const test::ProcessRun& run : {inLink, fetched}) {
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        ASSERT_GE(run.replies.size(), 2);
        EXPECT_TRUE(run.replies[0].value("ok").toBool());
        for (qsizetype i = 1; i < run.replies.size(); ++i) {
            EXPECT_EQ(run.replies[i].value("error").toString(), "Permission denied") << i;
        }
    }

    const test::ProcessRun refused = launch({sheetwiseCallsUrl("InitVars('http://h/')")});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(refused.replies.isEmpty());
    EXPECT_TRUE(refused.err.contains("not valid JSON")) << refused.err.toStdString();
    const QJsonObject state = runningState();
    EXPECT_EQ(state.value("projectName").toString(), "From a page");
    EXPECT_EQ(state.value("projectId").toString(), "2004-0815");
    EXPECT_TRUE(state.value("messages").toArray().contains(
        QString::fromUtf8(refused.err.trimmed()).remove(0, QString("sheetwise: ").size())));
}

// Writes `bytes` as a client would and returns everything the viewer answers before it closes.
QByteArray exchange(const QString& socket, const QByteArray& bytes, bool leaveAtOnce = false) {
    QLocalSocket client;
    client.connectToServer(socket);
    EXPECT_TRUE(client.waitForConnected(kProcessWaitMs));
    client.write(bytes);
    client.waitForBytesWritten(kProcessWaitMs);
    if (leaveAtOnce) {
        client.abort();
        return {};
    }
    QByteArray answer;
    while (client.waitForReadyRead(kProcessWaitMs) || client.bytesAvailable() > 0) {
        answer += client.readAll();
    }
    return answer;
}

TEST_F(Instances, GarbageAndVanishingPeersLeaveTheViewerServing) {
    startFirst();
    EXPECT_TRUE(exchange(m_socket, "GET / HTTP/1.0\r\n\r\n").contains("\"refused\""));
    const QByteArray hugeLink =
        encodeHandoverRequest({HandoverKind::Url, base::Trust::Untrusted, "link",
                               sheetwiseCallsUrl(QByteArray(kMaxDocumentBytes + 1, 'a')).toUtf8()});
    EXPECT_TRUE(exchange(m_socket, hugeLink).contains("larger than 1 MB"));

    // A peer that leaves in the middle of its request, and one that leaves while its calls run.
    const QByteArray cut =
        encodeHandoverRequest({HandoverKind::Document, base::Trust::Trusted, "cut",
                               callsDocument(R"([["SetProjectName", "Cut"]])")});
    exchange(m_socket, cut.left(cut.size() - 5), true);
    exchange(
        m_socket,
        encodeHandoverRequest({HandoverKind::Document, base::Trust::Trusted, "gone",
                               callsDocument(R"([["Wait", 300], ["SetProjectName", "Ran"]])")}),
        true);

    EXPECT_EQ(runningProjectName(), "Ran");
    EXPECT_EQ(m_first.state(), QProcess::Running);
}

// A stopped viewer kept a launch waiting for ever. The viewer says it is alive while a document
// runs, so a long document is still answered while a stopped viewer is given up on.
TEST_F(Instances, ALaunchWaitsForALongDocumentButGivesUpOnAStoppedViewer) {
    m_env.insert("SHEETWISE_HANDOVER_TIMEOUT_MS", "1500");
    startFirst();
    const test::ProcessRun slow =
        launch({"--script", "-"}, callsDocument(R"([["Wait", 4000], ["SetProjectName", "Slow"]])"));
    EXPECT_EQ(slow.exitCode, 0) << slow.err.toStdString();
    EXPECT_EQ(slow.replies.size(), 2);

    ::kill(static_cast<pid_t>(m_first.processId()), SIGSTOP);
    const test::ProcessRun stopped =
        launch({"--script", "-"}, callsDocument(R"([["SetProjectName", "Stopped"]])"));
    ::kill(static_cast<pid_t>(m_first.processId()), SIGCONT);
    EXPECT_EQ(stopped.exitCode, 1);
    EXPECT_TRUE(stopped.err.contains("has not answered for 1.5 s")) << stopped.err.toStdString();
}

// The socket a crashed viewer left behind is removed by the next first launch, which here runs
// the link it was given in its own window and prints the replies; later launches reach it.
TEST_F(Instances, SocketOfACrashedViewerIsCleanedUpAndAFirstLaunchRunsItsLinkInItsOwnWindow) {
    startFirst();
    m_first.kill();
    ASSERT_TRUE(m_first.waitForFinished(kProcessWaitMs));
    ASSERT_TRUE(QFileInfo::exists(m_socket));
    ASSERT_FALSE(listening());

    startFirst({sheetwiseCallsUrl(callsDocument(R"([["SetProjectName", "Own window"]])"))});
    EXPECT_EQ(runningProjectName(), "Own window");
    if (m_first.bytesAvailable() == 0) {
        m_first.waitForReadyRead(kProcessWaitMs);
    }
    EXPECT_TRUE(
        m_first.readAllStandardOutput().startsWith(R"({"call":"SetProjectName","ok":true)"));
    EXPECT_EQ(QFileInfo(m_socket).permissions() &
                  ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser),
              QFile::Permissions());
}

}  // namespace
}  // namespace sw::host
