#include "printing/batch_print.h"

#include "support/qt_print.h"
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "host/script_error.h"
#include "printing/print_dialog_records.h"
#include "printing/test_sheets.h"

namespace sw::printing {
namespace {

const QStringList kPlanUrls{"s0.tif", "s1.tif", "s2.tif"};

TEST(BatchBuild, RowWithoutAnAddressIsOutOfRange) {
    try {
        (void)buildPrintBatch({1, 3}, kPlanUrls, QString(), false);
        FAIL() << "no error";
    } catch (const host::ScriptError& e) {
        EXPECT_EQ(e.code(), host::ScriptError::Code::SubscriptOutOfRange);
    }
}

TEST(BatchFolder, OnlyAbsoluteFoldersServeAndGetOneSeparator) {
    EXPECT_EQ(batchFolder(QString()), QString());
    EXPECT_EQ(batchFolder(QStringLiteral("plans/north")), QString());
    EXPECT_EQ(batchFolder(QStringLiteral("/p/north")), QStringLiteral("/p/north/"));
    EXPECT_EQ(batchFolder(QStringLiteral("/p/north/")), QStringLiteral("/p/north/"));
    EXPECT_EQ(batchTempFileName(QStringLiteral("/p/"), 10), QStringLiteral("/p/10-tmp.tif"));
}

void touch(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

TEST(BatchFileList, SortsNamesAsTextWithoutRegardToCase) {
    QTemporaryDir dir;
    for (const char* name : {"b.tif", "2-tmp.tif", "a.tif", "10-tmp.tif", "A.tif"}) {
        touch(dir.filePath(QString::fromLatin1(name)));
    }
    EXPECT_EQ(batchFileList(dir.path() + QLatin1Char('/')),
              (QStringList{"10-tmp.tif", "2-tmp.tif", "A.tif", "a.tif", "b.tif"}));
    EXPECT_EQ(batchFileList(dir.filePath(QStringLiteral("?.tif"))),
              (QStringList{"A.tif", "a.tif", "b.tif"}));
}

TEST(BatchFolderClearing, DeletesEveryFileReadOnlyIncludedAndKeepsFolders) {
    QTemporaryDir dir;
    const QString folder = batchFolder(dir.path());
    touch(folder + QStringLiteral("0-tmp.tif"));
    touch(folder + QStringLiteral("notes.txt"));
    QFile::setPermissions(folder + QStringLiteral("notes.txt"), QFile::ReadOwner);
    QDir(folder).mkdir(QStringLiteral("2004-0815"));
    touch(folder + QStringLiteral("2004-0815/A-101.tif"));

    EXPECT_TRUE(clearBatchFolder(folder).isEmpty());
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{"2004-0815"});
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("2004-0815/A-101.tif")));
    // An empty folder deletes nothing; an unusable one deletes nothing and says so.
    EXPECT_TRUE(clearBatchFolder(folder).isEmpty());
    EXPECT_EQ(clearBatchFolder(batchFolder(QString())).size(), 1);
}

struct NameCase {
    std::string label;
    QString record;  // the device name the dialog returned
    int expected;    // index in kPrinters, -1 for none
};

const QStringList kPrinters{"Plotter", "plotter", "Office 32 characters long name ab",
                            "Office 32 characters long name a"};

class PrinterMatch : public ::testing::TestWithParam<NameCase> {};

TEST_P(PrinterMatch, OnlyTheExactNameIsTaken) {
    const NameCase& c = GetParam();
    EXPECT_EQ(findExactPrinter(kPrinters, recordDeviceName(c.record)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PrinterMatch,
    ::testing::Values(NameCase{"SameCase", "plotter", 1}, NameCase{"FirstOfTwo", "Plotter", 0},
                      NameCase{"OtherCase", "PLOTTER", -1},
                      NameCase{"ThirtyTwoCharactersUsedWhole", "Office 32 characters long name a",
                               3},
                      NameCase{"CutAtNul", QStringLiteral("plotter") + QChar(u'\0') + "xx", 1},
                      NameCase{"Empty", "", -1}),
    test::LabelName());

}  // namespace
}  // namespace sw::printing
