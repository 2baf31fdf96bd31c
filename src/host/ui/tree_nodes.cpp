#include "host/ui/tree_nodes.h"

#include <QHash>
#include <QJsonObject>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace sw::host {

void appendTreeNodes(QTreeWidget& tree, const std::vector<plans::TreeNode>& nodes) {
    QHash<QString, QTreeWidgetItem*> byKey;
    QList<QTreeWidgetItem*> topLevel;
    for (const plans::TreeNode& node : nodes) {
        auto* item = new QTreeWidgetItem(QStringList{node.text});
        item->setData(0, Qt::UserRole, node.key);
        QTreeWidgetItem* parent = byKey.value(node.parentKey);
        if (parent != nullptr) {
            parent->addChild(item);
        } else {
            topLevel.append(item);
        }
        byKey.insert(node.key, item);
    }
    tree.addTopLevelItems(topLevel);
}

QString treeItemKey(const QTreeWidgetItem& item) {
    return item.data(0, Qt::UserRole).toString();
}

QJsonArray treeNodesJson(const QTreeWidget& tree) {
    QJsonArray list;
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(&tree)); *it != nullptr; ++it) {
        const QTreeWidgetItem* item = *it;
        const QTreeWidgetItem* parent = item->parent();
        list.append(QJsonObject{
            {QStringLiteral("key"), treeItemKey(*item)},
            {QStringLiteral("text"), item->text(0)},
            {QStringLiteral("parent"), parent != nullptr ? treeItemKey(*parent) : QString()}});
    }
    return list;
}

QTreeWidgetItem* findTreeItem(const QTreeWidget& tree, const QString& keyOrText) {
    QTreeWidgetItem* byText = nullptr;
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(&tree)); *it != nullptr; ++it) {
        if (treeItemKey(**it) == keyOrText) {
            return *it;
        }
        if (byText == nullptr && (*it)->text(0) == keyOrText) {
            byText = *it;
        }
    }
    return byText;
}

}  // namespace sw::host
