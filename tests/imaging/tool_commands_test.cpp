// `sheetwise render` and `sheetwise info` through their entry points, without a display.
#include "imaging/tool_commands.h"

#include "support/test_paths.h"
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include "imaging/sheet_fixtures.h"

namespace sw::imaging {
namespace {

using test::corpus;

// Runs a command with the words of `line`.
int run(int (*command)(int, char**), const QStringList& line) {
    QList<QByteArray> bytes{"sheetwise"};
    for (const QString& word : line) {
        bytes << word.toLocal8Bit();
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
          "\"bitsPerPixel\": 1", "\"widthInches\": 8.470588235"}) {
        EXPECT_TRUE(json.contains(QLatin1String(field))) << field << "\n" << qPrintable(json);
    }
}

struct CommandCase {
    const char* name;
    const char* line;  // $G4, $FAX: good sheets; $BAD: a corrupt one; $OUT: an empty folder
    int code;
    QSize picture = {};  // of the --out file, when one is written
};

using sw::test::PrintTo;

class Commands : public ::testing::TestWithParam<CommandCase> {};

// Bad files and free angles exit with 1, bad usage with 2; a rendered picture reads back grey,
// fitted to the width and turned, and a drawing stays light.
TEST_P(Commands, ExitWithTheirCodeAndWriteAPictureThatReadsBack) {
    QTemporaryDir dir;
    QStringList line = QString::fromLatin1(GetParam().line).split(QLatin1Char(' '));
    for (QString& word : line) {
        word.replace(QLatin1String("$G4"), corpus("drawings_bilevel/G4.TIF"))
            .replace(QLatin1String("$FAX"), corpus("drawings_bilevel/CCITT_1.TIF"))
            .replace(QLatin1String("$BAD"), corpus("malformed/fuzz-inf_loop-000028.tif"))
            .replace(QLatin1String("$OUT"), dir.path());
    }
    const bool render = line.first() == QLatin1String("render");
    EXPECT_EQ(run(render ? runRenderCommand : runInfoCommand, line), GetParam().code);
    if (GetParam().picture.isValid()) {
        const QImage picture(line.at(line.indexOf(QLatin1String("--out")) + 1));
        EXPECT_EQ(picture.size(), GetParam().picture);
        EXPECT_TRUE(picture.isGrayscale());
        EXPECT_GT(test::meanLuminance(Sheet(picture, 100, 100)), 0.85);  // a drawing stays light
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, Commands,
    ::testing::Values(
        CommandCase{"InfoGood", "info $G4", 0}, CommandCase{"InfoCorrupt", "info $BAD", 1},
        CommandCase{"InfoMissing", "info $OUT/none.tif", 1}, CommandCase{"InfoUsage", "info", 2},
        CommandCase{"RenderPgm", "render $FAX --width 200 --out $OUT/a.pgm --rotate 90", 0,
                    QSize(200, 145)},
        CommandCase{"RenderPng", "render $FAX --width 200 --out $OUT/a.png", 0, QSize(200, 275)},
        CommandCase{"RenderFreeAngle", "render $G4 --width 30 --out $OUT/a.png --rotate 45", 1},
        CommandCase{"RenderUnwritable", "render $G4 --width 30 --out /no/such/dir/a.png", 1},
        CommandCase{"RenderOtherFormat", "render $G4 --width 30 --out $OUT/a.jpg", 2}),
    sw::test::byName);

// Memory running out part way through a decode (the 100 MB sheet fits, its 50 MB reduced level
// does not) is an error with exit code 1, not an abort: run in a fresh test process whose address
// space is limited to what it has plus 125 MB.
TEST(Info, RunningOutOfMemoryIsAnError) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer needs more address space than the limit leaves";
#endif
    if (qEnvironmentVariableIsSet("SW_TEST_OUT_OF_MEMORY")) {
        const QByteArray statm = test::readFile(QStringLiteral("/proc/self/statm"));
        rlimit limit{};
        getrlimit(RLIMIT_AS, &limit);
        limit.rlim_cur = statm.split(' ')[0].toULongLong() * getpagesize() + (125 << 20);
        setrlimit(RLIMIT_AS, &limit);
        _exit(run(runInfoCommand,
                  {QStringLiteral("info"), qEnvironmentVariable("SW_TEST_OUT_OF_MEMORY")}));
    }
    QTemporaryDir dir;
    const QString sheet = dir.filePath(QStringLiteral("blank.tif"));
    ASSERT_TRUE(
        test::writeFile(sheet, test::bilevelTiff(40000, 20000, 4, QByteArray(2500, '\xFF'))));
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("SW_TEST_OUT_OF_MEMORY"), sheet);
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=Info.RunningOutOfMemoryIsAnError"),
                 QStringLiteral("--gtest_catch_exceptions=0")});
    ASSERT_TRUE(child.waitForFinished(60000));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 1) << child.readAllStandardError().toStdString();
}

}  // namespace
}  // namespace sw::imaging
