// make-sample-sheets as the demo and other tests use it: sheets that are real 1-bit G4 TIFFs of
// the stated size and resolution in the project's folder, byte-identical on every run, a plan list
// that the viewer's own parser reads into the expected groups and files, sheets that the plan
// server hands out at the URLs the viewer builds, and clear refusals that write nothing.
#include "http_fetch.h"
#include "planserver/plan_server.h"
#include "support/test_paths.h"
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "imaging/tiff_reader.h"
#include "plans/project_state.h"

namespace {

using sw::test::PrintTo;

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun makeSheets(const QStringList& arguments) {
    QProcess process;
    process.start(sw::test::binPath("make-sample-sheets"), arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) {
        return {};
    }
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every file under `root`, relative path → content.
QMap<QString, QByteArray> snapshot(const QString& root) {
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(root).relativeFilePath(path), readAll(path));
    }
    return files;
}

// The full-size sheets: the paper sizes and resolutions of real plan sheets. Quick sheets are a
// third of the paper size at half the resolution, a sixth of the pixels each way.
struct SheetCase {
    const char* file;
    int width;
    int height;
    int dpi;
};

const SheetCase kSheets[] = {
    {"A-101.tif", 7200, 4800, 200},  {"A-102.tif", 7200, 4800, 200},
    {"A-103.tif", 7200, 4800, 200},  {"A-104.tif", 7200, 4800, 200},
    {"A-105.tif", 14400, 9600, 400}, {"S-201.tif", 14400, 9600, 400},
    {"S-202.tif", 7200, 4800, 200},  {"S-203.tif", 7200, 4800, 200},
    {"S-204.tif", 4800, 3600, 200},  {"M-301.tif", 7200, 4800, 200},
    {"M-302.tif", 7200, 4800, 200},  {"M-303.tif", 7200, 4800, 200},
};

// The quick project "1999-A7", written once for the tests that read it.
struct QuickProject {
    QTemporaryDir dir;
    ToolRun run = makeSheets({"--quick", "--project", "1999-A7", dir.path()});
    QString plans(const QString& file = {}) const { return dir.filePath("1999/A7/plans/" + file); }
};

const QuickProject& quick() {
    static const QuickProject project;
    return project;
}

TEST(QuickSheets, WritesTheProjectSaysSoOnOneLineAndDoesItAgainByteForByte) {
    ASSERT_EQ(quick().run.exitCode, 0) << quick().run.err.toStdString();
    EXPECT_TRUE(quick().run.err.isEmpty()) << quick().run.err.toStdString();
    EXPECT_EQ(quick().run.out.count(u'\n'), 1);
    EXPECT_TRUE(quick().run.out.contains("12 sheets")) << quick().run.out.toStdString();
    EXPECT_EQ(QDir(quick().plans()).entryList(QDir::Files).size(), 13)
        << "12 sheets and planlist.txt, nothing left half-written";
    // Each quick sheet as the viewer reads it: size, bits x samples, compression, photometric and
    // resolution; and a drawing: mostly white paper, but not blank (and not inverted).
    for (const SheetCase& sheet : kSheets) {
        SCOPED_TRACE(sheet.file);
        const QByteArray bytes = readAll(QDir(quick().plans()).filePath(sheet.file));
        const sw::imaging::TiffFacts t = sw::imaging::readTiffFacts(bytes);
        EXPECT_EQ(std::tuple(t.width, t.height, t.bitsPerSample * t.samplesPerPixel, t.compression,
                             t.photometric, t.dpiX, t.dpiY),
                  std::tuple(sheet.width / 6, sheet.height / 6, 1, QString("CCITT Group 4"),
                             QString("min-is-white"), sheet.dpi / 2.0, sheet.dpi / 2.0));
        const QImage mean = sw::imaging::decodeTiff(bytes)
                                .image()
                                .convertToFormat(QImage::Format_Grayscale8)
                                .scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const double ink = 1 - qGray(mean.pixel(0, 0)) / 255.0;
        EXPECT_GT(ink, 0.01) << ink;
        EXPECT_LT(ink, 0.25);
    }
    QTemporaryDir again;
    ASSERT_EQ(makeSheets({"--quick", "--project", "1999-A7", again.path()}).exitCode, 0);
    EXPECT_TRUE(snapshot(quick().dir.path()) == snapshot(again.path()));
}

// The plan list names every sheet; the server hands every sheet out at the address the
// viewer builds from it.
TEST(QuickSheets, PlanListNamesEverySheetAndTheServerHandsThemOut) {
    sw::tools::PlanServerOptions options;
    options.root = quick().dir.path();
    sw::tools::PlanServer server(options);
    ASSERT_NE(server.start(), 0);
    const QByteArray raw = readAll(quick().plans("planlist.txt"));
    EXPECT_TRUE(raw.endsWith(".tif")) << "no line end: it would become part of the last address";
    sw::plans::ProjectState state;
    QString base = server.baseUrl().toString();
    QString project = "1999-A7";
    state.SetPlanUrl(base, project);
    std::vector<sw::plans::TreeNode> nodes;
    state.MakePlanList(QString::fromUtf8(raw), nodes);
    ASSERT_EQ(state.planFiles.size(), 13);  // twelve sheets and the spare element
    for (qsizetype k = 0; k + 1 < state.planFiles.size(); ++k) {
        const QString& file = state.planFiles[k];
        const sw::test::FetchResult result = sw::test::fetch(QUrl(state.planUrl + file));
        EXPECT_EQ(result.contentType, "image/tiff");
        EXPECT_TRUE(result.body == readAll(quick().plans(file))) << file.toStdString();
    }
}

struct RefusalCase {
    const char* name;
    QStringList arguments;  // "@" stands for the temporary folder
    int exitCode;
    const char* mentions;
};

class Refusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(Refusal, ExplainsAndWritesNothing) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath("not-a-folder"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    QStringList arguments = GetParam().arguments;
    const ToolRun run = makeSheets(arguments.replaceInStrings("@", dir.path()));
    EXPECT_EQ(run.exitCode, GetParam().exitCode);
    EXPECT_TRUE(run.err.contains(GetParam().mentions)) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(snapshot(dir.path()).keys(), QStringList{"not-a-folder"});
}

INSTANTIATE_TEST_SUITE_P(
    Table, Refusal,
    ::testing::Values(
        RefusalCase{"ProjectClimbsOut", {"--project", "..-..", "@/sub"}, 2, "..-.."},
        RefusalCase{"ProjectWithSlash", {"--project", "2004/x-0815", "@"}, 2, "2004/x-0815"},
        RefusalCase{"ProjectAbsolute", {"--project", "/etc-passwd", "@"}, 2, "/etc-passwd"},
        RefusalCase{"FolderIsAFile", {"--quick", "@/not-a-folder"}, 1, "not-a-folder"}),
    sw::test::byName);

}  // namespace
