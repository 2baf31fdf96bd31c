#pragma once

#include <QString>

namespace sw::plans {

// One node of a tree built by pure logic and shown by a tree widget: the sheet tree of the plan
// list and the tree of saved plans. Nodes come in the order they are added; a parent always
// comes before its children.
struct TreeNode {
    QString key;        // "c" followed by the node number
    QString text;       // what the tree shows
    QString parentKey;  // empty for a top-level node

    friend bool operator==(const TreeNode&, const TreeNode&) = default;
};

}  // namespace sw::plans
