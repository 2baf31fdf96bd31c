#include "measure/units.h"

#include <cmath>
#include <numeric>

#include <QRegularExpression>

namespace sw::measure {

namespace {

constexpr int kSixteenths = 16;
constexpr double kInchesPerFoot = 12.0;
constexpr double kSquareInchesPerSquareFoot = 144.0;

struct UnitInfo {
    Unit unit;
    const char* name;
    double inchesPer;  // inches in one of this unit, for bare numbers and decimals
};

constexpr UnitInfo kUnits[] = {
    {Unit::FeetInches, "ft-in", 1.0},
    {Unit::Feet, "ft", kInchesPerFoot},
    {Unit::Inches, "in", 1.0},
    {Unit::Metres, "m", 1000.0 / kMillimetresPerInch},
    {Unit::Millimetres, "mm", 1.0 / kMillimetresPerInch},
};

const UnitInfo& info(Unit unit) {
    for (const UnitInfo& u : kUnits) {
        if (u.unit == unit) {
            return u;
        }
    }
    return kUnits[0];
}

QString fixed(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

QString feetAndInches(double inches) {
    const long long total = std::llround(inches * kSixteenths);
    const long long perFoot = static_cast<long long>(kInchesPerFoot) * kSixteenths;
    const long long feet = total / perFoot;
    const long long rest = total % perFoot;
    QString text = QStringLiteral("%1'-%2").arg(feet).arg(rest / kSixteenths);
    if (const long long fraction = rest % kSixteenths; fraction != 0) {
        const long long common = std::gcd(fraction, static_cast<long long>(kSixteenths));
        text += QStringLiteral(" %1/%2").arg(fraction / common).arg(kSixteenths / common);
    }
    return text + QLatin1Char('"');
}

// Unicode primes and curly quotes as the ASCII marks; lower case; blanks trimmed.
QString normalised(const QString& text) {
    QString t = text.trimmed().toLower();
    t.replace(QChar(0x2032), QLatin1Char('\'')).replace(QChar(0x2019), QLatin1Char('\''));
    t.replace(QChar(0x2033), QLatin1Char('"')).replace(QChar(0x201D), QLatin1Char('"'));
    t.replace(QLatin1String("''"), QLatin1String("\""));
    return t;
}

}  // namespace

const QList<Unit>& allUnits() {
    static const QList<Unit> units = {Unit::FeetInches, Unit::Feet, Unit::Inches, Unit::Metres,
                                      Unit::Millimetres};
    return units;
}

QString unitName(Unit unit) {
    return QString::fromLatin1(info(unit).name);
}

std::optional<Unit> parseUnit(const QString& name) {
    for (const UnitInfo& u : kUnits) {
        if (name.trimmed().compare(QLatin1String(u.name), Qt::CaseInsensitive) == 0) {
            return u.unit;
        }
    }
    return std::nullopt;
}

QString formatLength(double inches, Unit unit) {
    switch (unit) {
        case Unit::FeetInches:
            return feetAndInches(inches);
        case Unit::Feet:
            return fixed(inches / kInchesPerFoot, 2) + QLatin1Char('\'');
        case Unit::Inches:
            return fixed(inches, 2) + QLatin1Char('"');
        case Unit::Metres:
            return fixed(inches * kMillimetresPerInch / 1000.0, 3) + QStringLiteral(" m");
        case Unit::Millimetres:
            return fixed(inches * kMillimetresPerInch, 0) + QStringLiteral(" mm");
    }
    return {};
}

QString formatArea(double squareInches, Unit unit) {
    const double mm2 = squareInches * kMillimetresPerInch * kMillimetresPerInch;
    switch (unit) {
        case Unit::FeetInches:
        case Unit::Feet:
            return fixed(squareInches / kSquareInchesPerSquareFoot, 2) + QStringLiteral(" sq ft");
        case Unit::Inches:
            return fixed(squareInches, 1) + QStringLiteral(" sq in");
        case Unit::Metres:
            return fixed(mm2 / 1.0e6, 3) + QStringLiteral(" m\u00B2");
        case Unit::Millimetres:
            return fixed(mm2, 0) + QStringLiteral(" mm\u00B2");
    }
    return {};
}

std::optional<double> parseLength(const QString& text, Unit bare) {
    const QString t = normalised(text);
    static const QRegularExpression metric(
        QStringLiteral(R"(^(\d+(?:\.\d*)?|\.\d+)\s*(mm|cm|m)$)"));
    // Feet (with ' or ft), then inches: a whole or decimal number, a fraction, or both, with " or
    // in, or nothing (a bare number).
    static const QRegularExpression imperial(QStringLiteral(
        R"(^(?:(\d+(?:\.\d*)?|\.\d+)\s*(?:'|ft|feet|foot)\s*-?\s*)?)"
        R"((?:(\d+(?:\.\d*)?|\.\d+)?\s*(?:(\d+)\s*/\s*(\d+))?\s*("|in|inch|inches)?)$)"));
    double inches = 0;
    if (const QRegularExpressionMatch m = metric.match(t); m.hasMatch()) {
        const double perUnit = m.captured(2) == QLatin1String("m")    ? 1000.0
                               : m.captured(2) == QLatin1String("cm") ? 10.0
                                                                      : 1.0;
        inches = m.captured(1).toDouble() * perUnit / kMillimetresPerInch;
    } else if (const QRegularExpressionMatch m = imperial.match(t); m.hasMatch()) {
        const bool hasFeet = m.capturedLength(1) > 0;
        const bool hasWhole = m.capturedLength(2) > 0;
        const bool hasFraction = m.capturedLength(3) > 0;
        if (!hasFeet && !hasWhole && !hasFraction) {
            return std::nullopt;
        }
        double inchPart = m.captured(2).toDouble();
        if (hasFraction) {
            const double denominator = m.captured(4).toDouble();
            if (denominator <= 0) {
                return std::nullopt;
            }
            inchPart += m.captured(3).toDouble() / denominator;
        }
        const bool bareNumber = !hasFeet && m.capturedLength(5) == 0;
        inches = hasFeet      ? m.captured(1).toDouble() * kInchesPerFoot + inchPart
                 : bareNumber ? inchPart * info(bare).inchesPer
                              : inchPart;
    } else {
        return std::nullopt;
    }
    if (!std::isfinite(inches) || inches < 0) {
        return std::nullopt;
    }
    return inches;
}

}  // namespace sw::measure
