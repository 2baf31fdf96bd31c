#pragma once

#include <functional>
#include <vector>

#include <QString>
#include <QStringList>

#include "base/script_error.h"
#include "plans/tree_node.h"

// Helpers shared by the plans tests.
namespace sw::plans::test {

// The description of the ScriptError that `run` throws; empty when it throws none.
inline QString errorOf(const std::function<void()>& run) {
    try {
        run();
    } catch (const base::ScriptError& e) {
        return e.description();
    }
    return {};
}

// Tree nodes written as "key:text:parent" joined by "|".
inline QString describe(const std::vector<TreeNode>& nodes) {
    QStringList parts;
    for (const TreeNode& node : nodes) {
        parts << node.key + ':' + node.text + ':' + node.parentKey;
    }
    return parts.join('|');
}

}  // namespace sw::plans::test
