#include "plans/saved_plans.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include <QDir>
#include <QFileInfo>

#include "base/paths.h"
#include "plans/local_cache.h"
#include "plans/path_rules.h"

namespace sw::plans {

using base::kPathSeparator;

namespace {

constexpr std::int32_t kLastNodeNumber = 32767;

QFileInfoList sortedEntries(const QString& folder, QDir::Filters filters) {
    QFileInfoList entries = QDir(folder).entryInfoList(
        filters | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::NoSort);
    std::sort(entries.begin(), entries.end(), [](const QFileInfo& a, const QFileInfo& b) {
        const int folded = a.fileName().compare(b.fileName(), Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a.fileName() < b.fileName();
    });
    return entries;
}

// Adds nodes with consecutive numbers from 1; once the 16-bit counter is used up, further nodes
// are left out.
class NodeAdder {
public:
    explicit NodeAdder(std::vector<TreeNode>& nodes) : m_nodes(nodes) {}

    // The index of the added node in `nodes`, or empty when it was left out.
    std::optional<std::size_t> add(const QString& text, const QString& parentKey) {
        if (m_next > kLastNodeNumber) {
            return std::nullopt;
        }
        m_nodes.push_back({QLatin1Char('c') + QString::number(m_next), text, parentKey});
        ++m_next;
        return m_nodes.size() - 1;
    }

private:
    std::vector<TreeNode>& m_nodes;
    std::int32_t m_next = 1;
};

void addProject(const QFileInfo& project, const QString& siteKey, NodeAdder& adder,
                SavedPlans& result) {
    const std::optional<std::size_t> projectIndex = adder.add(project.fileName(), siteKey);
    const QString projectKey = projectIndex ? result.nodes[*projectIndex].key : QString();
    for (const QFileInfo& file : sortedEntries(project.filePath(), QDir::Files)) {
        if (file.fileName() != QLatin1String(kDescriptionFileName)) {
            if (projectIndex) {
                adder.add(file.fileName(), projectKey);
            }
            continue;
        }
        const std::optional<QString> label = readFirstLine(file.filePath());
        if (!label || !projectIndex) {
            continue;
        }
        result.nodes[*projectIndex].text = *label;
        result.savedFolders.back() = *label + QLatin1Char('%') + project.absoluteFilePath();
        result.savedFolders.append(QString());
    }
}

}  // namespace

SavedPlans FillSavedPlans(const QString& planDirectory) {
    SavedPlans result;
    result.savedFolders = {QString(), QString()};
    NodeAdder adder(result.nodes);
    for (const QFileInfo& site : sortedEntries(planDirectory, QDir::Dirs)) {
        const std::optional<std::size_t> siteIndex = adder.add(site.fileName(), {});
        if (!siteIndex) {
            continue;
        }
        const QString siteKey = result.nodes[*siteIndex].key;
        for (const QFileInfo& project : sortedEntries(site.filePath(), QDir::Dirs)) {
            addProject(project, siteKey, adder, result);
        }
    }
    return result;
}

bool isSavedSheetName(const QString& text) {
    return text.endsWith(QLatin1String("tif"));
}

QString SelectedSavedPlanPath(const QStringList& savedFolders, const QString& projectText,
                              const QString& fileText) {
    QString folder = QStringLiteral("error");
    for (const QString& entry : savedFolders) {
        const QStringList parts = entry.split(QLatin1Char('%'));
        if (parts.size() >= 2 && parts.at(0) == projectText) {
            folder = parts.at(1);
        }
    }
    return folder + kPathSeparator + fileText;
}

QString savedSheetPath(const QString& planDirectory, const QStringList& nodeTexts,
                       const QStringList& savedFolders) {
    const QString root = base::withTrailingSeparator(planDirectory);
    const QString direct = root + nodeTexts.join(kPathSeparator);
    if (isInsideFolder(root, direct) && QFileInfo(direct).isFile()) {
        return direct;
    }
    const QString project = nodeTexts.size() >= 2 ? nodeTexts.at(nodeTexts.size() - 2) : QString();
    return SelectedSavedPlanPath(savedFolders, project, nodeTexts.value(nodeTexts.size() - 1));
}

}  // namespace sw::plans
