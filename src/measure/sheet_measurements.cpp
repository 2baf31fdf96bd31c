#include "measure/sheet_measurements.h"

#include <cmath>
#include <exception>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "base/paths.h"
#include "base/script_error.h"
#include "base/whole_file.h"
#include "plans/local_cache.h"
#include "plans/path_rules.h"
#include "plans/project_state.h"

namespace sw::measure {

namespace {

constexpr char kFormat[] = "sheetwise-measurements";
constexpr int kVersion = 1;
constexpr char kFolder[] = "measurements";
constexpr char kSuffix[] = ".measure.json";
// How far a point may lie outside the sheet's edges (a click on the border pixel), pixels.
constexpr double kEdgeSlack = 1.0;

QJsonArray pointsJson(const QList<QPointF>& points) {
    QJsonArray list;
    for (const QPointF& p : points) {
        list.append(QJsonArray{p.x(), p.y()});
    }
    return list;
}

// Throws the problem's sentence.
struct Problem {
    QString text;
};

double number(const QJsonValue& v, const QString& what) {
    if (!v.isDouble() || !std::isfinite(v.toDouble())) {
        throw Problem{what + QStringLiteral(" is not a number")};
    }
    return v.toDouble();
}

Measurement itemFrom(const QJsonValue& value, int index, const SheetMeasurements& sheet) {
    const QString what = QStringLiteral("item %1").arg(index + 1);
    const QJsonObject o = value.toObject();
    const std::optional<Kind> kind = parseKind(o.value("kind").toString());
    if (!kind) {
        throw Problem{what + QStringLiteral(" has no known kind")};
    }
    const QJsonArray points = o.value("points").toArray();
    if (points.size() > kMaxPoints) {
        throw Problem{what + QStringLiteral(" has too many points")};
    }
    Measurement m{*kind, {}};
    const QRectF allowed = QRectF(QPointF(0, 0), QSizeF(sheet.size))
                               .adjusted(-kEdgeSlack, -kEdgeSlack, kEdgeSlack, kEdgeSlack);
    for (const QJsonValue& p : points) {
        const QJsonArray xy = p.toArray();
        if (xy.size() != 2) {
            throw Problem{what + QStringLiteral(" has a point that is not [x, y]")};
        }
        const QPointF at(number(xy.at(0), what), number(xy.at(1), what));
        if (!allowed.contains(at)) {
            throw Problem{what + QStringLiteral(" has a point off the sheet")};
        }
        m.points.append(at);
    }
    if (!isComplete(m)) {
        throw Problem{what + QStringLiteral(" has too few points for its kind")};
    }
    return m;
}

SheetMeasurements sheetFrom(const QJsonObject& root) {
    if (root.value("sheetwise").toString() != QLatin1String(kFormat)) {
        throw Problem{QStringLiteral("not a measurements file")};
    }
    if (root.value("version").toInt() != kVersion) {
        throw Problem{QStringLiteral("version %1 is not known")
                          .arg(root.value("version").toVariant().toString())};
    }
    SheetMeasurements sheet;
    const QJsonObject s = root.value("sheet").toObject();
    sheet.sheetName = s.value("name").toString();
    const double w = number(s.value("width"), QStringLiteral("the sheet width"));
    const double h = number(s.value("height"), QStringLiteral("the sheet height"));
    sheet.dpi = {number(s.value("dpiX"), QStringLiteral("the resolution")),
                 number(s.value("dpiY"), QStringLiteral("the resolution"))};
    if (w < 1 || h < 1 || w > (1 << 24) || h > (1 << 24) || sheet.dpi.x <= 0 || sheet.dpi.y <= 0) {
        throw Problem{QStringLiteral("the sheet size or resolution is impossible")};
    }
    sheet.size = QSize(static_cast<int>(w), static_cast<int>(h));
    const QJsonObject scale = root.value("scale").toObject();
    sheet.scale = {number(scale.value("ratio"), QStringLiteral("the scale")),
                   scale.value("text").toString()};
    if (sheet.scale.ratio <= 0 || sheet.scale.text.isEmpty()) {
        throw Problem{QStringLiteral("the scale is impossible")};
    }
    const QJsonArray items = root.value("items").toArray();
    if (items.size() > kMaxItems) {
        throw Problem{QStringLiteral("it holds more than %1 measurements").arg(kMaxItems)};
    }
    for (int i = 0; i < items.size(); ++i) {
        sheet.items.append(itemFrom(items.at(i), i, sheet));
    }
    return sheet;
}

QString withSeparator(const QString& folder) {
    return base::withTrailingSeparator(folder);
}

}  // namespace

QByteArray sidecarJson(const SheetMeasurements& sheet, Unit unit) {
    QJsonArray items;
    for (const Measurement& m : sheet.items) {
        items.append(QJsonObject{{"kind", kindName(m.kind)},
                                 {"points", pointsJson(m.points)},
                                 {"real", valueOf(m, sheet.dpi, sheet.scale).real},
                                 {"text", labelOf(m, sheet.dpi, sheet.scale, unit)}});
    }
    const QJsonObject root{
        {"sheetwise", kFormat},
        {"version", kVersion},
        {"sheet", QJsonObject{{"name", sheet.sheetName},
                              {"width", sheet.size.width()},
                              {"height", sheet.size.height()},
                              {"dpiX", sheet.dpi.x},
                              {"dpiY", sheet.dpi.y}}},
        {"scale", QJsonObject{{"text", sheet.scale.text}, {"ratio", sheet.scale.ratio}}},
        {"items", items},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<SheetMeasurements> parseSidecar(const QByteArray& text, QString* problem) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
    try {
        if (error.error != QJsonParseError::NoError) {
            throw Problem{QStringLiteral("not JSON: %1").arg(error.errorString())};
        }
        return sheetFrom(doc.object());
    } catch (const Problem& p) {
        if (problem != nullptr) {
            *problem = p.text;
        }
        return std::nullopt;
    }
}

SidecarPlace placeForServerSheet(const plans::ProjectState& project, const QString& sheetName) {
    if (project.projectId.isEmpty() || sheetName.trimmed().isEmpty()) {
        return {};
    }
    const QString folder = plans::projectFolder(project.localRoot, project.projectSubPath);
    const QString path = withSeparator(folder) + QLatin1String(kFolder) + base::kPathSeparator +
                         plans::CleanFileName(sheetName) + QLatin1String(kSuffix);
    if (!plans::isInsideFolder(project.planDirectory, path)) {
        return {};
    }
    return {path, folder, project.projectName};
}

SidecarPlace placeForSheetFile(const QString& planDirectory, const QString& sheetFile) {
    const QFileInfo file(sheetFile);
    QString base = file.fileName();
    if (base.endsWith(QLatin1String(plans::kSheetExtension))) {
        base.chop(static_cast<int>(qstrlen(plans::kSheetExtension)));
    }
    const QString path = withSeparator(file.path()) + QLatin1String(kFolder) +
                         base::kPathSeparator + base + QLatin1String(kSuffix);
    if (!plans::isInsideFolder(planDirectory, path)) {
        return {};
    }
    return {path, QString(), QString()};
}

SidecarRead readSidecar(const QString& path) {
    SidecarRead read;
    QFile file(path);
    if (path.isEmpty() || !file.exists()) {
        return read;
    }
    read.found = true;
    QString problem;
    if (!file.open(QIODevice::ReadOnly)) {
        problem = file.errorString();
    } else if (file.size() > kMaxFileBytes) {
        problem = QStringLiteral("the file is larger than %1 MB").arg(kMaxFileBytes >> 20);
    } else if (const std::optional<SheetMeasurements> sheet =
                   parseSidecar(file.readAll(), &problem)) {
        read.sheet = *sheet;
        return read;
    }
    read.problem = QStringLiteral(
                       "The measurements kept in %1 cannot be read (%2); the sheet is "
                       "shown without them.")
                       .arg(QDir::toNativeSeparators(path), problem);
    return read;
}

QString writeSidecar(const SidecarPlace& place, const SheetMeasurements& sheet, Unit unit) {
    if (place.path.isEmpty()) {
        return QStringLiteral("There is no plan folder for this sheet's measurements.");
    }
    try {
        if (!place.projectFolder.isEmpty()) {
            if (!plans::FolderExists(withSeparator(place.projectFolder))) {
                plans::CreateFolderPath(place.projectFolder);
            }
            plans::writeDescriptionOnce(withSeparator(place.projectFolder), place.projectName);
        }
    } catch (const base::ScriptError& e) {
        return e.description() + QStringLiteral(": ") + place.projectFolder;
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
    const QString folder = QFileInfo(place.path).path();
    if (!QDir().mkpath(folder)) {
        return QStringLiteral("Cannot create the folder %1").arg(QDir::toNativeSeparators(folder));
    }
    const QString failure = base::replaceFileWhole(place.path, sidecarJson(sheet, unit));
    if (!failure.isEmpty()) {
        return QStringLiteral("Cannot write %1: %2")
            .arg(QDir::toNativeSeparators(place.path), failure);
    }
    return {};
}

QList<Mark> marksOf(const SheetMeasurements& sheet, Unit unit) {
    QList<Mark> marks;
    for (const Measurement& m : sheet.items) {
        marks.append({QPolygonF(m.points), m.kind == Kind::Area,
                      labelOf(m, sheet.dpi, sheet.scale, unit), labelAnchor(m)});
    }
    return marks;
}

void setAsideDamaged(const QString& path) {
    const QString aside = path + QStringLiteral(".damaged");
    QFile::remove(aside);
    QFile::rename(path, aside);
}

}  // namespace sw::measure
