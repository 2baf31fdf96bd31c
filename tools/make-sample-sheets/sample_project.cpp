#include "sample_project.h"

#include <cmath>

#include <QRegularExpression>

namespace sw::tools {

int SampleSheet::widthPx() const {
    return static_cast<int>(std::lround(widthIn * dpi));
}

int SampleSheet::heightPx() const {
    return static_cast<int>(std::lround(heightIn * dpi));
}

QList<SampleSheet> demoSheets(bool quick) {
    const QString arch = QStringLiteral("Architectural");
    const QString structural = QStringLiteral("Structural");
    const QString mech = QStringLiteral("Mechanical");
    QList<SampleSheet> sheets = {
        {arch, "A-101", "Site Plan", SheetKind::Site},
        {arch, "A-102", "First Floor Plan", SheetKind::FloorPlan},
        {arch, "A-103", "Second Floor Plan", SheetKind::FloorPlan},
        {arch, "A-104", "Roof Plan", SheetKind::FloorPlan},
        {arch, "A-105", "Wall Sections and Details", SheetKind::Details, 36, 24, 400},
        {structural, "S-201", "Foundation Plan", SheetKind::Foundation, 36, 24, 400},
        {structural, "S-202", "Second Floor Framing Plan", SheetKind::Framing},
        {structural, "S-203", "Roof Framing Plan", SheetKind::Framing},
        {structural, "S-204", "Structural Details", SheetKind::Details, 24, 18, 200},
        {mech, "M-301", "First Floor HVAC Plan", SheetKind::Hvac},
        {mech, "M-302", "Second Floor HVAC Plan", SheetKind::Hvac},
        {mech, "M-303", "Mechanical Schedules", SheetKind::Schedules},
    };
    if (quick) {
        for (SampleSheet& sheet : sheets) {
            sheet.widthIn /= 3;
            sheet.heightIn /= 3;
            sheet.dpi /= 2;
        }
    }
    return sheets;
}

std::optional<QList<SampleSheet>> withSecondRevision(QList<SampleSheet> sheets,
                                                     const QString& number) {
    for (qsizetype i = 0; i < sheets.size(); ++i) {
        if (sheets[i].number == number) {
            SampleSheet second = sheets[i];
            second.revision = 2;
            sheets.insert(i + 1, second);
            return sheets;
        }
    }
    return std::nullopt;
}

std::optional<std::pair<QString, QString>> projectLevels(const QString& projectNumber) {
    const qsizetype dash = projectNumber.indexOf(u'-');
    if (dash < 0) {
        return std::nullopt;
    }
    static const QRegularExpression kLevel(QStringLiteral("^[A-Za-z0-9_][A-Za-z0-9_.-]*$"));
    const QString first = projectNumber.left(dash);
    const QString second = projectNumber.mid(dash + 1);
    if (!kLevel.match(first).hasMatch() || !kLevel.match(second).hasMatch()) {
        return std::nullopt;
    }
    return std::pair{first, second};
}

QString planListString(const QString& projectNumber, const QList<SampleSheet>& sheets) {
    QString list = projectNumber + u' ' + QLatin1String(kDemoProjectName);
    for (const SampleSheet& sheet : sheets) {
        list += u'~' + sheet.group + u',' + sheet.sheetName() + u',' + sheet.fileName();
    }
    return list;
}

}  // namespace sw::tools
