#pragma once

#include <cstdint>
#include <optional>

#include <QString>
#include <QStringList>

// Numeric and text conventions shared by every area. The system's counters and conversions follow
// fixed rules that hosts and saved files depend on: floating-point values become integers by
// rounding half to even, 16-bit counters fail with "Overflow" past 32767, the "#.0" display
// pattern drops the leading zero, and splitting an empty text yields no fields at all.
namespace sw::base::vb {

// Round to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -0.5 -> -0).
double roundHalfEven(double value);

// Conversions with the rounding above. Values outside the target range (or NaN) throw
// ScriptError "Overflow".
std::int16_t toInt16(double value);
std::int32_t toInt32(double value);

// 16-bit signed counter step: a + b, throwing "Overflow" outside -32768..32767.
std::int16_t add16(std::int16_t a, int b);

// Fixed-point display text of the patterns "#.0" (decimals = 1) and "#.00" (decimals = 2): the
// given number of fraction digits, halves rounded away from zero, and no digit before the point
// when the value is below 1 (0.5 -> ".5", 36 -> "36.0", -0.25 -> "-.3").
QString formatFixed(double value, int decimals);

// Shortest decimal text of a single-precision number, as the runtime writes it into a string
// ("1230", "12.5", "1E+08").
QString singleText(float value);

// Decimal text of a double with at most 15 significant digits and no trailing zeros ("3", "0.75").
QString doubleText(double value);

// Split with the runtime's semantics: an empty text gives an empty list (no fields); otherwise
// every occurrence of the delimiter cuts, empty fields kept. An empty delimiter gives the whole
// text as one field.
QStringList split(const QString& text, const QString& delimiter);

// Blank trimming as the runtime does it: only spaces (not tabs) are removed.
QString trimBlanks(const QString& text);
QString trimLeadingBlanks(const QString& text);

// A numeric text as the runtime's numeric conversion reads it: surrounding blanks allowed, a
// sign, digits with an optional fraction and exponent. Anything else (empty, "none", "80%")
// gives no value; callers raise "Type mismatch" or keep their previous value as their
// operation says.
std::optional<double> parseNumber(const QString& text);

}  // namespace sw::base::vb
