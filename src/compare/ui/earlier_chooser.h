#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QTreeWidget;
class QTreeWidgetItem;

namespace sw::compare {

// One sheet the earlier revision can be: what to call it and where to load it from (an http(s) or
// file URL, or a local path).
struct EarlierSheet {
    QString label;
    QString address;
};

// The "Compare with" dialog: asks for the earlier revision among the project's sheets and the
// saved plans, or a TIFF file chosen with "File...". Opens window-modal without blocking (so a
// script can drive it); chosen() comes once when the user picks a sheet (double-click, Enter or
// "Compare"), then the dialog closes. Object names: the dialog "CompareWith",
// the tree "sheets", the buttons "compare", "file" and "cancel".
class EarlierChooser : public QDialog {
    Q_OBJECT

public:
    EarlierChooser(const QList<EarlierSheet>& projectSheets, const QList<EarlierSheet>& saved,
                   QWidget* parent);

signals:
    void chosen(const sw::compare::EarlierSheet& sheet);

private:
    void choose(const QTreeWidgetItem* item);
    void chooseFile();

    QTreeWidget* m_tree = nullptr;
    bool m_done = false;  // a sheet was chosen
};

}  // namespace sw::compare
