#pragma once

#include <optional>

#include <QList>
#include <QString>

// The scale a sheet is drawn at: how many real inches one inch on the paper stands for. Pure
// value type and functions.
namespace sw::measure {

struct DrawingScale {
    double ratio = 1.0;                      // real inches per paper inch; 1 for "paper"
    QString text = QStringLiteral("paper");  // as the user chose or typed it

    [[nodiscard]] bool isPaper() const { return text == QLatin1String("paper"); }
    friend bool operator==(const DrawingScale&, const DrawingScale&) = default;
};

// The scales a user picks from, in order: "paper" (inches on the sheet), architectural
// 1/32" = 1'-0" to 3" = 1'-0", engineering 1" = 10' to 1" = 100', metric 1:1 to 1:1000.
const QList<DrawingScale>& presetScales();

// A scale from its text: "paper"; a preset's text; "1:N" with N > 0 (a trailing
// "(calibrated)" is allowed); or
// "PAPER = REAL" with two lengths (parseLength: 1/4" = 1'-0", 1" = 30', 1 mm = 0.5 m; a bare
// number on either side counts in inches). The result keeps the text as given (trimmed; a
// preset's own spelling when it names one). Nothing for anything else or a ratio that is not a
// positive finite number.
std::optional<DrawingScale> parseScale(const QString& text);

// The scale that makes `paperInches` on the sheet measure `realInches`, written as "1:N
// (calibrated)". Nothing when either length is not positive.
std::optional<DrawingScale> calibratedScale(double paperInches, double realInches);

}  // namespace sw::measure
