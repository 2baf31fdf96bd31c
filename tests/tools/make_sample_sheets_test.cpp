// make-sample-sheets as the demo and other tests use it: sheets that are real 1-bit G4 TIFFs of
// the stated size and resolution, byte-identical on every run, a plan list that the viewer's own
// parser reads into the expected groups and files, sheets that the plan server hands out at the
// URLs the viewer builds, and clear refusals that write nothing.
#include "http_fetch.h"
#include "planserver/plan_server.h"
#include "support/test_paths.h"
#include <gtest/gtest.h>
#include <tiffio.h>

#include <bit>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "plans/project_state.h"

namespace {

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun makeSheets(const QStringList& arguments) {
    QProcess process;
    process.start(sw::test::binPath("make-sample-sheets"), arguments);
    ToolRun run;
    if (!process.waitForFinished(120000)) {
        process.kill();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
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

struct SheetCase {
    const char* file;
    uint32_t width;
    uint32_t height;
    int dpi;
};

// A sheet as libtiff reads it back, in one line: size, bits x samples, compression, photometric,
// resolution unit and resolution.
QString describe(uint32_t w, uint32_t h, uint16_t bits, uint16_t samples, uint16_t compression,
                 uint16_t photometric, uint16_t unit, float xres, float yres) {
    return QString::asprintf("%ux%u %ux%u bit, compression %u, photometric %u, unit %u, %gx%g dpi",
                             w, h, bits, samples, compression, photometric, unit, xres, yres);
}

void expectSheet(const QString& path, const SheetCase& expected) {
    TIFF* tiff = TIFFOpen(QFile::encodeName(path).constData(), "r");
    ASSERT_NE(tiff, nullptr) << path.toStdString();
    uint32_t w = 0, h = 0;
    uint16_t bits = 0, samples = 0, compression = 0, photometric = 0, unit = 0;
    float xres = 0, yres = 0;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &h);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetField(tiff, TIFFTAG_COMPRESSION, &compression);
    TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
    TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &xres);
    TIFFGetField(tiff, TIFFTAG_YRESOLUTION, &yres);
    EXPECT_EQ(describe(w, h, bits, samples, compression, photometric, unit, xres, yres),
              describe(expected.width, expected.height, 1, 1, COMPRESSION_CCITTFAX4,
                       PHOTOMETRIC_MINISWHITE, RESUNIT_INCH, expected.dpi, expected.dpi));
    QByteArray row(TIFFScanlineSize(tiff), '\0');
    qint64 black = 0;
    bool decoded = true;
    for (uint32_t y = 0; y < h && decoded; ++y) {
        decoded = TIFFReadScanline(tiff, row.data(), y, 0) == 1;
        for (const char byte : row) {
            black += std::popcount(static_cast<unsigned char>(byte));
        }
    }
    TIFFClose(tiff);
    EXPECT_TRUE(decoded);
    // A drawing: mostly white paper, but not blank (and not inverted).
    const double blackShare = static_cast<double>(black) / (double(w) * h);
    EXPECT_GT(blackShare, 0.01);
    EXPECT_LT(blackShare, 0.25);
}

// The full-size sheets: the paper sizes and resolutions of real plan sheets. Quick sheets are a
// third of the paper size at half the resolution, a sixth of the pixels each way.
const SheetCase kSheets[] = {
    {"A-101.tif", 7200, 4800, 200},  {"A-102.tif", 7200, 4800, 200},
    {"A-103.tif", 7200, 4800, 200},  {"A-104.tif", 7200, 4800, 200},
    {"A-105.tif", 14400, 9600, 400}, {"S-201.tif", 14400, 9600, 400},
    {"S-202.tif", 7200, 4800, 200},  {"S-203.tif", 7200, 4800, 200},
    {"S-204.tif", 4800, 3600, 200},  {"M-301.tif", 7200, 4800, 200},
    {"M-302.tif", 7200, 4800, 200},  {"M-303.tif", 7200, 4800, 200},
};

const char* const kPlans = "2004/0815/plans";

class QuickSheets : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = new QTemporaryDir;
        s_run = makeSheets({"--quick", s_dir->path()});
    }
    static void TearDownTestSuite() {
        delete s_dir;
        s_dir = nullptr;
    }
    static QString plansPath(const QString& file = {}) {
        return QDir(s_dir->filePath(kPlans)).filePath(file);
    }
    static inline QTemporaryDir* s_dir = nullptr;
    static inline ToolRun s_run;
};

