#include "printing/print_command.h"

#include "support/test_paths.h"
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "imaging/tiff_writer.h"
#include "printing/test_sheets.h"

namespace sw::printing {
namespace {

// `sheetwise print` run in-process on G4 sheets written for the test.
class PrintCommand : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString sheet(double widthIn, double heightIn, int dpi) {
        const QString path =
            dir.filePath(QStringLiteral("sheet-%1x%2.tif").arg(widthIn).arg(heightIn));
        imaging::saveTiffFile(imaging::Sheet(test::gridSheet(widthIn, heightIn, dpi), dpi, dpi),
                              path, 29, 1);
        return path;
    }

    int run(QStringList arguments) {
        out.clear();
        err.clear();
        arguments.prepend(QStringLiteral("sheetwise"));
        return printCommand(arguments, &out, &err);
    }

    QJsonObject json() const { return QJsonDocument::fromJson(out).object(); }
    QString pdf(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    static QString pages(const QString& file) {
        const QString info = test::runTool(QStringLiteral("pdfinfo"), {file});
        for (const QString& line : info.split(QLatin1Char('\n'))) {
            if (line.startsWith(QStringLiteral("Pages:"))) {
                return line.mid(6).trimmed();
            }
        }
        return {};
    }

    QTemporaryDir dir;
    QByteArray out;
    QByteArray err;
};

struct SummaryCase {
    const char* label;
    QStringList options;
    const char* mode;
    int columns;
    int rows;
    int pages;
    double printableWidthIn;
};

void PrintTo(const SummaryCase& c, std::ostream* os) {
    *os << c.label;
}

class PrintCommandSummary : public PrintCommand,
                            public ::testing::WithParamInterface<SummaryCase> {};

TEST_P(PrintCommandSummary, ReportsTheLayoutAndWritesThePages) {
    const SummaryCase& c = GetParam();
    const QString out = pdf("out.pdf");
    QStringList arguments = {sheet(17, 22, 200), QStringLiteral("--pdf"), out};
    arguments += c.options;
    ASSERT_EQ(run(arguments), 0) << err.toStdString();
    const QJsonObject summary = json();
    EXPECT_EQ(summary.value(QStringLiteral("mode")).toString(), QString::fromLatin1(c.mode));
    EXPECT_EQ(summary.value(QStringLiteral("columns")).toInt(), c.columns);
    EXPECT_EQ(summary.value(QStringLiteral("rows")).toInt(), c.rows);
    EXPECT_EQ(summary.value(QStringLiteral("pages")).toInt(), c.pages);
    EXPECT_EQ(summary.value(QStringLiteral("dpiX")).toInt(), 600);
    EXPECT_DOUBLE_EQ(summary.value(QStringLiteral("printableWidthIn")).toDouble(),
                     c.printableWidthIn);
    EXPECT_EQ(pages(out), QString::number(c.pages));
}

INSTANTIATE_TEST_SUITE_P(
    Table, PrintCommandSummary,
    ::testing::Values(
        SummaryCase{"default crops to one page", {}, "crop", 1, 1, 1, 8.5},
        SummaryCase{"no crop tiles", {"--no-crop"}, "tiled", 2, 2, 4, 8.5},
        SummaryCase{"half scale", {"--no-crop", "--scale", "50"}, "tiled", 1, 1, 1, 8.5},
        SummaryCase{"fit", {"--fit"}, "fit", 1, 1, 1, 8.5},
        SummaryCase{"tabloid landscape",
                    {"--no-crop", "--paper", "3", "--orientation", "landscape"},
                    "tiled",
                    1,
                    2,
                    2,
                    17},
        SummaryCase{
            "selection", {"--no-crop", "--selection", "0,0,1700,2200"}, "tiled", 1, 1, 1, 8.5},
        SummaryCase{"marks and blue", {"--no-crop", "--marks", "--blue"}, "tiled", 2, 2, 4, 8.5}),
    test::LabelName());

struct ErrorCase {
    const char* label;
    QStringList arguments;  // "SHEET" stands for a good sheet, "OUT" for a PDF path
    int exitCode;
};

void PrintTo(const ErrorCase& c, std::ostream* os) {
    *os << c.label;
}

class PrintCommandErrors : public PrintCommand, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(PrintCommandErrors, FailWithAMessageAndNoOutput) {
    QStringList arguments;
    for (const QString& a : GetParam().arguments) {
        arguments << (a == QLatin1String("SHEET")              ? sheet(8, 10, 100)
                      : a == QLatin1String("OUT")              ? pdf("never.pdf")
                      : a.startsWith(QLatin1String("corpus/")) ? sw::test::dataPath(a)
                                                               : a);
    }
    EXPECT_EQ(run(arguments), GetParam().exitCode);
    EXPECT_TRUE(err.startsWith("sheetwise print: ")) << err.toStdString();
    EXPECT_TRUE(out.isEmpty());
    EXPECT_FALSE(QFile::exists(pdf("never.pdf")));
}

INSTANTIATE_TEST_SUITE_P(
    Table, PrintCommandErrors,
    ::testing::Values(
        ErrorCase{"no output", {"SHEET"}, 2},
        ErrorCase{"two outputs", {"SHEET", "--pdf", "OUT", "--printer", "P"}, 2},
        ErrorCase{"no sheet", {"--pdf", "OUT"}, 2},
        ErrorCase{"unknown paper", {"SHEET", "--pdf", "OUT", "--paper", "Napkin"}, 2},
        ErrorCase{"bad orientation", {"SHEET", "--pdf", "OUT", "--orientation", "up"}, 2},
        ErrorCase{"bad selection", {"SHEET", "--pdf", "OUT", "--selection", "1,2,3"}, 2},
        ErrorCase{"crop and no crop", {"SHEET", "--pdf", "OUT", "--crop", "--no-crop"}, 2},
        ErrorCase{"missing sheet", {"/no/such/sheet.tif", "--pdf", "OUT"}, 1},
        ErrorCase{
            "corrupt sheet", {"corpus/malformed/fuzz-inf_loop-000028.tif", "--pdf", "OUT"}, 1},
        ErrorCase{"not a tiff", {"corpus/MANIFEST.md", "--pdf", "OUT"}, 1},
        ErrorCase{"unknown printer", {"SHEET", "--printer", "No Such Printer"}, 1}),
    test::LabelName());

TEST_F(PrintCommand, MalformedCorpusFilesFailCleanlyOrPrint) {
    const QStringList names = {"G3_Premature_EOL.tif",       "test_ifd_loop_to_self.tif",
                               "testfax3_bug_513.tiff",      "CCITT-G4-300dpi-StripByteCounts0.tif",
                               "ccitt-too-many-changes.tif", "incorrect-compression-rle-as-g3.tif",
                               "bad-offsets-lengths.tiff",   "clusterfuzz-53669.tiff",
                               "fuzz-oom_crash-000000.tif",  "fuzz-inf_loop-000028.tif"};
    for (const QString& name : names) {
        const int code = run({sw::test::dataPath(QStringLiteral("corpus/malformed/") + name),
                              QStringLiteral("--pdf"), pdf("malformed.pdf")});
        if (code == 0) {
            EXPECT_EQ(json().value(QStringLiteral("pages")).toInt(), 1) << name.toStdString();
        } else {
            EXPECT_EQ(code, 1) << name.toStdString();
            EXPECT_TRUE(err.startsWith("sheetwise print: ")) << name.toStdString();
        }
    }
}

TEST_F(PrintCommand, UnwritablePdfFails) {
    EXPECT_EQ(run({sheet(8, 10, 100), QStringLiteral("--pdf"),
                   QStringLiteral("/proc/no-such-dir/out.pdf")}),
              1);
    EXPECT_TRUE(err.contains("/proc/no-such-dir/out.pdf")) << err.toStdString();
}

TEST_F(PrintCommand, EveryGoodCorpusDrawingPrints) {
    for (const char* name : {"CCITT_1.TIF", "G4S.TIF", "witten.tif", "fax2d.tif",
                             "imagemagick_group4.tiff", "lzw-single-strip.tiff"}) {
        const QString path =
            sw::test::dataPath(QStringLiteral("corpus/drawings_bilevel/") + QLatin1String(name));
        EXPECT_EQ(
            run({path, QStringLiteral("--pdf"), pdf("corpus.pdf"), QStringLiteral("--no-crop")}), 0)
            << name << ": " << err.toStdString();
        EXPECT_GE(json().value(QStringLiteral("pages")).toInt(), 1) << name;
    }
}

}  // namespace
}  // namespace sw::printing
