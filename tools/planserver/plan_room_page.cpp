#include "planserver/plan_room_page.h"

#include "planserver/static_files.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStringList>

namespace sw::tools {

namespace {

constexpr qint64 kMaxPlanListBytes = 1024 * 1024;

const char kPageStart[] = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>Plan room: %1</title>
<style>
body { font-family: sans-serif; margin: 2em; color: #12263f; }
table { border-collapse: collapse; }
th, td { padding: 0.35em 1em; border-bottom: 1px solid #c8d3e0; text-align: left; }
a.open { color: #fff; background: #1d4e89; padding: 0.2em 0.8em; border-radius: 4px;
         text-decoration: none; }
</style>
</head>
<body>
<h1>%2</h1>
<p>Project %3. The links open the sheet in Sheetwise (run <code>sheetwise --register</code> once
so that the browser hands them to the viewer).</p>
<noscript><p>The links need JavaScript.</p></noscript>
<table id="sheets">
<thead><tr><th>Group</th><th>Sheet</th><th></th></tr></thead>
<tbody>
)";

// Builds each link's sheetwise: URL from the project data, as a plan-room page hands a project
// to the viewer: InitVars, MakePlanList, SetFirstImage.
const char kPageScript[] = R"(</tbody>
</table>
<script id="project" type="application/json">%1</script>
<script>
(function () {
  var project = JSON.parse(document.getElementById('project').textContent);
  var base = window.location.origin + '/';
  document.querySelectorAll('a.open').forEach(function (link) {
    var calls = [
      ['InitVars', base, project.projectNumber, project.projectName, 0, project.site],
      ['MakePlanList', project.planList],
      ['SetFirstImage', link.dataset.file, link.dataset.name]
    ];
    link.href = 'sheetwise:calls?json=' + encodeURIComponent(JSON.stringify({calls: calls}));
  });
})();
</script>
</body>
</html>
)";

// The folder levels of a project number, or an empty list when it could leave the root.
QStringList projectLevels(const QString& projectNumber) {
    static const QRegularExpression kLevel(QStringLiteral("^[A-Za-z0-9_.-]+$"));
    const qsizetype dash = projectNumber.indexOf(u'-');
    const QStringList levels{projectNumber.left(dash), projectNumber.mid(dash + 1)};
    for (const QString& level : levels) {
        if (dash < 0 || !kLevel.match(level).hasMatch() || level == u"." || level == u"..") {
            return {};
        }
    }
    return levels;
}

QString attribute(const QString& text) {
    return text.toHtmlEscaped();
}

}  // namespace

QByteArray planRoomPage(const QString& projectNumber, const QString& planList) {
    const QStringList entries = planList.split(u'~');
    const QString header = entries.value(0);
    const qsizetype space = header.indexOf(u' ');
    const QString projectName = space < 0 ? header : header.mid(space + 1);

    QString page = QString::fromUtf8(kPageStart)
                       .arg(attribute(projectNumber + u' ' + projectName), attribute(projectName),
                            attribute(projectNumber));
    for (qsizetype i = 1; i < entries.size(); ++i) {
        const QStringList fields = entries.at(i).split(u',');
        if (fields.size() < 3) {
            continue;
        }
        page += QStringLiteral(
                    "<tr><td>%1</td><td>%2</td><td><a class=\"open\" data-file=\"%3\" "
                    "data-name=\"%2\">Open in Sheetwise</a></td></tr>\n")
                    .arg(attribute(fields.at(0)), attribute(fields.at(1)), attribute(fields.at(2)));
    }
    const QJsonObject project{
        {QStringLiteral("projectNumber"), projectNumber},
        {QStringLiteral("projectName"), projectName},
        {QStringLiteral("site"), QLatin1String(kPlanRoomSite)},
        {QStringLiteral("planList"), planList},
    };
    // "<" only occurs inside JSON strings, where its escape reads the same; no "</script>" then.
    QString json = QString::fromUtf8(QJsonDocument(project).toJson(QJsonDocument::Compact));
    json.replace(u'<', QStringLiteral("\\u003c"));
    page += QString::fromUtf8(kPageScript).arg(json);
    return page.toUtf8();
}

void addPlanRoomPage(PlanServer& server, const QString& root) {
    const QString canonicalRoot = QFileInfo(root).canonicalFilePath();
    const QString glob = QLatin1String(kPlanRoomPath) + u'*';
    server.addRoute(glob,
                    [canonicalRoot](const QHttpServerRequest&,
                                    const QString& path) -> std::optional<PlanServerReply> {
                        QString projectNumber = path.mid(QLatin1String(kPlanRoomPath).size());
                        if (projectNumber.endsWith(u'/')) {
                            projectNumber.chop(1);
                        }
                        const QStringList levels = projectLevels(projectNumber);
                        if (levels.isEmpty() || canonicalRoot.isEmpty()) {
                            return PlanServerReply::error(404);
                        }
                        const QByteArray listPath = '/' + QUrl::toPercentEncoding(levels.at(0)) +
                                                    '/' + QUrl::toPercentEncoding(levels.at(1)) +
                                                    "/plans/planlist.txt";
                        const ResolvedPath resolved = resolveUnderRoot(canonicalRoot, listPath);
                        QFile file(resolved.filePath);
                        if (resolved.kind != PathKind::File || !file.open(QIODevice::ReadOnly)) {
                            return PlanServerReply::error(404);
                        }
                        QString planList = QString::fromUtf8(file.read(kMaxPlanListBytes));
                        while (planList.endsWith(u'\n') || planList.endsWith(u'\r')) {
                            planList.chop(1);
                        }
                        PlanServerReply reply;
                        reply.contentType = "text/html; charset=utf-8";
                        reply.body = planRoomPage(projectNumber, planList);
                        return reply;
                    });
}

}  // namespace sw::tools
