#include "plans/batch_plan.h"

#include <algorithm>

#include "base/script_error.h"
#include "base/vb.h"

namespace sw::plans {

QStringList batchListRows(const QStringList& names) {
    QStringList rows;
    for (const QString& name : names) {
        QString text = name;
        text.replace(QLatin1Char('~'), QLatin1Char('-'));
        text.replace(QLatin1Char('^'), QLatin1Char('\''));
        const qsizetype dash = text.indexOf(QLatin1Char('-'));
        if (dash >= 0) {
            rows << text.mid(dash + 1);
        }
    }
    return rows;
}

BatchChoice chooseSheets(const QStringList& names, const QStringList& files,
                         QList<int> selectedRows) {
    std::sort(selectedRows.begin(), selectedRows.end());
    selectedRows.erase(std::unique(selectedRows.begin(), selectedRows.end()), selectedRows.end());
    BatchChoice choice;
    for (const int row : selectedRows) {
        if (row < 0 || row >= names.size() || row >= files.size()) {
            throw base::ScriptError::subscriptOutOfRange();
        }
        choice.chosenFiles << files.at(row);
        choice.chosenNames << names.at(row);
    }
    choice.chosenFiles << QString();
    choice.chosenNames << QString();
    return choice;
}

QString batchSheetName(const QString& label) {
    const qsizetype tilde = label.indexOf(QLatin1Char('~'));
    if (tilde < 0) {
        return {};
    }
    const qsizetype next = label.indexOf(QLatin1Char('~'), tilde + 1);
    return next < 0 ? label.mid(tilde + 1) : label.mid(tilde + 1, next - tilde - 1);
}

std::int16_t batchRotationFor(std::int32_t degrees) {
    return base::vb::toInt16(static_cast<double>(degrees) * 100.0);
}

int countFetched(const QStringList& chosenFiles, qsizetype upTo) {
    const qsizetype end = std::min(upTo + 1, chosenFiles.size());
    int count = 0;
    for (qsizetype i = 0; i < end; ++i) {
        if (!chosenFiles.at(i).isEmpty()) {
            ++count;
        }
    }
    return count;
}

}  // namespace sw::plans
