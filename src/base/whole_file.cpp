#include "base/whole_file.h"

#include <QSaveFile>

namespace sw::base {

QString replaceFileWhole(const QString& path, const QByteArray& bytes) {
    // Unbuffered, so that a short write is seen here: through the write buffer a short write is
    // dropped silently and the truncated file would be committed.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
        file.write(bytes) == bytes.size() && file.error() == QFileDevice::NoError &&
        file.commit()) {
        return {};
    }
    QString reason = file.errorString();
    file.cancelWriting();
    return reason.isEmpty() ? QStringLiteral("the file could not be written whole") : reason;
}

}  // namespace sw::base
