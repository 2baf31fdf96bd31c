#pragma once

#include <QByteArray>
#include <QString>

// Maps URL paths onto the served folder. Nothing outside the folder is ever named: ".." and "."
// segments (also percent-encoded), NUL bytes and backslashes are refused, and a path whose real
// location (symbolic links resolved) lies outside the folder is refused too. Pure functions over
// the file system; callable from any thread.
namespace sw::tools {

enum class PathKind { File, Directory, NotFound, Forbidden };

struct ResolvedPath {
    PathKind kind = PathKind::NotFound;
    QString filePath;  // canonical path inside the root, for File and Directory
};

// `canonicalRoot` must be a canonical folder path (QFileInfo::canonicalFilePath).
// `encodedPath` is the URL path as it came on the request line, still percent-encoded.
ResolvedPath resolveUnderRoot(const QString& canonicalRoot, const QByteArray& encodedPath);

// The decoded form of an encoded URL path, for globs and logs; invalid UTF-8 is replaced.
QString decodeUrlPath(const QByteArray& encodedPath);

// Content-Type for a file name by its extension: image/tiff, text/plain, text/html,
// application/json, a few more; application/octet-stream otherwise.
QByteArray contentTypeFor(const QString& fileName);

// A small HTML page listing the entries of the folder `dirPath`, served at `urlPath`, with
// links to each (folders first, names sorted). Names are escaped.
QByteArray directoryListing(const QString& dirPath, const QString& urlPath);

}  // namespace sw::tools
