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

using sw::test::PrintTo;

// `sheetwise print` run in-process.
class PrintCommand : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        imaging::saveTiffFile(test::grid(17, 22, 200), sheet, imaging::kFormatCompressed, 1);
    }

    // Runs the command; SHEET stands for a 17 x 22 in G4 sheet at 200 dpi, OUT for the PDF and
    // corpus/... for a test file.
    int run(const QString& arguments) {
        QStringList args{QStringLiteral("sheetwise")};
        for (const QString& a : arguments.split(' ', Qt::SkipEmptyParts)) {
            args << (a == "SHEET"              ? sheet
                     : a == "OUT"              ? pdf
                     : a.startsWith("corpus/") ? sw::test::dataPath(a)
                                               : a);
        }
        out.clear();
        err.clear();
        return printCommand(args, &out, &err);
    }

    QTemporaryDir dir;
    const QString sheet = dir.filePath(QStringLiteral("sheet.tif"));
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    QByteArray out;
    QByteArray err;
};

struct RunCase {
    const char* name;
    const char* arguments;
    int exitCode;
    // The summary (mode, columns x rows, pages, printable width, dpi, paper), or for a failure
    // part of its message.
    const char* told;
};

class PrintCommandRun : public PrintCommand, public ::testing::WithParamInterface<RunCase> {};

// A run reports the layout and writes its pages; a failing one says why and writes nothing.
TEST_P(PrintCommandRun, ReportsTheLayoutOrFailsWithAMessageAndNoOutput) {
    const RunCase& c = GetParam();
    ASSERT_EQ(run(c.arguments), c.exitCode) << err.toStdString();
    const QJsonObject s = QJsonDocument::fromJson(out).object();
    if (c.exitCode == 0) {
        EXPECT_EQ(QStringLiteral("%1 %2x%3 %4 %5 %6 %7")
                      .arg(s["mode"].toString())
                      .arg(s["columns"].toInt())
                      .arg(s["rows"].toInt())
                      .arg(s["pages"].toInt())
                      .arg(s["printableWidthIn"].toDouble())
                      .arg(s["dpiX"].toInt())
                      .arg(s["paper"].toString()),
                  c.told);
        EXPECT_EQ(test::pdfInfo(pdf, "Pages"), QString::number(s["pages"].toInt()));
        return;
    }
    EXPECT_TRUE(err.startsWith("sheetwise print: ") && err.contains(c.told)) << err.toStdString();
    EXPECT_TRUE(out.isEmpty());
    EXPECT_FALSE(QFile::exists(pdf));
}

const RunCase kRuns[] = {
    {"DefaultCropsToOnePage", "SHEET --pdf OUT", 0, "crop 1x1 1 8.5 600 Letter, 8 1/2 x 11 in"},
    {"NoCropTiles", "SHEET --pdf OUT --no-crop", 0, "tiled 2x2 4 8.5 600 Letter, 8 1/2 x 11 in"},
    {"HalfScale", "SHEET --pdf OUT --no-crop --scale 50", 0,
     "tiled 1x1 1 8.5 600 Letter, 8 1/2 x 11 in"},
    {"Fit", "SHEET --pdf OUT --fit", 0, "fit 1x1 1 8.5 600 Letter, 8 1/2 x 11 in"},
    {"TabloidLandscape", "SHEET --pdf OUT --no-crop --paper 3 --orientation landscape", 0,
     "tiled 1x2 2 17 600 Tabloid, 11 x 17 in"},
    {"ElevenBySeventeenIsToldFromTabloidByItsCode",
     "SHEET --pdf OUT --no-crop --paper 17 --orientation landscape", 0,
     "tiled 1x2 2 17 600 11 x 17 in"},
    {"Selection", "SHEET --pdf OUT --no-crop --selection 0,0,1700,2200", 0,
     "tiled 1x1 1 8.5 600 Letter, 8 1/2 x 11 in"},
    {"NoOutput", "SHEET", 2, ""},
    {"NoSheet", "--pdf OUT", 2, ""},
    {"UnknownPaper", "SHEET --pdf OUT --paper Napkin", 2, ""},
    {"BadSelection", "SHEET --pdf OUT --selection 1,2,3", 2, ""},
    {"MissingSheet", "/no/such/sheet.tif --pdf OUT", 1, ""},
    {"CorruptSheet", "corpus/malformed/fuzz-inf_loop-000028.tif --pdf OUT", 1, ""},
    {"UnknownPrinter", "SHEET --printer NoSuchPrinter", 1, ""},
    {"UnwritablePdf", "SHEET --pdf /proc/no-such-dir/out.pdf", 1, "/proc/no-such-dir/out.pdf"},
};
INSTANTIATE_TEST_SUITE_P(Table, PrintCommandRun, ::testing::ValuesIn(kRuns), sw::test::byName);

}  // namespace
}  // namespace sw::printing
