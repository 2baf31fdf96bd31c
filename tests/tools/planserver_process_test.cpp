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
#include <QTcpServer>
#include <QTemporaryDir>

namespace {

using sw::test::fetch;
using sw::test::PrintTo;

class PlanServerProcess : public ::testing::TestWithParam<int> {
protected:
    // Starts the program over a folder with two sheets and reads its start-up line; returns the
    // base URL it names.
    QUrl launch(const QStringList& extra = {}) {
        QDir().mkpath(m_root.filePath("plans"));
        for (const char* name : {"plans/A-101.tif", "plans/A-102.tif"}) {
            QFile file(m_root.filePath(name));
            EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write("II*\0sheet", 9) == 9);
        }
        m_process.start(sw::test::binPath("planserver"),
                        QStringList{"--root", m_root.path()} + extra);
        if (!m_process.waitForStarted(5000) || !m_process.waitForReadyRead(10000)) {
            return {};
        }
        const QString line = QString::fromUtf8(m_process.readLine());
        const QRegularExpressionMatch match =
            QRegularExpression("^planserver listening on (http://127\\.0\\.0\\.1:[1-9][0-9]*/)\n$")
                .match(line);
        EXPECT_TRUE(match.hasMatch()) << line.toStdString();
        return QUrl(match.captured(1));
    }

    void TearDown() override {
        m_process.kill();
        m_process.waitForFinished(5000);
    }

    QTemporaryDir m_root;
    QProcess m_process;
};

// With a stalled download still open, either signal ends the program at once and cleanly; it
// wrote nothing but the start-up line to stdout and its request log to stderr.
TEST_P(PlanServerProcess, ServesLogsAndStopsCleanlyOnTheSignal) {
    const QUrl base = launch({"--log", "--stall", "*/A-102.tif"});
    ASSERT_TRUE(base.isValid());
    EXPECT_EQ(fetch(base.resolved(QUrl("plans/A-101.tif"))).body, QByteArray("II*\0sheet", 9));
    fetch(base.resolved(QUrl("plans/A-102.tif")), 300);
    ::kill(static_cast<pid_t>(m_process.processId()), GetParam());
    ASSERT_TRUE(m_process.waitForFinished(10000));
    EXPECT_EQ(m_process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_process.exitCode(), 0);
    EXPECT_TRUE(m_process.readAllStandardOutput().isEmpty()) << "more than the start-up line";
    const QString log = QString::fromUtf8(m_process.readAllStandardError());
    EXPECT_TRUE(log.contains("GET /plans/A-101.tif 200")) << log.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Table, PlanServerProcess, ::testing::Values(SIGTERM, SIGINT),
                         [](const auto& info) { return info.param == SIGTERM ? "Term" : "Int"; });

struct ExitCase {
    const char* name;
    QStringList arguments;
    int exitCode;
    bool onStdout;         // the text goes to stdout (help) rather than stderr
    const char* mentions;  // what the text names; "@port" stands for a port in use
};

class PlanServerExit : public ::testing::TestWithParam<ExitCase> {};

// Help is no error; a command line the server cannot run (a missing root, a malformed rule or
// value, an unknown option) is refused with a message naming what is wrong, and a port in use is an
// error, before anything is served.
TEST_P(PlanServerExit, ExitsWithoutServing) {
    const ExitCase& c = GetParam();
    QTcpServer busy;
    ASSERT_TRUE(busy.listen(QHostAddress::LocalHost));
    const QString port = QString::number(busy.serverPort());
    QStringList arguments = c.arguments;
    QProcess process;
    process.start(sw::test::binPath("planserver"), arguments.replaceInStrings("@port", port));
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), c.exitCode);
    const QByteArray out = process.readAllStandardOutput();
    const QByteArray err = process.readAllStandardError();
    EXPECT_TRUE(
        (c.onStdout ? out : err).contains(QString(c.mentions).replace("@port", port).toUtf8()))
        << (out + err).constData();
    EXPECT_FALSE(out.contains("listening"));
}

INSTANTIATE_TEST_SUITE_P(
    Table, PlanServerExit,
    ::testing::Values(
        ExitCase{"Help", {"--help"}, 0, true, "--throttle"},
        ExitCase{"NoRoot", {}, 2, false, "--root"},
        ExitCase{"RootMissing", {"--root", "/nonexistent/plans"}, 2, false, "/nonexistent/plans"},
        ExitCase{"StatusWithoutGlob", {"--root", "/tmp", "--status", "404"}, 2, false, "--status"},
        ExitCase{"StatusOutOfRange", {"--root", "/tmp", "--status", "*=99"}, 2, false, "--status"},
        ExitCase{"ThrottleZero", {"--root", "/tmp", "--throttle", "0"}, 2, false, "--throttle"},
        ExitCase{"DelayNegative", {"--root", "/tmp", "--delay-ms", "-1"}, 2, false, "--delay-ms"},
        ExitCase{"PortTooLarge", {"--root", "/tmp", "--port", "70000"}, 2, false, "70000"},
        ExitCase{"UnknownOption", {"--root", "/tmp", "--upload"}, 2, false, "upload"},
        ExitCase{"MissingValue", {"--root", "/tmp", "--stall"}, 2, false, "stall"},
        ExitCase{"StrayArgument", {"--root", "/tmp", "extra"}, 2, false, "extra"},
        ExitCase{"PortInUse", {"--root", "/tmp", "--port", "@port"}, 1, false, "@port"}),
    sw::test::byName);

}  // namespace