TEST_F(QuickSheets, WritesTheProjectSaysSoOnOneLineAndDoesItAgainByteForByte) {
    ASSERT_EQ(s_run.exitCode, 0) << s_run.err.toStdString();
    EXPECT_TRUE(s_run.err.isEmpty()) << s_run.err.toStdString();
    EXPECT_EQ(s_run.out.count(u'\n'), 1);
    EXPECT_TRUE(s_run.out.contains("12 sheets")) << s_run.out.toStdString();
    QStringList files = QDir(plansPath()).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(files.size(), 13) << "12 sheets and planlist.txt, nothing left half-written";
    EXPECT_TRUE(files.filter(".part").isEmpty());
    for (const SheetCase& sheet : kSheets) {
        SCOPED_TRACE(sheet.file);
        expectSheet(plansPath(sheet.file),
                    {sheet.file, sheet.width / 6, sheet.height / 6, sheet.dpi / 2});
    }
    // A second run gives the same bytes.
    QTemporaryDir again;
    ASSERT_EQ(makeSheets({"--quick", again.path()}).exitCode, 0);
    const QMap<QString, QByteArray> first = snapshot(s_dir->path());
    const QMap<QString, QByteArray> second = snapshot(again.path());
    ASSERT_EQ(first.keys(), second.keys());
    for (auto it = first.cbegin(); it != first.cend(); ++it) {
        EXPECT_TRUE(it.value() == second.value(it.key())) << it.key().toStdString();
    }
}

// The plan list reads into three groups; the server hands every sheet out at the address the
// viewer builds from it.
TEST_F(QuickSheets, PlanListNamesEverySheetAndTheServerHandsThemOut) {
    sw::tools::PlanServerOptions options;
    options.root = s_dir->path();
    sw::tools::PlanServer server(options);
    ASSERT_NE(server.start(), 0);
    const QByteArray raw = readAll(plansPath("planlist.txt"));
    EXPECT_TRUE(raw.endsWith(".tif")) << "no line end: it would become part of the last address";
    sw::plans::ProjectState state;
    QString base = server.baseUrl().toString();
    QString project = "2004-0815";
    state.SetPlanUrl(base, project);
    std::vector<sw::plans::TreeNode> nodes;
    state.MakePlanList(QString::fromUtf8(raw), nodes);
    QStringList groups;
    for (const sw::plans::TreeNode& node : nodes) {
        if (node.parentKey.isEmpty()) {
            groups.append(node.text);
        }
    }
    EXPECT_EQ(groups, (QStringList{"Architectural", "Structural", "Mechanical"}));
    ASSERT_EQ(state.planFiles.size(), 13);  // twelve sheets and the spare element
    EXPECT_TRUE(state.planFiles.last().isEmpty());
    EXPECT_EQ(state.planLabels.first(), "c1~A-101 Site Plan");
    for (qsizetype k = 0; k + 1 < state.planFiles.size(); ++k) {
        const QString& file = state.planFiles[k];
        EXPECT_TRUE(state.planLabels[k].section(u'~', 1).startsWith(file.chopped(4) + u' '));
        const sw::test::FetchResult result = sw::test::fetch(QUrl(state.planUrl + file));
        EXPECT_EQ(result.status, 200) << file.toStdString();
        EXPECT_EQ(result.contentType, "image/tiff");
        EXPECT_TRUE(result.body == readAll(plansPath(file)));
    }
}

TEST(FullSheets, HaveThePaperSizesAndResolutionsOfRealSheets) {
    QTemporaryDir dir;
    const ToolRun run = makeSheets({"--project", "1999-A7", dir.path()});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QDir plans(dir.filePath("1999/A7/plans"));
    for (const SheetCase& sheet : kSheets) {
        SCOPED_TRACE(sheet.file);
        expectSheet(plans.filePath(sheet.file), sheet);
    }
    EXPECT_TRUE(readAll(plans.filePath("planlist.txt")).startsWith("1999-A7 "));
}

struct RefusalCase {
    const char* name;
    QStringList arguments;  // "@" stands for the temporary folder
    int exitCode;
    const char* mentions;
};

using sw::test::PrintTo;

class RefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RefusalTest, ExplainsAndWritesNothing) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath("not-a-folder"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QStringList arguments = GetParam().arguments;
    arguments.replaceInStrings("@", dir.path());
    const ToolRun run = makeSheets(arguments);
    EXPECT_EQ(run.exitCode, GetParam().exitCode);
    EXPECT_TRUE(run.err.contains(GetParam().mentions)) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(snapshot(dir.path()).keys(), QStringList{"not-a-folder"});
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, RefusalTest,
    ::testing::Values(
        RefusalCase{"ProjectWithoutDash", {"--project", "20040815", "@"}, 2, "20040815"},
        RefusalCase{"ProjectClimbsOut", {"--project", "..-..", "@/sub"}, 2, "..-.."},
        RefusalCase{"ProjectWithSlash", {"--project", "2004/x-0815", "@"}, 2, "2004/x-0815"},
        RefusalCase{"ProjectEmptyLevel", {"--project", "2004-", "@"}, 2, "2004-"},
        RefusalCase{"ProjectAbsolute", {"--project", "/etc-passwd", "@"}, 2, "/etc-passwd"},
        RefusalCase{"FolderIsAFile", {"--quick", "@/not-a-folder"}, 1, "not-a-folder"},
        RefusalCase{"NoFolder", {"--quick"}, 2, "DIR"}),
    sw::test::byName);

}  // namespace
