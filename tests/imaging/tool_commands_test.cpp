// `sheetwise render` and `sheetwise info` through their entry points, without a display.
#include "imaging/tool_commands.h"

#include "support/test_paths.h"
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "imaging/imaging_error.h"
#include "imaging/sheet_fixtures.h"
#include "imaging/tiff_reader.h"

namespace sw::imaging {
namespace {

QString corpus(const char* name) {
    return test::dataPath(QStringLiteral("corpus/") + QLatin1String(name));
}

int run(int (*command)(int, char**), QStringList args) {
    args.prepend(QStringLiteral("sheetwise"));
    QList<QByteArray> bytes;
    for (const QString& a : args) {
        bytes << a.toLocal8Bit();
    }
    std::vector<char*> argv;
    for (QByteArray& b : bytes) {
        argv.push_back(b.data());
    }
    return command(static_cast<int>(argv.size()), argv.data());
}

TEST(Info, DescribesTheSheet) {
    const QString json = sheetInfoJson(corpus("drawings_bilevel/fax2d.tif"));
    for (const char* field :
         {"\"width\": 1728", "\"height\": 1082", "\"dpiX\": 204", "\"dpiY\": 98",
          "\"bitsPerPixel\": 1", "\"compression\": \"CCITT Group 3\"",
          "\"photometric\": \"min-is-white\"", "\"widthInches\": 8.470588235"}) {
        EXPECT_TRUE(json.contains(QLatin1String(field))) << field << "\n" << qPrintable(json);
    }
}

struct ExitCase {
    const char* name;
    QStringList args;
    int code;
};

using sw::test::PrintTo;

class ExitCodes : public ::testing::TestWithParam<ExitCase> {};

TEST_P(ExitCodes, BadFilesAndBadUsageAreReported) {
    QTemporaryDir dir;
    QStringList args;
    for (QString a : GetParam().args) {
        a.replace(QLatin1String("$DATA"), test::dataPath(QStringLiteral("corpus")));
        a.replace(QLatin1String("$OUT"), dir.path());
        args << a;
    }
    const bool render = args.first() == QLatin1String("render");
    EXPECT_EQ(run(render ? runRenderCommand : runInfoCommand, args), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ExitCodes,
    ::testing::Values(
        ExitCase{"InfoGood", {"info", "$DATA/drawings_bilevel/G4.TIF"}, 0},
        ExitCase{"InfoCorrupt", {"info", "$DATA/malformed/fuzz-inf_loop-000028.tif"}, 1},
        ExitCase{"InfoMissing", {"info", "$DATA/none.tif"}, 1}, ExitCase{"InfoUsage", {"info"}, 2},
        ExitCase{"RenderBadSheet",
                 {"render", "$DATA/malformed/fuzz-inf_loop-000028.tif", "--width", "30", "--out",
                  "$OUT/a.png"},
                 1},
        ExitCase{"RenderUnwritable",
                 {"render", "$DATA/drawings_bilevel/G4.TIF", "--width", "30", "--out",
                  "/no/such/dir/a.png"},
                 1},
        ExitCase{
            "RenderNoWidth", {"render", "$DATA/drawings_bilevel/G4.TIF", "--out", "$OUT/a.png"}, 2},
        ExitCase{
            "RenderOtherFormat",
            {"render", "$DATA/drawings_bilevel/G4.TIF", "--width", "30", "--out", "$OUT/a.jpg"},
            2}),
    sw::test::byName);

// Memory running out part way through a decode (the 100 MB sheet fits, its 50 MB reduced level
// does not) is an error with exit code 1, not an abort: run in a fresh test process whose address
// space is limited to what it has plus 125 MB.
TEST(Info, RunningOutOfMemoryIsAnError) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer needs more address space than the limit leaves";
#endif
    if (qEnvironmentVariableIsSet("SW_TEST_OUT_OF_MEMORY")) {
        QFile statm(QStringLiteral("/proc/self/statm"));
        statm.open(QIODevice::ReadOnly);
        rlimit limit{};
        getrlimit(RLIMIT_AS, &limit);
        limit.rlim_cur = statm.readAll().split(' ')[0].toULongLong() * getpagesize() + (125 << 20);
        setrlimit(RLIMIT_AS, &limit);
        _exit(run(runInfoCommand, {"info", qEnvironmentVariable("SW_TEST_OUT_OF_MEMORY")}));
    }
    QTemporaryDir dir;
    QFile sheet(dir.filePath(QStringLiteral("blank.tif")));
    ASSERT_TRUE(sheet.open(QIODevice::WriteOnly));
    sheet.write(test::bilevelTiff(40000, 20000, 4, QByteArray(2500, '\xFF')));
    sheet.close();
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("SW_TEST_OUT_OF_MEMORY"), sheet.fileName());
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=Info.RunningOutOfMemoryIsAnError"),
                 QStringLiteral("--gtest_catch_exceptions=0")});
    ASSERT_TRUE(child.waitForFinished(60000));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 1) << child.readAllStandardError().toStdString();
}

TEST(Render, FittedThumbnailHasTheSheetsProportionsAndTurns) {
    const QImage upright = renderFitted(corpus("drawings_bilevel/lzw-single-strip.tiff"), 400, 0);
    EXPECT_EQ(upright.size(), QSize(400, 160));
    const QImage turned = renderFitted(corpus("drawings_bilevel/lzw-single-strip.tiff"), 160, 90);
    EXPECT_EQ(turned.size(), QSize(160, 399));
    EXPECT_THROW(renderFitted(corpus("drawings_bilevel/G4.TIF"), 100, 45), ImagingError);
    // A mostly white drawing stays mostly white at thumbnail size.
    double sum = 0;
    for (int y = 0; y < upright.height(); ++y) {
        for (int x = 0; x < upright.width(); ++x) {
            sum += qGray(upright.pixel(x, y));
        }
    }
    EXPECT_GT(sum / (400.0 * 160 * 255), 0.85);
}

TEST(Render, WritesAPictureThatReadsBack) {
    QTemporaryDir dir;
    for (const char* name : {"thumb.pgm", "thumb.png"}) {
        const QString out = dir.filePath(QLatin1String(name));
        ASSERT_EQ(run(runRenderCommand, {"render", corpus("drawings_bilevel/CCITT_1.TIF"),
                                         "--width", "200", "--out", out, "--rotate", "90"}),
                  0);
        const QImage image(out);
        EXPECT_EQ(image.size(), QSize(200, 145)) << name;
        EXPECT_TRUE(image.isGrayscale()) << name;
    }
}

}  // namespace
}  // namespace sw::imaging
