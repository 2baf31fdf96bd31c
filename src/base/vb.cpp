#include "base/vb.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "base/script_error.h"

namespace sw::base::vb {

double roundHalfEven(double value) {
    if (!std::isfinite(value)) {
        return value;
    }
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5) {
        return floor;
    }
    if (diff > 0.5) {
        return floor + 1.0;
    }
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

namespace {
template <typename Int>
Int toInt(double value) {
    const double r = roundHalfEven(value);
    if (std::isnan(r) || r < static_cast<double>(std::numeric_limits<Int>::min()) ||
        r > static_cast<double>(std::numeric_limits<Int>::max())) {
        throw ScriptError::overflow();
    }
    return static_cast<Int>(r);
}
}  // namespace

std::int16_t toInt16(double value) {
    return toInt<std::int16_t>(value);
}

std::int32_t toInt32(double value) {
    return toInt<std::int32_t>(value);
}

std::int16_t add16(std::int16_t a, int b) {
    return toInt16(static_cast<double>(a) + b);
}

QString formatFixed(double value, int decimals) {
    const double factor = std::pow(10.0, decimals);
    // Halves away from zero; the small epsilon absorbs binary representation error (2.05 -> 2.1).
    const double scaled = std::abs(value) * factor;
    const double rounded = std::floor(scaled + 0.5 + 1e-9 * std::max(1.0, scaled));
    QString digits = QString::number(static_cast<qint64>(rounded));
    while (digits.size() <= decimals) {
        digits.prepend(QLatin1Char('0'));
    }
    QString whole = digits.left(digits.size() - decimals);
    if (whole == QLatin1String("0")) {
        whole.clear();
    }
    QString text = whole + QLatin1Char('.') + digits.right(decimals);
    if (value < 0 && rounded != 0) {
        text.prepend(QLatin1Char('-'));
    }
    return text;
}

QString singleText(float value) {
    if (value == 0.0F) {
        return QStringLiteral("0");
    }
    char buffer[64];
    const float magnitude = std::abs(value);
    std::to_chars_result result{};
    if (magnitude >= 1e15F || magnitude < 1e-5F) {
        result =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    } else {
        result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    }
    QString text = QString::fromLatin1(buffer, static_cast<int>(result.ptr - buffer));
    text.replace(QLatin1Char('e'), QLatin1Char('E'));
    return text;
}

QString doubleText(double value) {
    if (value == 0.0) {
        return QStringLiteral("0");
    }
    QString text = QString::number(value, 'g', 15);
    text.replace(QLatin1Char('e'), QLatin1Char('E'));
    return text;
}

QStringList split(const QString& text, const QString& delimiter) {
    if (text.isEmpty()) {
        return {};
    }
    if (delimiter.isEmpty()) {
        return {text};
    }
    return text.split(delimiter, Qt::KeepEmptyParts, Qt::CaseSensitive);
}

QString trimBlanks(const QString& text) {
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text.at(start) == QLatin1Char(' ')) {
        ++start;
    }
    while (end > start && text.at(end - 1) == QLatin1Char(' ')) {
        --end;
    }
    return text.mid(start, end - start);
}

QString trimLeadingBlanks(const QString& text) {
    qsizetype start = 0;
    while (start < text.size() && text.at(start) == QLatin1Char(' ')) {
        ++start;
    }
    return text.mid(start);
}

std::optional<double> parseNumber(const QString& text) {
    const QString t = trimBlanks(text);
    if (t.isEmpty()) {
        return std::nullopt;
    }
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

}  // namespace sw::base::vb
