// The plan server in-process: content and headers, the --status, --truncate and --stall faults,
// extra routes, stopping with open connections, and refusal of every path that would leave the
// served folder.
#include "planserver/plan_server.h"

#include "http_fetch.h"
#include "planserver/background_plan_server.h"
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>

namespace {

using sw::test::fetch;
using sw::test::PrintTo;
using sw::tools::PlanServer;
using sw::tools::PlanServerOptions;
using sw::tools::PlanServerReply;

constexpr qint64 kSheetBytes = 300'001;  // odd, so "half the body" is not a round figure
const QString kSheet = "plans/A-101.tif";

void writeFile(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

// A served folder in the plan server's layout and, beside it, a folder whose name starts like
// the served folder's, which must stay unreachable (also through links inside the served one).
class ServedFolder {
public:
    ServedFolder() {
        root = m_dir.filePath(QStringLiteral("root"));
        sheet.resize(kSheetBytes);
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(sheet.data()), kSheetBytes / 4);
        writeFile(root + '/' + kSheet, sheet);
        writeFile(root + "/plans/A-102.tif", sheet);
        writeFile(root + "/plans/planlist.txt", "hdr~A,A-101 Site Plan,A-101.tif");
        writeFile(root + "/room/page.html", "<html>room</html>");
        writeFile(m_dir.filePath("root2/secret.txt"), "secret");
        QFile::link(m_dir.filePath("root2/secret.txt"), root + "/secret-link.txt");
        QFile::link(m_dir.filePath("root2"), root + "/outside-link");
        QFile::link(root + '/' + kSheet, root + "/inside-link.tif");
    }
    QString root;
    QByteArray sheet;

private:
    QTemporaryDir m_dir;
};

class PlanServerTest : public ::testing::Test {
protected:
    // Starts a server over the folder with `options` (its root is filled in).
    void serve(PlanServerOptions options = {}) {
        options.root = m_folder.root;
        m_server = std::make_unique<PlanServer>(options);
        ASSERT_NE(m_server->start(), 0) << m_server->errorString().toStdString();
    }
    QUrl url(const QString& path) const { return m_server->baseUrl().resolved(QUrl(path)); }

    ServedFolder m_folder;
    std::unique_ptr<PlanServer> m_server;
};

TEST_F(PlanServerTest, StopEndsAStalledConnection) {
    PlanServerOptions options;
    options.stall = {"*"};
    serve(options);
    QNetworkAccessManager manager;
    std::unique_ptr<QNetworkReply> reply(manager.get(QNetworkRequest(url(kSheet))));
    // readyRead, not downloadProgress: Qt holds progress back during a reply's first 100 ms.
    QSignalSpy progress(reply.get(), &QNetworkReply::readyRead);
    QSignalSpy finished(reply.get(), &QNetworkReply::finished);
    ASSERT_TRUE(progress.wait(5000));
    m_server->stop();
    ASSERT_TRUE(finished.wait(5000)) << "the client still waits after stop()";
    EXPECT_LT(reply->readAll().size(), kSheetBytes);
}

TEST_F(PlanServerTest, RoutesAnswerBeforeTheFolderAndCanPassAndStatusRulesCoverThem) {
    PlanServerOptions options;
    options.status = {{"*/blocked", 503}};
    serve(options);
    m_server->addRoute(
        "/room/*",
        [](const QHttpServerRequest&, const QString& path) -> std::optional<PlanServerReply> {
            if (path == "/room/page.html") {
                return std::nullopt;  // the folder's file answers
            }
            return PlanServerReply::text(200, "generated " + path.toUtf8());
        });
    EXPECT_EQ(fetch(url("room/2004-0815")).body, "generated /room/2004-0815");
    EXPECT_EQ(fetch(url("room/page.html")).body, "<html>room</html>");
    EXPECT_EQ(fetch(url("room/blocked")).status, 503);
}

struct RequestCase {
    const char* name;
    const char* options;  // as on the command line (the served folder is added)
    const char* request;  // request line, the target exactly as sent
    int status;
    const char* answer = "";  // pieces the answer holds (headers, text), split at "|"
    qint64 sheetBytes = -1;   // the body is this many of the sheet's first bytes
};

class Request : public ::testing::TestWithParam<RequestCase> {};

// A file comes with its type and length (a HEAD answer with the length only), a folder as a list
// of links; only GET and HEAD are allowed. The first --status rule whose glob matches the path
// answers instead, also for a missing file; --truncate and --stall send half the body (a stalled
// answer never ends, so that only the client can give up). No answer ever comes
// from outside the folder. Raw requests, because HTTP clients clean ".." out of URLs before
// sending them; the server runs on its own thread so that the blocking reads here do not starve it.
TEST_P(Request, IsAnsweredFromTheFolderAndTheRulesAndNeverFromOutside) {
    const RequestCase& c = GetParam();
    ServedFolder folder;
    const auto parsed = sw::tools::parsePlanServerArguments(
        QString(c.options).split(' ', Qt::SkipEmptyParts) + QStringList{"--root", folder.root});
    ASSERT_TRUE(parsed.options) << parsed.message.toStdString();
    sw::tools::BackgroundPlanServer server(*parsed.options);
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, server.start());
    ASSERT_TRUE(socket.waitForConnected(5000));
    socket.write(QByteArray(c.request) + " HTTP/1.1\r\nHost: h\r\nConnection: close\r\n\r\n");
    QByteArray answer;
    while (socket.waitForReadyRead(1000)) {
        answer += socket.readAll();
    }
    // A stalled answer goes silent and keeps the connection open; every other one closes it.
    EXPECT_EQ(socket.state() == QAbstractSocket::ConnectedState,
              QByteArray(c.options).startsWith("--stall"));
    EXPECT_TRUE(answer.startsWith("HTTP/1.1 " + QByteArray::number(c.status)))
        << answer.left(80).constData();
    for (const QString& piece : QString(c.answer).split('|', Qt::SkipEmptyParts)) {
        EXPECT_TRUE(answer.contains(piece.toUtf8())) << piece.toStdString();
    }
    if (c.sheetBytes >= 0) {
        EXPECT_TRUE(answer.mid(answer.indexOf("\r\n\r\n") + 4) == folder.sheet.left(c.sheetBytes));
    }
    EXPECT_FALSE(answer.contains("secret"));
    EXPECT_FALSE(answer.contains("root:"));
}

