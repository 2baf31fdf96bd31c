#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace sw::test {

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Absolute path of a file under tests/data (for example "corpus/drawings_bilevel/G4.TIF").
QString dataPath(const QString& relative);

// Absolute path of a program built into build/bin (for example "sheetwise").
QString binPath(const QString& program);

}  // namespace sw::test
