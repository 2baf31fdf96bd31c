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

    // Runs the command; "SHEET" stands for a good sheet, "corpus/..." for a test file.
    int run(const QStringList& arguments) {
        QStringList args{QStringLiteral("sheetwise")};
        for (const QString& a : arguments) {
            args << (a == "SHEET"              ? sheet(8, 10, 100)
                     : a.startsWith("corpus/") ? sw::test::dataPath(a)
                                               : a);
        }
        out.clear();
        err.clear();
        return printCommand(args, &out, &err);
    }

    QJsonObject json() const { return QJsonDocument::fromJson(out).object(); }

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    QByteArray out;
    QByteArray err;
};

struct SummaryCase {
    const char* name;
    const char* options;
    const char* mode;
    int columns;
    int rows;
    int pages;
    double printableWidthIn;
    const char* paper = nullptr;  // the paper named in the summary, when checked
};

class PrintCommandSummary : public PrintCommand,
                            public ::testing::WithParamInterface<SummaryCase> {};

TEST_P(PrintCommandSummary, ReportsTheLayoutAndWritesThePages) {
    const SummaryCase& c = GetParam();
    const QStringList options = QString(c.options).split(' ', Qt::SkipEmptyParts);
    ASSERT_EQ(run(QStringList{sheet(17, 22, 200), "--pdf", pdf} + options), 0) << err.toStdString();
    const QJsonObject s = json();
    EXPECT_EQ(s.value("mode").toString(), c.mode);
    EXPECT_EQ(s.value("columns").toInt(), c.columns);
    EXPECT_EQ(s.value("rows").toInt(), c.rows);
    EXPECT_EQ(s.value("pages").toInt(), c.pages);
    EXPECT_EQ(s.value("dpiX").toInt(), 600);
    EXPECT_DOUBLE_EQ(s.value("printableWidthIn").toDouble(), c.printableWidthIn);
    if (c.paper != nullptr) {
        EXPECT_EQ(s.value("paper").toString(), c.paper);
    }
    EXPECT_EQ(test::pdfInfo(pdf, "Pages"), QString::number(c.pages));
}

const SummaryCase kSummaries[] = {
    {"DefaultCropsToOnePage", "", "crop", 1, 1, 1, 8.5},
    {"NoCropTiles", "--no-crop", "tiled", 2, 2, 4, 8.5},
    {"HalfScale", "--no-crop --scale 50", "tiled", 1, 1, 1, 8.5},
    {"Fit", "--fit", "fit", 1, 1, 1, 8.5},
    {"TabloidLandscape", "--no-crop --paper 3 --orientation landscape", "tiled", 1, 2, 2, 17,
     "Tabloid, 11 x 17 in"},
    {"ElevenBySeventeenIsToldFromTabloidByItsCode", "--no-crop --paper 17 --orientation landscape",
     "tiled", 1, 2, 2, 17, "11 x 17 in"},
    {"Selection", "--no-crop --selection 0,0,1700,2200", "tiled", 1, 1, 1, 8.5},
    {"MarksAndBlue", "--no-crop --marks --blue", "tiled", 2, 2, 4, 8.5},
};
INSTANTIATE_TEST_SUITE_P(Table, PrintCommandSummary, ::testing::ValuesIn(kSummaries),
                         sw::test::byName);

struct ErrorCase {
    const char* name;
    const char* arguments;  // "OUT" stands for the PDF path
    int exitCode;
    const char* told = "";  // part of the message
};

class PrintCommandErrors : public PrintCommand, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(PrintCommandErrors, FailWithAMessageAndNoOutput) {
    QStringList arguments = QString(GetParam().arguments).split(' ');
    arguments.replaceInStrings(QStringLiteral("OUT"), pdf);
    EXPECT_EQ(run(arguments), GetParam().exitCode);
    EXPECT_TRUE(err.startsWith("sheetwise print: ") && err.contains(GetParam().told))
        << err.toStdString();
    EXPECT_TRUE(out.isEmpty());
    EXPECT_FALSE(QFile::exists(pdf));
}

const ErrorCase kErrors[] = {
    {"NoOutput", "SHEET", 2},
    {"TwoOutputs", "SHEET --pdf OUT --printer P", 2},
    {"NoSheet", "--pdf OUT", 2},
    {"UnknownPaper", "SHEET --pdf OUT --paper Napkin", 2},
    {"BadOrientation", "SHEET --pdf OUT --orientation up", 2},
    {"BadSelection", "SHEET --pdf OUT --selection 1,2,3", 2},
    {"CropAndNoCrop", "SHEET --pdf OUT --crop --no-crop", 2},
    {"MissingSheet", "/no/such/sheet.tif --pdf OUT", 1},
    {"CorruptSheet", "corpus/malformed/fuzz-inf_loop-000028.tif --pdf OUT", 1},
    {"NotATiff", "corpus/MANIFEST.md --pdf OUT", 1},
    {"UnknownPrinter", "SHEET --printer NoSuchPrinter", 1},
    {"UnwritablePdf", "SHEET --pdf /proc/no-such-dir/out.pdf", 1, "/proc/no-such-dir/out.pdf"},
};
INSTANTIATE_TEST_SUITE_P(Table, PrintCommandErrors, ::testing::ValuesIn(kErrors), sw::test::byName);

// Every good drawing of the corpus prints; a malformed one prints one page or fails cleanly.
TEST_F(PrintCommand, CorpusFilesPrintOrFailCleanly) {
    const QStringList malformed = {
        "G3_Premature_EOL.tif",       "test_ifd_loop_to_self.tif",
        "testfax3_bug_513.tiff",      "CCITT-G4-300dpi-StripByteCounts0.tif",
        "ccitt-too-many-changes.tif", "incorrect-compression-rle-as-g3.tif",
        "bad-offsets-lengths.tiff",   "clusterfuzz-53669.tiff",
        "fuzz-oom_crash-000000.tif"};
    for (const QString& name : malformed) {
        const int code = run({"corpus/malformed/" + name, "--pdf", pdf});
        EXPECT_TRUE(code == 0 ? json().value("pages").toInt() == 1
                              : code == 1 && err.startsWith("sheetwise print: "))
            << name.toStdString() << " exit " << code << ": " << err.toStdString();
    }
    for (const QString name : {"CCITT_1.TIF", "G4S.TIF", "witten.tif", "fax2d.tif",
                               "imagemagick_group4.tiff", "lzw-single-strip.tiff"}) {
        EXPECT_EQ(run({"corpus/drawings_bilevel/" + name, "--pdf", pdf, "--no-crop"}), 0)
            << name.toStdString() << ": " << err.toStdString();
        EXPECT_GE(json().value("pages").toInt(), 1) << name.toStdString();
    }
}

}  // namespace
}  // namespace sw::printing
