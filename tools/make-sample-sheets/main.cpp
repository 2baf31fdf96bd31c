// make-sample-sheets: writes the demo project's plan sheets (1-bit CCITT G4 TIFF) and its plan
// list into a plan server folder: DIR/<project level 1>/<project level 2>/plans/. The output is
// the same, byte for byte, on every run.
#include "sample_project.h"
#include "sheet_tiff.h"
#include <tiffio.h>

#include <cstdio>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSaveFile>
#include <QSet>
#include <QtConcurrent>

namespace {

int fail(const QString& message) {
    std::fprintf(stderr, "make-sample-sheets: %s\n", qPrintable(message));
    return 1;
}

bool writePlanList(const QString& path, const QString& text, QString& error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit()) {
        error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Writes a demo project of synthetic plan sheets (1-bit CCITT G4 TIFF) and its plan list\n"
        "into DIR in the plan server's layout: DIR/2004/0815/plans/A-101.tif, planlist.txt.");
    parser.addHelpOption();
    parser.addPositionalArgument("DIR", "Root folder of the plan server.");
    parser.addOption({"project", "Project number, split at its first '-' into two folders.",
                      "NUMBER", "2004-0815"});
    parser.addOption({"quick", "Small sheets at low resolution with the same layout (for tests)."});
    parser.addOption({"second-revision",
                      "Also writes a second revision of sheet NUMBER (NUMBER-R2.tif, listed after "
                      "it): a wall moved, a door added, a note deleted, the drawing shifted a "
                      "little.",
                      "NUMBER"});
    parser.process(app);

    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1) {
        std::fputs(qPrintable(parser.helpText()), stderr);
        return 2;
    }
    const QString projectNumber = parser.value("project");
    const auto levels = sw::tools::projectLevels(projectNumber);
    if (!levels) {
        std::fprintf(stderr,
                     "make-sample-sheets: invalid project number '%s': expected two parts "
                     "joined by '-', each of letters, digits, '_', '.' or '-' (like 2004-0815)\n",
                     qPrintable(projectNumber));
        return 2;
    }
    const QString plans =
        QDir(positional.first()).filePath(levels->first + u'/' + levels->second + "/plans");
    if (!QDir().mkpath(plans)) {
        return fail(QStringLiteral("cannot create the folder %1").arg(plans));
    }

    // libtiff's own messages would interleave across threads; failures are reported below.
    TIFFSetWarningHandler(nullptr);
    TIFFSetErrorHandler(nullptr);
    QElapsedTimer clock;
    clock.start();
    QList<sw::tools::SampleSheet> sheets = sw::tools::demoSheets(parser.isSet("quick"));
    if (parser.isSet("second-revision")) {
        const auto revised = sw::tools::withSecondRevision(sheets, parser.value("second-revision"));
        if (!revised) {
            std::fprintf(stderr, "make-sample-sheets: no sheet numbered '%s'\n",
                         qPrintable(parser.value("second-revision")));
            return 2;
        }
        sheets = *revised;
    }
    const QList<sw::tools::SheetWriteResult> results =
        QtConcurrent::blockingMapped(sheets, [&](const sw::tools::SampleSheet& sheet) {
            return sw::tools::writeSheetTiff(QDir(plans).filePath(sheet.fileName()), sheet,
                                             projectNumber);
        });
    qint64 bytes = 0;
    for (const sw::tools::SheetWriteResult& result : results) {
        if (!result.ok) {
            return fail(result.error);
        }
        bytes += result.bytes;
    }
    QString error;
    if (!writePlanList(QDir(plans).filePath("planlist.txt"),
                       sw::tools::planListString(projectNumber, sheets), error)) {
        return fail(error);
    }
    QSet<QString> groups;
    for (const sw::tools::SampleSheet& sheet : sheets) {
        groups.insert(sheet.group);
    }
    std::printf(
        "make-sample-sheets: wrote %lld sheets in %lld groups and planlist.txt to %s "
        "(%.1f MB, %.1f s)\n",
        static_cast<long long>(sheets.size()), static_cast<long long>(groups.size()),
        qPrintable(QDir::cleanPath(plans)), static_cast<double>(bytes) / 1e6,
        static_cast<double>(clock.elapsed()) / 1000);
    return 0;
}
