#include "measure/drawing_scale.h"

#include <cmath>

#include <QRegularExpression>

#include "measure/units.h"

namespace sw::measure {

namespace {

constexpr char kCalibrated[] = "(calibrated)";

DrawingScale architectural(const char* paper, double paperInches) {
    return {12.0 / paperInches, QString::fromUtf8(paper) + QStringLiteral(" = 1'-0\"")};
}

DrawingScale engineering(int feet) {
    return {feet * 12.0, QStringLiteral("1\" = %1'").arg(feet)};
}

DrawingScale metric(int n) {
    return {static_cast<double>(n), QStringLiteral("1:%1").arg(n)};
}

// Blanks do not count when a typed text is compared with a preset's.
QString squeezed(const QString& text) {
    QString s = text;
    s.remove(QLatin1Char(' '));
    return s.toLower();
}

std::optional<DrawingScale> valid(double ratio, const QString& text) {
    if (!std::isfinite(ratio) || ratio <= 0) {
        return std::nullopt;
    }
    return DrawingScale{ratio, text};
}

}  // namespace

const QList<DrawingScale>& presetScales() {
    static const QList<DrawingScale> scales = {
        DrawingScale{},
        architectural("1/32\"", 1.0 / 32),
        architectural("1/16\"", 1.0 / 16),
        architectural("3/32\"", 3.0 / 32),
        architectural("1/8\"", 1.0 / 8),
        architectural("3/16\"", 3.0 / 16),
        architectural("1/4\"", 1.0 / 4),
        architectural("3/8\"", 3.0 / 8),
        architectural("1/2\"", 1.0 / 2),
        architectural("3/4\"", 3.0 / 4),
        architectural("1\"", 1.0),
        architectural("1 1/2\"", 1.5),
        architectural("3\"", 3.0),
        engineering(10),
        engineering(20),
        engineering(30),
        engineering(40),
        engineering(50),
        engineering(60),
        engineering(100),
        metric(1),
        metric(2),
        metric(5),
        metric(10),
        metric(20),
        metric(25),
        metric(50),
        metric(100),
        metric(200),
        metric(250),
        metric(500),
        metric(1000),
    };
    return scales;
}

std::optional<DrawingScale> parseScale(const QString& text) {
    const QString trimmed = text.trimmed();
    for (const DrawingScale& preset : presetScales()) {
        if (squeezed(preset.text) == squeezed(trimmed)) {
            return preset;
        }
    }
    static const QRegularExpression ratio(
        QStringLiteral(R"(^1\s*:\s*(\d+(?:\.\d*)?|\.\d+)\s*(?:\(calibrated\))?$)"));
    if (const QRegularExpressionMatch m = ratio.match(trimmed); m.hasMatch()) {
        return valid(m.captured(1).toDouble(), trimmed);
    }
    const qsizetype equals = trimmed.indexOf(QLatin1Char('='));
    if (equals < 0 || trimmed.indexOf(QLatin1Char('='), equals + 1) >= 0) {
        return std::nullopt;
    }
    const std::optional<double> paper = parseLength(trimmed.left(equals));
    const std::optional<double> real = parseLength(trimmed.mid(equals + 1));
    if (!paper || !real || *paper <= 0) {
        return std::nullopt;
    }
    return valid(*real / *paper, trimmed);
}

std::optional<DrawingScale> calibratedScale(double paperInches, double realInches) {
    if (!(paperInches > 0) || !(realInches > 0)) {
        return std::nullopt;
    }
    const double r = realInches / paperInches;
    return valid(r, QStringLiteral("1:%1 %2").arg(QString::number(r, 'g', 6), kCalibrated));
}

}  // namespace sw::measure
