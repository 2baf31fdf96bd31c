#pragma once

#include <optional>

#include <QList>
#include <QString>

// Units of real-world lengths and areas, and how lengths are written and read. Every real value in
// the measuring code is kept in inches (lengths) or square inches (areas); a unit only says how a
// value is shown. Pure functions.
namespace sw::measure {

inline constexpr double kMillimetresPerInch = 25.4;

enum class Unit {
    FeetInches,   // "ft-in": 12'-3 1/2" to the nearest sixteenth of an inch
    Feet,         // "ft": decimal feet
    Inches,       // "in"
    Metres,       // "m"
    Millimetres,  // "mm"
};

// Every unit in the order a user picks them.
const QList<Unit>& allUnits();
// "ft-in", "ft", "in", "m", "mm"; and back (exact names, letter case ignored).
QString unitName(Unit unit);
std::optional<Unit> parseUnit(const QString& name);

// A length of `inches` written in `unit`: 12'-3 1/2", 12.29', 147.50", 3.744 m, 3744 mm.
QString formatLength(double inches, Unit unit);
// An area of `squareInches`: 152.35 sq ft (for ft-in and ft), 21938.4 sq in, 14.154 m², 14154193
// mm².
QString formatArea(double squareInches, Unit unit);

// A typed length in inches: feet and inches (12'-3 1/2", 12' 3", 3 1/2", 1/4", 1'), decimals with
// a unit (12.5', 10 ft, 147 in, 3.5 m, 25 cm, 250 mm); a bare number counts in `bare`. Nothing
// for text that is not a length or for a negative or non-finite one.
std::optional<double> parseLength(const QString& text, Unit bare = Unit::Inches);

}  // namespace sw::measure
