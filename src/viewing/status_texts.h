#pragma once

#include <cstdint>
#include <optional>

#include <QString>
#include <QStringList>

namespace sw::viewing {

// The texts of the status bar and the plan-list look-ups behind the plan counter and the
// "Previous"/"Next" commands. Pure functions; the plan list is the pair of parallel arrays
// `planLabels` ("c<node>~<name>") and `planFiles` (addresses), each ending with one empty spare
// element, so that the upper bound of each equals the number of plans.

// Sheet size in inches, "#.0 x #.0" (for example "36.0 x 24.0"; ".5" below one inch). A zero
// resolution gives no text.
std::optional<QString> SheetSizeText(int widthPixels, int heightPixels, double dpiX, double dpiY);

// Load progress, "<n>%".
QString ProgressText(int percent);

// Pointer position in twips, "(x,y)" with each number the shortest text of a single-precision
// value (for example "(1230,450)").
QString PointerText(float xTwips, float yTwips);

// The plan counter for the plan named by panel 1: its index and "Plan <i+1> of <N>". With
// duplicate names the last match counts; names are compared with surrounding blanks removed.
// No match (or no list) gives nothing, and panel 3 keeps its text.
struct PlanCounter {
    std::int16_t index = 0;
    QString text;
};
std::optional<PlanCounter> ShowPlanCounter(const QStringList& planLabels, const QString& panel1);

// The plan before (`previous`) or after the one named by panel 1, wrapping around both ends.
// Names are compared with every blank removed; the last match counts. `name` is set when the
// neighbour's entry could be read (it becomes `currentPlanName`), `address` is empty when there
// is nothing to load. Nothing at all when the current plan is not in the list.
struct AdjacentPlan {
    QString address;
    std::optional<QString> name;
};
std::optional<AdjacentPlan> FindAdjacentPlan(const QStringList& planLabels,
                                             const QStringList& planFiles, const QString& panel1,
                                             bool previous);

}  // namespace sw::viewing