INSTANTIATE_TEST_SUITE_P(
    Table, Request,
    ::testing::Values(
        RequestCase{"Text", "", "GET /plans/planlist.txt", 200,
                    "text/plain; charset=utf-8|A-101 Site"},
        RequestCase{"Sheet", "", "GET /plans/A-101.tif", 200, "image/tiff|Length: 300001",
                    kSheetBytes},
        RequestCase{"LinkInsideTheFolder", "", "GET /inside-link.tif", 200, "image/tiff",
                    kSheetBytes},
        RequestCase{"Folder", "", "GET /plans/", 200, "text/html|href=\"A-101.tif\""},
        RequestCase{"HeadGivesTheLengthOnly", "", "HEAD /plans/A-101.tif", 200, "Length: 300001",
                    0},
        RequestCase{"OnlyGetAndHead", "", "DELETE /plans/A-101.tif", 405},
        RequestCase{"MissingFile", "", "GET /plans/A-999.tif", 404},
        RequestCase{"StatusRule", "--status */A-102.tif=500", "GET /plans/A-102.tif", 500},
        // A glob matches the whole decoded path, "*" spanning "/", with classes and "?".
        RequestCase{"GlobIsTheWholePath", "--status A-101.tif=500", "GET /plans/A-101.tif", 200},
        RequestCase{"GlobClasses", "--status /*/[AS]-10?.tif=500", "GET /plans/A-101.tif", 500},
        RequestCase{"StatusRuleOnAMissingFile", "--status *.tif=410", "GET /nothing/x.tif", 410},
        RequestCase{"FirstStatusRuleWins", "--status *A-101*=404 --status *=500",
                    "GET /plans/A-101.tif", 404},
        RequestCase{"TruncatedIsHalfTheAnnouncedLength", "--truncate */A-101.tif",
                    "GET /plans/A-101.tif", 200, "Length: 300001", kSheetBytes / 2},
        RequestCase{"StalledIsHalfTheAnnouncedLengthThenSilence", "--stall */A-101.tif",
                    "GET /plans/A-101.tif", 200, "Length: 300001", kSheetBytes / 2},
        RequestCase{"DotDot", "", "GET /../root2/secret.txt", 403},
        RequestCase{"DotDotEvenBackInside", "", "GET /../root/plans/A-101.tif", 403},
        RequestCase{"EncodedSlash", "", "GET /..%2froot2%2fsecret.txt", 403},
        RequestCase{"EncodedDots", "", "GET /%2e%2e/root2/secret.txt", 403},
        RequestCase{"DoubleEncoded", "", "GET /%252e%252e/root2/secret.txt", 404},
        RequestCase{"Backslashes", "", "GET /..%5croot2%5csecret.txt", 403},
        RequestCase{"NulByte", "", "GET /plans/A-101.tif%00.txt", 403},
        RequestCase{"AbsoluteForm", "", "GET http://127.0.0.1/../root2/secret.txt", 403},
        RequestCase{"EtcPasswd", "", "GET /../../../../../../etc/passwd", 403},
        RequestCase{"LinkToAFileOutside", "", "GET /secret-link.txt", 403},
        RequestCase{"LinkToASiblingFolder", "", "GET /outside-link/secret.txt", 403}),
    sw::test::byName);

}  // namespace
