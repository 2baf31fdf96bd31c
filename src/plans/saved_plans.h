#pragma once

#include <vector>

#include <QString>
#include <QStringList>

#include "plans/tree_node.h"

// The tree of saved plans, built from the local plan folder on disk: sites, projects (labelled by
// the first line of their desc.txt) and sheet files, and the look-up that finds a sheet's file
// again from the tree. Pure logic over the file system; FastViewer shows the result as its
// `LocalPlans` tree.
namespace sw::plans {

// The tree's nodes, keys "c1", "c2", ... in the order added, and `savedFolders`: for each project
// folder with a readable desc.txt, its label, "%", the folder's full path (no trailing
// separator), at indices 1 upwards; index 0 and the last index stay empty.
struct SavedPlans {
    std::vector<TreeNode> nodes;
    QStringList savedFolders;
};

// Builds the tree from `planDirectory`: level 1 one node per folder in it (site), level 2 one per
// folder in a site (project; text from its desc.txt, else the folder's name), level 3 one per
// file in a project other than "desc.txt". Folders and files come sorted by name (ignoring
// letter case, then exactly) so the order is the same on every run. Never fails: a missing
// plan folder gives an empty tree, an unreadable folder or desc.txt is skipped, and nodes past
// number 32767 are left out.
SavedPlans FillSavedPlans(const QString& planDirectory);

// True when a node's text names a sheet that can be opened: its last three characters are
// exactly "tif" (so "PLAN.TIF" and "readme.txt" are not).
bool isSavedSheetName(const QString& text);

// The file of a sheet selected in the tree through `savedFolders`: the folder of the last entry
// whose label equals `projectText` (the selected node's parent), a separator, `fileText`. With no
// match the folder is "error".
QString SelectedSavedPlanPath(const QStringList& savedFolders, const QString& projectText,
                              const QString& fileText);

// The file to open for the selected sheet node whose texts from the top level down are
// `nodeTexts` (site, project, file): planDirectory (with a trailing separator) & the texts
// joined by separators when such a file exists inside the plan folder, otherwise
// SelectedSavedPlanPath.
QString savedSheetPath(const QString& planDirectory, const QStringList& nodeTexts,
                       const QStringList& savedFolders);

}  // namespace sw::plans
