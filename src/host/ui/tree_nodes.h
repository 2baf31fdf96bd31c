#pragma once

#include <vector>

#include <QJsonArray>
#include <QString>

#include "plans/tree_node.h"

class QTreeWidget;
class QTreeWidgetItem;

// Showing pure-logic tree nodes in a QTreeWidget and reading them back. A node's key is kept in
// the item's Qt::UserRole data of column 0.
namespace sw::host {

// Appends `nodes` to `tree` (parents before children, as plans::TreeNode promises). A node whose
// parent key is unknown becomes a top-level item.
void appendTreeNodes(QTreeWidget& tree, const std::vector<plans::TreeNode>& nodes);

// The key of an item ("" for an item not made by appendTreeNodes).
QString treeItemKey(const QTreeWidgetItem& item);

// Every item in pre-order as {"key", "text", "parent"} objects.
QJsonArray treeNodesJson(const QTreeWidget& tree);

// The first item (pre-order) whose key, or else whose text, equals `keyOrText`; nullptr if none.
QTreeWidgetItem* findTreeItem(const QTreeWidget& tree, const QString& keyOrText);

}  // namespace sw::host
