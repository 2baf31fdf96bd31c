#include "measure/measure_command.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "imaging/imaging_error.h"
#include "imaging/tiff_reader.h"
#include "measure/drawing_scale.h"
#include "measure/measurement.h"

namespace sw::measure {

namespace {

constexpr char kUsage[] =
    "usage: sheetwise measure SHEET.tif --scale TEXT --points x1,y1,x2,y2[,...] [--area]\n"
    "                         [--units ft-in|ft|in|m|mm]\n"
    "\n"
    "Measures on a sheet from the same code as the viewer's Measure tool and prints one JSON\n"
    "object: kind, scale, ratio (real inches per paper inch), points, real (inches, or square\n"
    "inches for an area), perimeter (inches, areas only) and text (the label as the viewer shows\n"
    "it). Points are sheet pixels of the file as stored (x to the right, y down); two points give\n"
    "a length, more a path, --area a closed area of three or more. The scale is \"paper\"\n"
    "(inches on the sheet), a preset such as 1/4\" = 1'-0\", 1\" = 20' or 1:50, or any\n"
    "\"PAPER = REAL\" pair of lengths.\n";

[[noreturn]] void refuse(const QString& why) {
    throw std::invalid_argument(why.toStdString());
}

QList<QPointF> pointsFrom(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (parts.size() % 2 != 0 || parts.isEmpty()) {
        refuse(QStringLiteral("--points needs pairs of numbers: x1,y1,x2,y2,..."));
    }
    QList<QPointF> points;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        bool okX = false;
        bool okY = false;
        const double x = parts.at(i).trimmed().toDouble(&okX);
        const double y = parts.at(i + 1).trimmed().toDouble(&okY);
        if (!okX || !okY || !std::isfinite(x) || !std::isfinite(y)) {
            refuse(
                QStringLiteral("--points: %1,%2 is not a point").arg(parts.at(i), parts.at(i + 1)));
        }
        points.append({x, y});
    }
    return points;
}

}  // namespace

QString measureJson(const QString& sheetPath, const QString& scaleText, const QString& points,
                    bool area, const QString& units) {
    const std::optional<DrawingScale> scale = parseScale(scaleText);
    if (!scale) {
        refuse(QStringLiteral("%1 is not a drawing scale").arg(scaleText));
    }
    const std::optional<Unit> unit = parseUnit(units);
    if (!unit) {
        refuse(QStringLiteral("%1 is not a unit (ft-in, ft, in, m, mm)").arg(units));
    }
    Measurement m{Kind::Length, pointsFrom(points)};
    m.kind = area ? Kind::Area : m.points.size() > 2 ? Kind::Path : Kind::Length;
    if (!isComplete(m)) {
        refuse(area ? QStringLiteral("An area needs three or more points")
                    : QStringLiteral("A length needs two points"));
    }
    const imaging::TiffFacts facts = imaging::readTiffFacts(imaging::readLocalFile(sheetPath));
    const QRectF sheet(0, 0, facts.width, facts.height);
    QJsonArray pointList;
    for (const QPointF& p : m.points) {
        if (!sheet.contains(p)) {
            throw std::out_of_range(
                QStringLiteral("The point %1,%2 lies off the sheet of %3 x %4 pixels")
                    .arg(p.x())
                    .arg(p.y())
                    .arg(facts.width)
                    .arg(facts.height)
                    .toStdString());
        }
        pointList.append(QJsonArray{p.x(), p.y()});
    }
    const Resolution dpi{facts.dpiX, facts.dpiY};
    const Value value = valueOf(m, dpi, *scale);
    QJsonObject out{{"kind", kindName(m.kind)},
                    {"scale", scale->text},
                    {"ratio", scale->ratio},
                    {"units", unitName(*unit)},
                    {"points", pointList},
                    {"real", value.real},
                    {"text", labelOf(m, dpi, *scale, *unit)}};
    if (m.kind == Kind::Area) {
        out.insert("perimeter", value.perimeter);
    }
    return QString::fromUtf8(QJsonDocument(out).toJson(QJsonDocument::Compact)) +
           QLatin1Char('\n');
}

int runMeasureCommand(int argc, char** argv) {
    std::unique_ptr<QCoreApplication> app;
    if (QCoreApplication::instance() == nullptr) {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QString sheet;
    QString scale;
    QString points;
    QString units = QStringLiteral("ft-in");
    bool area = false;
    for (int i = 2; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--scale") == 0 && hasValue) {
            scale = QString::fromLocal8Bit(argv[++i]);
        } else if (std::strcmp(argv[i], "--points") == 0 && hasValue) {
            points = QString::fromLocal8Bit(argv[++i]);
        } else if (std::strcmp(argv[i], "--units") == 0 && hasValue) {
            units = QString::fromLocal8Bit(argv[++i]);
        } else if (std::strcmp(argv[i], "--area") == 0) {
            area = true;
        } else if (sheet.isEmpty() && argv[i][0] != '-') {
            sheet = QString::fromLocal8Bit(argv[i]);
        } else {
            sheet.clear();
            break;
        }
    }
    if (sheet.isEmpty() || scale.isEmpty() || points.isEmpty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    try {
        std::fputs(qPrintable(measureJson(sheet, scale, points, area, units)), stdout);
    } catch (const std::invalid_argument& e) {
        std::fprintf(stderr, "sheetwise: %s\n", e.what());
        return 2;
    } catch (const std::out_of_range& e) {
        std::fprintf(stderr, "sheetwise: %s\n", e.what());
        return 1;
    } catch (const imaging::ImagingError& e) {
        const QString text = e.message().contains(sheet)
                                 ? e.message()
                                 : sheet + QStringLiteral(": ") + e.message();
        std::fprintf(stderr, "sheetwise: %s\n", qPrintable(text));
        return 1;
    }
    return 0;
}

}  // namespace sw::measure
