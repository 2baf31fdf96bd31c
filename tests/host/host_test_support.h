#pragma once

// Helpers shared by the host tests: small files, sample sheets, and runs of the built programs in
// a home of the test's own.
#include "support/test_paths.h"
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace sw::host::test {

using sw::test::readFile;
using sw::test::writeFile;

inline QByteArray callsDocument(const char* calls) {
    return QByteArray(R"({"calls": )") + calls + "}";
}

// Compact JSON text, so a failed comparison shows the replies.
inline std::string text(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

// The functions below live in host_test_support.cpp, which links the imaging library.

// Writes a bilevel G4 TIFF sheet of the given size in inches at `dpi`, white with a black line
// along its top and bottom edges.
void writeTestSheet(const QString& path, int widthInches, int heightInches, int dpi = 200);

// This process's environment with HOME ("home"), the XDG config, data and runtime folders
// ("config", "data", "runtime", private) created under `root`, the offscreen platform and no
// SystemRoot.
QProcessEnvironment isolatedEnvironment(const QString& root);

struct ProcessRun {
    int exitCode = -1;
    QByteArray out{};
    QByteArray err{};
    QList<QJsonObject> replies{};  // one per non-empty line of `out` (empty when not JSON)
};

// Runs `program` with `input` on its standard input and waits (two minutes at most) for its end.
ProcessRun runProgram(const QProcessEnvironment& env, const QString& program,
                      const QStringList& args, const QByteArray& input = {});
// The same for the built viewer.
ProcessRun runSheetwise(const QProcessEnvironment& env, const QStringList& args,
                        const QByteArray& input = {});

}  // namespace sw::host::test
