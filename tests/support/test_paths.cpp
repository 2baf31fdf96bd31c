#include "support/test_paths.h"

#include <QDir>

namespace sw::test {

QString dataPath(const QString& relative) {
    return QDir(QStringLiteral(SW_TEST_DATA_DIR)).filePath(relative);
}

QString binPath(const QString& program) {
    return QDir(QStringLiteral(SW_BIN_DIR)).filePath(program);
}

}  // namespace sw::test
