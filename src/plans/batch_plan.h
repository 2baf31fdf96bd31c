#pragma once

#include <cstdint>

#include <QList>
#include <QString>
#include <QStringList>

// The bookkeeping of the batch download dialog, kept apart from its widgets: which rows the
// sheet list shows, which sheets a selection chooses, the name a sheet is stored under, and the
// project rotation in the unit the imaging control turns by. Pure logic; UI thread or any.
namespace sw::plans {

// The rows of the dialog's sheet list for the sheet labels ("c", node number, "~", sheet name):
// each label with "~" turned into "-" and then "^" into an apostrophe, cut after its first "-".
// A label without "-" (the spare empty element) adds no row, so row i stands for label i.
QStringList batchListRows(const QStringList& names);

// The sheets chosen by the selected rows, in list order, each list followed by one spare empty
// element (so both are never empty).
struct BatchChoice {
    QStringList chosenFiles;
    QStringList chosenNames;
};

// `selectedRows` are row numbers of the sheet list in any order; duplicates count once. A row
// that `names` or `files` has no element for throws "Subscript out of range".
BatchChoice chooseSheets(const QStringList& names, const QStringList& files,
                         QList<int> selectedRows);

// The sheet name inside a label: the text after its first "~" up to a further "~", if any.
// Empty for a label without "~".
QString batchSheetName(const QString& label);

// The project rotation (whole degrees) in hundredths of a degree as a 16-bit value. Outside
// -327..327 degrees the product does not fit and "Overflow" is thrown.
std::int16_t batchRotationFor(std::int32_t degrees);

// The number of chosen sheets that are fetched (those with an address) up to and including
// index `upTo` of `chosenFiles`; with upTo past the end, all of them.
int countFetched(const QStringList& chosenFiles, qsizetype upTo);

}  // namespace sw::plans
