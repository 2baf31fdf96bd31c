#include "plans/path_rules.h"

#include <QDir>

#include "host/script_error.h"

namespace sw::plans {

namespace {

QString slashed(const QString& path) {
    QString text = path;
    text.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return text;
}

bool hasDrivePrefix(const QString& name) {
    return name.size() >= 2 && name.at(0).isLetter() && name.at(1) == QLatin1Char(':');
}

void refuseUnless(bool ok) {
    if (!ok) {
        throw host::ScriptError::invalidArgument();
    }
}

}  // namespace

void checkSiteName(const QString& site) {
    const QString text = slashed(site);
    refuseUnless(!text.contains(QChar(0)) && !text.startsWith(QLatin1Char('/')) &&
                 !hasDrivePrefix(text));
    const QStringList levels = text.split(QLatin1Char('/'));
    refuseUnless(!levels.contains(QStringLiteral("..")));
}

void checkProjectId(const QString& id) {
    refuseUnless(!id.contains(QChar(0)) && !id.contains(QLatin1Char('/')) &&
                 !id.contains(QLatin1Char('\\')) && id != QLatin1String(".") &&
                 id != QLatin1String("..") && !hasDrivePrefix(id));
}

bool isInsideFolder(const QString& folder, const QString& path) {
    const QString root = QDir::cleanPath(slashed(folder));
    const QString target = QDir::cleanPath(slashed(path));
    if (root.isEmpty() || target.isEmpty()) {
        return false;
    }
    if (target == root) {
        return true;
    }
    const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
    return target.startsWith(prefix);
}

}  // namespace sw::plans
