// The planserver program as scripts use it: the one start-up line that names the port, the
// request log, a clean stop on SIGTERM and SIGINT, and exit codes for bad command lines.
#include "http_fetch.h"
#include "support/test_paths.h"
#include <gtest/gtest.h>
#include <signal.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

class PlanServerProcess : public ::testing::Test {
protected:
    void SetUp() override {
        QDir().mkpath(m_root.filePath("2004/0815/plans"));
        QFile file(m_root.filePath("2004/0815/plans/A-101.tif"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("II*\0sheet", 9);
    }

    // Starts the program and reads its start-up line; returns the base URL it names.
    QUrl launch(const QStringList& extra = {}) {
        m_process.setProgram(sw::test::binPath("planserver"));
        m_process.setArguments(QStringList{"--root", m_root.path()} + extra);
        m_process.start();
        if (!m_process.waitForStarted(5000) || !m_process.waitForReadyRead(10000)) {
            return {};
        }
        const QString line = QString::fromUtf8(m_process.readLine());
        const QRegularExpression pattern(
            "^planserver listening on (http://127\\.0\\.0\\.1:[1-9][0-9]*/)\n$");
        const QRegularExpressionMatch match = pattern.match(line);
        EXPECT_TRUE(match.hasMatch()) << line.toStdString();
        return QUrl(match.captured(1));
    }

    void TearDown() override {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    QTemporaryDir m_root;
    QProcess m_process;
};

TEST_F(PlanServerProcess, PrintsItsPortServesAndStopsCleanlyOnTerm) {
    const QUrl base = launch({"--log"});
    ASSERT_TRUE(base.isValid());
    const sw::test::FetchResult result =
        sw::test::fetch(base.resolved(QUrl("2004/0815/plans/A-101.tif")));
    EXPECT_EQ(result.status, 200);
    EXPECT_EQ(result.body, QByteArray("II*\0sheet", 9));
    EXPECT_EQ(sw::test::fetch(base.resolved(QUrl("nothing.tif"))).status, 404);

    m_process.terminate();
    ASSERT_TRUE(m_process.waitForFinished(10000));
    EXPECT_EQ(m_process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_process.exitCode(), 0);
    EXPECT_TRUE(m_process.readAllStandardOutput().isEmpty()) << "more than the start-up line";
    const QString log = QString::fromUtf8(m_process.readAllStandardError());
    EXPECT_TRUE(log.contains("GET /2004/0815/plans/A-101.tif 200")) << log.toStdString();
    EXPECT_TRUE(log.contains("GET /nothing.tif 404")) << log.toStdString();
}

TEST_F(PlanServerProcess, StopsOnInterruptWithAStalledDownloadOpen) {
    const QUrl base = launch({"--stall", "*"});
    ASSERT_TRUE(base.isValid());
    sw::test::fetch(base.resolved(QUrl("2004/0815/plans/A-101.tif")), "GET", 300);
    ::kill(static_cast<pid_t>(m_process.processId()), SIGINT);
    ASSERT_TRUE(m_process.waitForFinished(10000));
    EXPECT_EQ(m_process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_process.exitCode(), 0);
}

TEST_F(PlanServerProcess, PortInUseFailsWithAMessage) {
    const QUrl base = launch();
    ASSERT_TRUE(base.isValid());
    QProcess second;
    second.start(sw::test::binPath("planserver"),
                 {"--root", m_root.path(), "--port", QString::number(base.port())});
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_TRUE(second.readAllStandardOutput().isEmpty());
    EXPECT_TRUE(second.readAllStandardError().contains(QByteArray::number(base.port())));
}

struct ExitCase {
    const char* name;
    QStringList arguments;
    int exitCode;
    bool onStdout;  // the text goes to stdout (help) rather than stderr
};

using sw::test::PrintTo;

class PlanServerExitTest : public ::testing::TestWithParam<ExitCase> {};

TEST_P(PlanServerExitTest, ExitsWithoutServing) {
    QProcess process;
    process.start(sw::test::binPath("planserver"), GetParam().arguments);
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), GetParam().exitCode);
    const QByteArray out = process.readAllStandardOutput();
    const QByteArray err = process.readAllStandardError();
    EXPECT_FALSE((GetParam().onStdout ? out : err).isEmpty());
    EXPECT_FALSE(out.contains("listening"));
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, PlanServerExitTest,
    ::testing::Values(ExitCase{"Help", {"--help"}, 0, true}, ExitCase{"NoRoot", {}, 2, false},
                      ExitCase{"RootMissing", {"--root", "/nonexistent/plans"}, 2, false},
                      ExitCase{"BadStatus", {"--root", "/tmp", "--status", "*=700"}, 2, false}),
    sw::test::byName);

}  // namespace
