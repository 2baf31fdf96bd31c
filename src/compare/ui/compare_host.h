#pragma once

#include <QString>
#include <QStringList>

namespace sw::compare {

// What the comparison needs of the viewer that hosts it: the project's sheet list and addresses,
// the plan folder, a place for messages and the toolbar button. FastViewer implements it.
// UI thread only.
class CompareHost {
public:
    virtual ~CompareHost() = default;

    // The two parallel sheet-list arrays (labels "c<node>~<name>", addresses relative to the plan
    // URL) and the plan URL prefix.
    [[nodiscard]] virtual QStringList planLabels() const = 0;
    [[nodiscard]] virtual QStringList planFiles() const = 0;
    [[nodiscard]] virtual QString planUrl() const = 0;
    // The plan folder (saved sheets live in its site and project folders).
    [[nodiscard]] virtual QString planDirectory() const = 0;
    // Shows a message to the user (a message box, or the headless runner's record).
    virtual void showMessage(const QString& text) = 0;
    // The "Compare" button pressed (while comparing) or released.
    virtual void showCompareButton(bool pressed) = 0;
};

}  // namespace sw::compare
