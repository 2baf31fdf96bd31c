#include "printing/batch_print.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "printing/print_dialog_records.h"
#include "printing/test_sheets.h"

namespace sw::printing {
namespace {

using sw::test::PrintTo;

TEST(BatchBuild, RowWithoutAnAddressIsOutOfRange) {
    EXPECT_EQ(test::scriptError([] {
                  buildPrintBatch({1, 3}, {"s0.tif", "s1.tif", "s2.tif"}, {}, false);
              }),
              "Subscript out of range");
}

TEST(BatchFolder, OnlyAbsoluteFoldersServeAndGetOneSeparator) {
    EXPECT_EQ(batchFolder(QString()), QString());
    EXPECT_EQ(batchFolder(QStringLiteral("plans/north")), QString());
    EXPECT_EQ(batchFolder(QStringLiteral("/p/north")), QStringLiteral("/p/north/"));
    EXPECT_EQ(batchFolder(QStringLiteral("/p/north/")), QStringLiteral("/p/north/"));
    EXPECT_EQ(batchTempFileName(QStringLiteral("/p/"), 10), QStringLiteral("/p/10-tmp.tif"));
}

class BatchFiles : public ::testing::Test {
protected:
    void touch(const QStringList& names) {
        for (const QString& name : names) {
            QFile file(folder + name);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
        }
    }

    QTemporaryDir dir;
    const QString folder = batchFolder(dir.path());
};

// Listing names ordinary files only, sorted as text without regard to case, and one empty name
// for none; clearing deletes every file, read-only ones too, and keeps folders with their files.
TEST_F(BatchFiles, ListNamesOrdinaryFilesSortedAsTextAndClearingDeletesThem) {
    touch({"B.tif", "2-tmp.tif", "a.tif", "10-tmp.tif", "A.tif", ".hidden.tif", "notes.txt"});
    QFile::setPermissions(folder + "notes.txt", QFile::ReadOwner);
    QDir(folder).mkdir(QStringLiteral("folder.tif"));
    touch({"folder.tif/A-101.tif"});
    EXPECT_EQ(batchFileList(folder),
              (QStringList{"10-tmp.tif", "2-tmp.tif", "A.tif", "a.tif", "B.tif", "notes.txt"}));
    EXPECT_EQ(batchFileList(folder + "?.tif"), (QStringList{"A.tif", "a.tif", "B.tif"}));
    EXPECT_EQ(batchFileList(folder + "*.pdf"), QStringList{QString()});
    EXPECT_EQ(batchFileList(folder + "missing/*"), QStringList{QString()});

    EXPECT_TRUE(clearBatchFolder(folder).isEmpty());
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{"folder.tif"});
    EXPECT_TRUE(QFile::exists(folder + "folder.tif/A-101.tif"));
    // An empty folder deletes nothing; an unusable one deletes nothing and says so.
    EXPECT_TRUE(clearBatchFolder(folder).isEmpty());
    EXPECT_EQ(clearBatchFolder(batchFolder(QString())).size(), 1);
}

struct NameCase {
    std::string name;
    QString record;  // the device name the dialog returned
    int expected;    // index in the printer list, -1 for none
};

class PrinterMatch : public ::testing::TestWithParam<NameCase> {};

TEST_P(PrinterMatch, OnlyTheExactNameIsTaken) {
    const QStringList printers{"Plotter", "plotter", "Office 32 characters long name ab",
                               "Office 32 characters long name a"};
    EXPECT_EQ(findExactPrinter(printers, recordDeviceName(GetParam().record)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PrinterMatch,
    ::testing::Values(NameCase{"SameCase", "plotter", 1}, NameCase{"FirstOfTwo", "Plotter", 0},
                      NameCase{"OtherCase", "PLOTTER", -1},
                      NameCase{"ThirtyTwoCharactersUsedWhole", "Office 32 characters long name a",
                               3},
                      NameCase{"CutAtNul", QStringLiteral("plotter") + QChar(u'\0') + "xx", 1},
                      NameCase{"Empty", "", -1}),
    sw::test::byName);

}  // namespace
}  // namespace sw::printing
