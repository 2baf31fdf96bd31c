#pragma once

#include <QString>

namespace sw::test {

// Absolute path of a file under tests/data (for example "corpus/drawings_bilevel/G4.TIF").
QString dataPath(const QString& relative);

// Absolute path of a program built into build/bin (for example "sheetwise").
QString binPath(const QString& program);

}  // namespace sw::test
