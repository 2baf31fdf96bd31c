// The plan server's plan-room page, opened in headless Chromium: the links its script builds must
// decode to the calls that hand the project and the chosen sheet to the viewer.
#include "planserver/plan_room_page.h"

#include "http_fetch.h"
#include "planserver/background_plan_server.h"
#include <gtest/gtest.h>

#include <QDir>
#include <QJsonArray>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "host/host_test_support.h"
#include "host/sheetwise_url.h"

namespace sw::host {
namespace {

// Names that need escaping in HTML, in JSON and in a URL; none may contain "," or "~".
const QString kPlanList = QStringLiteral(
    "2004-0815 Smith & Sons \"Annex\" </script><b>100%</b>"
    "~Architectural,A-101 Site Plan,A-101.tif"
    "~Civil & Site,C-1 Grading <draft> + \"notes\",plans/C 1#2.tif"
    "~\u00c9lectricit\u00e9,\u00c9-1 \u65b0\u9986 Plan,E-1.tif");

class PlanRoomPage : public ::testing::Test {
protected:
    void SetUp() override {
        QDir(m_root.path()).mkpath("2004/0815/plans");
        ASSERT_TRUE(test::writeFile(m_root.filePath("2004/0815/plans/planlist.txt"),
                                    kPlanList.toUtf8() + "\n"));
        m_server.configure(
            [this](tools::PlanServer& server) { tools::addPlanRoomPage(server, m_root.path()); });
        ASSERT_NE(m_server.start(), 0);
    }

    QTemporaryDir m_root;
    tools::BackgroundPlanServer m_server{tools::PlanServerOptions{.root = m_root.path()}};
};

TEST_F(PlanRoomPage, LinksBuiltInTheBrowserHandTheProjectAndTheSheetToTheViewer) {
    const QString chromium = QStandardPaths::findExecutable("chromium");
    if (chromium.isEmpty()) {
        GTEST_SKIP() << "chromium is not installed (scripts/install-deps.sh installs it)";
    }
    const QUrl base = m_server.baseUrl();
    QTemporaryDir profile;
    // The page's DOM after its script ran, as headless Chromium serialises it.
    const QByteArray dom =
        test::runProgram(
            QProcessEnvironment::systemEnvironment(), chromium,
            {"--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--user-data-dir=" + profile.path(), "--dump-dom",
             base.resolved(QUrl("planroom/2004-0815")).toString()})
            .out;
    EXPECT_TRUE(dom.contains("<h1>Smith &amp; Sons")) << dom.left(2000).toStdString();

    static const QRegularExpression kHref(R"re(href="(sheetwise:[^"]*)")re");
    QList<QJsonArray> links;  // the calls of each link
    for (auto match = kHref.globalMatch(QString::fromUtf8(dom)); match.hasNext();) {
        QString href = match.next().captured(1);
        href.replace("&quot;", "\"")
            .replace("&lt;", "<")
            .replace("&gt;", ">")
            .replace("&amp;", "&");
        QString error;
        const std::optional<SheetwiseUrl> url = parseSheetwiseUrl(href, &error);
        ASSERT_TRUE(url.has_value()) << error.toStdString();
        links << readUntrustedDocument(url->document, &error).value_or(QJsonArray{error});
    }
    const QString project = kPlanList.section(u'~', 0, 0).section(u' ', 1);
    const std::pair<const char*, const char*> sheets[] = {
        {"A-101.tif", "A-101 Site Plan"},
        {"plans/C 1#2.tif", "C-1 Grading <draft> + \"notes\""},
        {"E-1.tif", "\u00c9-1 \u65b0\u9986 Plan"}};
    ASSERT_EQ(links.size(), std::size(sheets)) << dom.toStdString();
    for (qsizetype i = 0; i < links.size(); ++i) {
        EXPECT_EQ(
            links[i],
            QJsonArray({QJsonArray{"InitVars", base.toString(), "2004-0815", project, 0, "demo"},
                        QJsonArray{"MakePlanList", kPlanList},
                        QJsonArray{"SetFirstImage", sheets[i].first,
                                   QString::fromUtf8(sheets[i].second)}}))
            << "link " << i;
    }
}

TEST_F(PlanRoomPage, ProjectNumbersThatCouldLeaveTheFolderAreNotFound) {
    for (const char* path :
         {"planroom/2004-0815", "planroom/2004-0815/", "planroom/..-..", "planroom/%2E%2E-plans",
          "planroom/2004", "planroom/2004-%2F0815", "planroom/9999-0000", "planroom/"}) {
        EXPECT_EQ(sw::test::fetch(QUrl(m_server.baseUrl().toString() + QLatin1String(path))).status,
                  QByteArray(path).startsWith("planroom/2004-0815") ? 200 : 404)
            << path;
    }
}

}  // namespace
}  // namespace sw::host
