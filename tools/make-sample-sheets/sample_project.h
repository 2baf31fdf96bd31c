#pragma once

#include <optional>

#include <QList>
#include <QString>

// The demo project that make-sample-sheets writes: which sheets, in which groups, at which paper
// size and resolution, and the host's plan list string that names them. Pure data and text; no
// drawing here.
namespace sw::tools {

// What a sheet shows; each kind has its own drawing on the common frame and title block.
enum class SheetKind { Site, FloorPlan, Framing, Foundation, Hvac, Details, Schedules };

struct SampleSheet {
    QString group;   // "Architectural"
    QString number;  // "A-101"
    QString title;   // "Site Plan"
    SheetKind kind = SheetKind::FloorPlan;
    double widthIn = 36;  // paper size in inches, landscape
    double heightIn = 24;
    int dpi = 200;
    // 1, or 2 for the second revision: an interior wall moved, a door added, a general note
    // deleted and the whole drawing shifted a little on the paper (as a new scan would be).
    int revision = 1;

    // "A-101 Site Plan", "A-101 Site Plan Rev 2"
    QString sheetName() const {
        return number + u' ' + title +
               (revision > 1 ? QStringLiteral(" Rev %1").arg(revision) : QString());
    }
    // "A-101.tif", "A-101-R2.tif"
    QString fileName() const {
        return number + (revision > 1 ? QStringLiteral("-R%1").arg(revision) : QString()) +
               QStringLiteral(".tif");
    }
    int widthPx() const;
    int heightPx() const;
};

// The twelve sheets of the demo project in three groups. `quick` gives the same sheets on small
// paper (a third of the size) at half the resolution, for tests.
QList<SampleSheet> demoSheets(bool quick);

// `sheets` with the second revision of the sheet numbered `number` listed right after it; nothing
// when no sheet has that number.
std::optional<QList<SampleSheet>> withSecondRevision(QList<SampleSheet> sheets,
                                                     const QString& number);

inline constexpr const char* kDemoProjectName = "Riverside Community Center";

// The two folder levels of a project number, split at its first "-" ("2004-0815" gives "2004" and
// "0815"). Nothing for a number that has no "-" or whose levels are empty, ".."-like or hold
// anything but letters, digits, "_", "." and "-" (so no level can leave the output folder).
std::optional<std::pair<QString, QString>> projectLevels(const QString& projectNumber);

// The host's plan list string: a header entry, then "group,sheet name,file" per sheet, entries
// separated by "~", no trailing separator or line end.
QString planListString(const QString& projectNumber, const QList<SampleSheet>& sheets);

}  // namespace sw::tools
