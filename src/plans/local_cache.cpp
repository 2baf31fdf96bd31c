#include "plans/local_cache.h"

#include <filesystem>
#include <system_error>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include "base/paths.h"
#include "base/script_error.h"

namespace sw::plans {

using base::kPathSeparator;

QString CleanFileName(const QString& name) {
    QString clean = name;
    static const QChar kForbidden[] = {u'/', u'\\', u'|', u'<', u'>', u':', u'*', u'?', QChar(0)};
    for (const QChar c : kForbidden) {
        clean.replace(c, QLatin1Char(' '));
    }
    return clean;
}

bool FolderExists(const QString& path) {
    if (path.isEmpty() || path.contains(QChar(0))) {
        return false;
    }
    std::error_code error;
    const bool exists =
        std::filesystem::exists(std::filesystem::path(path.toStdU16String()), error);
    return exists && !error;
}

QStringList CreateFolderPath(const QString& path) {
    const QString text = base::withTrailingSeparator(path);
    // The drive ("C:\") is the first part when the path names one; it is created with the level
    // after it. Each later level ends at the next separator.
    qsizetype start = 0;
    if (text.contains(QLatin1Char(':'))) {
        start = text.indexOf(kPathSeparator) + 1;
    }
    if (start >= text.size()) {
        throw base::ScriptError::subscriptOutOfRange();
    }
    QStringList created;
    QString cumulative = text.left(start);
    while (start < text.size()) {
        qsizetype end = text.indexOf(kPathSeparator, start);
        if (end < 0) {
            end = text.size() - 1;  // a trailing "/" on a platform whose separator is "\"
        }
        cumulative += QStringView(text).mid(start, end + 1 - start);
        start = end + 1;
        if (QDir().mkdir(cumulative)) {
            created.append(cumulative);
        }
    }
    return created;
}

void RemoveEmptyFolders(const QStringList& folders) {
    for (auto it = folders.crbegin(); it != folders.crend(); ++it) {
        QDir().rmdir(*it);
    }
}

QString projectFolder(const QString& localRoot, const QString& projectSubPath) {
    const qsizetype plans = projectSubPath.indexOf(QStringLiteral("plans"));
    if (plans < 0) {
        return localRoot + projectSubPath;
    }
    return localRoot + projectSubPath.left(plans);
}

QString sheetFilePath(const QString& folder, const QString& sheetName) {
    return folder + CleanFileName(sheetName) + QLatin1String(kSheetExtension);
}

bool writeDescriptionOnce(const QString& folder, const QString& projectName) {
    const QString path = folder + QLatin1String(kDescriptionFileName);
    if (FolderExists(path)) {
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
        if (!QFileInfo(folder).isDir()) {
            throw base::ScriptError(base::ScriptError::Code::PathNotFound);
        }
        throw base::ScriptError(base::ScriptError::Code::PermissionDenied);
    }
    const QByteArray line = projectName.toUtf8() + "\r\n";
    if (file.write(line) != line.size() || !file.flush()) {
        file.close();
        file.remove();
        throw base::ScriptError(base::ScriptError::Code::PermissionDenied);
    }
    return true;
}

std::optional<QString> readFirstLine(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray bytes = file.read(64 * 1024);
    if (bytes.isEmpty()) {
        return std::nullopt;
    }
    qsizetype end = 0;
    while (end < bytes.size() && bytes.at(end) != '\r' && bytes.at(end) != '\n') {
        ++end;
    }
    const QByteArray line = bytes.left(end);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(line);
    if (utf8.hasError()) {
        return QString::fromLatin1(line);
    }
    return text;
}

}  // namespace sw::plans
