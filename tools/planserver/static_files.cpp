#include "planserver/static_files.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace sw::tools {

QString decodeUrlPath(const QByteArray& encodedPath) {
    return QString::fromUtf8(QByteArray::fromPercentEncoding(encodedPath));
}

ResolvedPath resolveUnderRoot(const QString& canonicalRoot, const QByteArray& encodedPath) {
    const QByteArray decoded = QByteArray::fromPercentEncoding(encodedPath);
    if (!decoded.startsWith('/') || decoded.contains('\0') || decoded.contains('\\')) {
        return {PathKind::Forbidden, {}};
    }
    const QString path = QString::fromUtf8(decoded);
    QStringList segments;
    for (const QString& segment : path.split(u'/', Qt::SkipEmptyParts)) {
        if (segment == u"." || segment == u"..") {
            return {PathKind::Forbidden, {}};
        }
        segments.append(segment);
    }
    const QFileInfo info(canonicalRoot + u'/' + segments.join(u'/'));
    if (!info.exists()) {
        return {PathKind::NotFound, {}};
    }
    // Resolving links last catches a link inside the folder that points out of it.
    const QString real = info.canonicalFilePath();
    if (real != canonicalRoot && !real.startsWith(canonicalRoot + u'/')) {
        return {PathKind::Forbidden, {}};
    }
    const QFileInfo realInfo(real);
    if (realInfo.isDir()) {
        return {PathKind::Directory, real};
    }
    if (realInfo.isFile() && realInfo.isReadable()) {
        return {PathKind::File, real};
    }
    return {PathKind::Forbidden, {}};
}

QByteArray contentTypeFor(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    static const std::pair<const char*, const char*> kTypes[] = {
        {"tif", "image/tiff"},
        {"tiff", "image/tiff"},
        {"txt", "text/plain; charset=utf-8"},
        {"html", "text/html; charset=utf-8"},
        {"htm", "text/html; charset=utf-8"},
        {"json", "application/json"},
        {"css", "text/css; charset=utf-8"},
        {"js", "text/javascript; charset=utf-8"},
        {"png", "image/png"},
        {"svg", "image/svg+xml"},
        {"pdf", "application/pdf"},
    };
    for (const auto& [extension, type] : kTypes) {
        if (suffix == QLatin1String(extension)) {
            return type;
        }
    }
    return "application/octet-stream";
}

QByteArray directoryListing(const QString& dirPath, const QString& urlPath) {
    const QString base = urlPath.endsWith(u'/') ? urlPath : urlPath + u'/';
    const QString title = base.toHtmlEscaped();
    QString html = QStringLiteral(
                       "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>%1</title>"
                       "</head>\n<body><h1>%1</h1>\n<ul>\n")
                       .arg(title);
    if (base != u"/") {
        html += QStringLiteral("<li><a href=\"../\">../</a></li>\n");
    }
    const QFileInfoList entries = QDir(dirPath).entryInfoList(
        QDir::AllEntries | QDir::NoDotAndDotDot, QDir::DirsFirst | QDir::Name);
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName() + (entry.isDir() ? QStringLiteral("/") : QString());
        const QString href = QString::fromUtf8(QUrl::toPercentEncoding(entry.fileName())) +
                             (entry.isDir() ? QStringLiteral("/") : QString());
        html += QStringLiteral("<li><a href=\"%1\">%2</a></li>\n").arg(href, name.toHtmlEscaped());
    }
    html += QStringLiteral("</ul>\n</body></html>\n");
    return html.toUtf8();
}

}  // namespace sw::tools
