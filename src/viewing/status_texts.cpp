#include "viewing/status_texts.h"

#include "base/vb.h"

namespace sw::viewing {
namespace {

namespace vb = base::vb;

// Field 1 (the plan name) of a plan entry, when the entry has one.
std::optional<QString> entryName(const QString& entry) {
    if (entry.isEmpty()) {
        return std::nullopt;
    }
    const QStringList fields = vb::split(entry, QStringLiteral("~"));
    if (fields.size() < 2) {
        return std::nullopt;
    }
    return fields.at(1);
}

QString withoutBlanks(QString text) {
    return text.remove(QLatin1Char(' '));
}

}  // namespace

std::optional<QString> SheetSizeText(int widthPixels, int heightPixels, double dpiX, double dpiY) {
    if (dpiX <= 0.0 || dpiY <= 0.0) {
        return std::nullopt;
    }
    return vb::formatFixed(widthPixels / dpiX, 1) + QStringLiteral(" x ") +
           vb::formatFixed(heightPixels / dpiY, 1);
}

QString ProgressText(int percent) {
    return QString::number(percent) + QLatin1Char('%');
}

QString PointerText(float xTwips, float yTwips) {
    return QLatin1Char('(') + vb::singleText(xTwips) + QLatin1Char(',') + vb::singleText(yTwips) +
           QLatin1Char(')');
}

std::optional<PlanCounter> ShowPlanCounter(const QStringList& planLabels, const QString& panel1) {
    const qsizetype count = planLabels.size() - 1;
    const QString wanted = vb::trimBlanks(panel1);
    std::optional<PlanCounter> counter;
    for (qsizetype i = 0; i < count; ++i) {
        const std::optional<QString> name = entryName(planLabels.at(i));
        if (name && vb::trimBlanks(*name) == wanted) {
            counter = PlanCounter{static_cast<std::int16_t>(i),
                                  QStringLiteral("Plan %1 of %2").arg(i + 1).arg(count)};
        }
    }
    return counter;
}

std::optional<AdjacentPlan> FindAdjacentPlan(const QStringList& planLabels,
                                             const QStringList& planFiles, const QString& panel1,
                                             bool previous) {
    const QString wanted = withoutBlanks(panel1);
    qsizetype found = -1;
    for (qsizetype i = 0; i < planLabels.size(); ++i) {
        const std::optional<QString> name = entryName(planLabels.at(i));
        if (name && withoutBlanks(*name) == wanted) {
            found = i;
        }
    }
    if (found < 0) {
        return std::nullopt;
    }
    const qsizetype filesUpper = planFiles.size() - 1;
    qsizetype target = 0;
    if (previous) {
        target = (found == 0 ? filesUpper : found) - 1;
    } else {
        target = (found == filesUpper - 1 ? -1 : found) + 1;
    }
    AdjacentPlan plan;
    if (target >= 0 && target < planFiles.size()) {
        plan.address = planFiles.at(target);
    }
    if (target >= 0 && target < planLabels.size()) {
        plan.name = entryName(planLabels.at(target));
    }
    return plan;
}

}  // namespace sw::viewing
