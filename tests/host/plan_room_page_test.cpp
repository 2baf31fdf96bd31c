// The plan server's plan-room page, opened in headless Chromium: the links its script builds must
// decode to the calls that hand the project and the chosen sheet to the viewer.
#include "planserver/plan_room_page.h"

#include "host_test_support.h"
#include "planserver/background_plan_server.h"
#include <gtest/gtest.h>

#include <QDir>
#include <QEventLoop>
#include <QJsonArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "host/sheetwise_url.h"

namespace sw::host {
namespace {

// Names that need escaping in HTML, in JSON and in a URL; none may contain "," or "~".
const QString kPlanList = QStringLiteral(
    "2004-0815 Smith & Sons \"Annex\" </script><b>100%</b>"
    "~Architectural,A-101 Site Plan,A-101.tif"
    "~Civil & Site,C-1 Grading <draft> + \"notes\",plans/C 1#2.tif"
    "~\u00c9lectricit\u00e9,\u00c9-1 \u65b0\u9986 Plan,E-1.tif");

struct Sheet {
    QString name;
    QString file;
};

const Sheet kSheets[] = {
    {"A-101 Site Plan", "A-101.tif"},
    {"C-1 Grading <draft> + \"notes\"", "plans/C 1#2.tif"},
    {"\u00c9-1 \u65b0\u9986 Plan", "E-1.tif"},
};

class PlanRoomPage : public ::testing::Test {
protected:
    void SetUp() override {
        const QDir root(m_root.path());
        root.mkpath("2004/0815/plans");
        ASSERT_TRUE(test::writeFile(root.filePath("2004/0815/plans/planlist.txt"),
                                    kPlanList.toUtf8() + "\n"));
        tools::PlanServerOptions options;
        options.root = m_root.path();
        m_server = std::make_unique<tools::BackgroundPlanServer>(options);
        m_server->configure(
            [this](tools::PlanServer& server) { tools::addPlanRoomPage(server, m_root.path()); });
        ASSERT_NE(m_server->start(), 0);
    }

    QTemporaryDir m_root;
    std::unique_ptr<tools::BackgroundPlanServer> m_server;
};

QString chromiumProgram() {
    for (const char* name : {"chromium", "chromium-browser", "google-chrome"}) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty()) {
            return path;
        }
    }
    return {};
}

// The page's DOM after its script ran, as headless Chromium serialises it.
QByteArray renderedPage(const QString& chromium, const QUrl& url) {
    QTemporaryDir profile;
    QProcess browser;
    browser.start(chromium, {"--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                             "--no-first-run", "--disable-background-networking",
                             "--disable-component-update", "--disable-sync",
                             "--user-data-dir=" + profile.path(), "--dump-dom", url.toString()});
    EXPECT_TRUE(browser.waitForFinished(90000)) << browser.readAllStandardError().toStdString();
    return browser.readAllStandardOutput();
}

QString htmlUnescaped(QString text) {
    return text.replace("&quot;", "\"")
        .replace("&lt;", "<")
        .replace("&gt;", ">")
        .replace("&amp;", "&");
}

TEST_F(PlanRoomPage, LinksBuiltInTheBrowserHandTheProjectAndTheSheetToTheViewer) {
    const QString chromium = chromiumProgram();
    if (chromium.isEmpty()) {
        GTEST_SKIP() << "chromium is not installed (scripts/install-deps.sh installs it)";
    }
    const QUrl base = m_server->baseUrl();
    const QByteArray dom = renderedPage(chromium, base.resolved(QUrl("planroom/2004-0815")));
    EXPECT_TRUE(dom.contains("<h1>Smith &amp; Sons")) << dom.left(2000).toStdString();

    static const QRegularExpression kHref(R"re(href="(sheetwise:[^"]*)")re");
    QList<QString> links;
    for (auto match = kHref.globalMatch(QString::fromUtf8(dom)); match.hasNext();) {
        links << htmlUnescaped(match.next().captured(1));
    }
    ASSERT_EQ(links.size(), std::size(kSheets)) << dom.toStdString();

    const QString projectName = kPlanList.section(u'~', 0, 0).section(u' ', 1);
    for (qsizetype i = 0; i < links.size(); ++i) {
        QString error;
        const std::optional<SheetwiseUrl> url = parseSheetwiseUrl(links.at(i), &error);
        ASSERT_TRUE(url.has_value()) << error.toStdString();
        const std::optional<QJsonArray> calls = readUntrustedDocument(url->document, &error);
        ASSERT_TRUE(calls.has_value()) << error.toStdString();
        const QJsonArray expected{
            QJsonArray{"InitVars", base.toString(), "2004-0815", projectName, 0, "demo"},
            QJsonArray{"MakePlanList", kPlanList},
            QJsonArray{"SetFirstImage", kSheets[i].file, kSheets[i].name},
        };
        EXPECT_EQ(*calls, expected) << "link " << i;
    }
}

TEST_F(PlanRoomPage, ProjectNumbersThatCouldLeaveTheFolderAreNotFound) {
    QNetworkAccessManager network;
    for (const char* path :
         {"planroom/2004-0815", "planroom/2004-0815/", "planroom/..-..", "planroom/%2E%2E-plans",
          "planroom/2004", "planroom/2004-%2F0815", "planroom/9999-0000", "planroom/"}) {
        QNetworkReply* reply =
            network.get(QNetworkRequest(m_server->baseUrl().toString() + QLatin1String(path)));
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const bool found = QByteArray(path).startsWith("planroom/2004-0815");
        EXPECT_EQ(status, found ? 200 : 404) << path;
        reply->deleteLater();
    }
}

}  // namespace
}  // namespace sw::host
