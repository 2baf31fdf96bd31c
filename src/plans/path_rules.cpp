#include "plans/path_rules.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

#include "base/paths.h"
#include "base/script_error.h"

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
        throw base::ScriptError::invalidArgument();
    }
}

qsizetype encodedLength(QStringView text) {
    return QFile::encodeName(text.toString()).size();
}

// The longest level of `levels` in bytes.
qsizetype longestLevel(const QStringList& levels) {
    qsizetype longest = 0;
    for (const QString& level : levels) {
        longest = std::max(longest, encodedLength(level));
    }
    return longest;
}

struct Limits {
    qsizetype name = kNameMax;
    qsizetype path = kPathMax;
};

// The limits of the file system that holds `folder`, asked of the nearest folder that exists.
Limits limitsUnder(const QString& folder) {
    Limits limits;
#ifdef Q_OS_UNIX
    QString probe = QDir::cleanPath(folder.isEmpty() ? QStringLiteral(".") : folder);
    while (!QFileInfo(probe).isDir() && probe != QDir::cleanPath(QFileInfo(probe).path())) {
        probe = QDir::cleanPath(QFileInfo(probe).path());
    }
    const QByteArray native = QFile::encodeName(probe);
    if (const long name = ::pathconf(native.constData(), _PC_NAME_MAX); name > 0) {
        limits.name = name;
    }
    if (const long path = ::pathconf(native.constData(), _PC_PATH_MAX); path > 0) {
        limits.path = path;
    }
#else
    Q_UNUSED(folder);
#endif
    return limits;
}

}  // namespace

void checkSiteName(const QString& site) {
    const QString text = slashed(site);
    refuseUnless(!text.contains(QChar(0)) && !text.startsWith(QLatin1Char('/')) &&
                 !hasDrivePrefix(text));
    const QStringList levels = text.split(QLatin1Char('/'));
    refuseUnless(!levels.contains(QStringLiteral("..")));
    refuseUnless(longestLevel(levels) <= kNameMax && encodedLength(text) < kPathMax);
}

void checkProjectId(const QString& id) {
    refuseUnless(!id.contains(QChar(0)) && !id.contains(QLatin1Char('/')) &&
                 !id.contains(QLatin1Char('\\')) && id != QLatin1String(".") &&
                 id != QLatin1String("..") && !hasDrivePrefix(id) && encodedLength(id) <= kNameMax);
}

void checkPathLimits(const QString& folder, const QString& path) {
    const Limits limits = limitsUnder(folder);
    // Where the separator is "/", a "\" belongs to the name it stands in.
    const QString text = base::kPathSeparator == QLatin1Char('/') ? path : slashed(path);
    if (encodedLength(text) >= limits.path) {
        throw base::ScriptError::custom(
            QStringLiteral("Path too long: a path may have at most %1 bytes").arg(limits.path - 1));
    }
    if (longestLevel(text.split(QLatin1Char('/'))) > limits.name) {
        throw base::ScriptError::custom(
            QStringLiteral("File name too long: a folder or file name may have at most %1 bytes")
                .arg(limits.name));
    }
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
