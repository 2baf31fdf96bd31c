#pragma once

#include <QByteArray>
#include <QString>

namespace sw::base {

// Replaces the file at `path` with `bytes` in one step: the bytes go to a temporary file beside
// it, which takes the file's name only when every byte is written. A reader sees the old file
// or the new one, never a part; a failure (disk full, file size limit, read-only folder) leaves
// the old file as it was. Returns the reason of a failure, empty on success.
QString replaceFileWhole(const QString& path, const QByteArray& bytes);

}  // namespace sw::base
