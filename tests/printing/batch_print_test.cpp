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

const QStringList kPlanUrls{"s0.tif", "s1.tif", "s2.tif", "s3.tif",
                            "s4.tif", "s5.tif", "s6.tif", "s7.tif"};

struct WalkCase {
    std::string label;
    QList<int> rows;
    bool reverse;
    QStringList addresses;  // in download order
    QList<int> cursors;     // the cursor of each download (names its temporary file)
};

class BatchWalk : public ::testing::TestWithParam<WalkCase> {};

// Walking the batch as the dialog does (cursor until it reaches the end) visits exactly the
// chosen sheets, in list order or reversed, at the positions that name the temporary files.
TEST_P(BatchWalk, VisitsTheChosenSheetsInOrder) {
    const WalkCase& c = GetParam();
    const PrintBatch batch =
        buildPrintBatch(c.rows, kPlanUrls, QStringLiteral("http://h/p/"), c.reverse);
    QStringList visited;
    QList<int> cursors;
    for (int cursor = batch.batchCursor; cursor != batch.batchEnd; ++cursor) {
        visited << batch.batchUrls.value(cursor);
        cursors << cursor;
    }
    EXPECT_EQ(visited, c.addresses);
    EXPECT_EQ(cursors, c.cursors);
    EXPECT_EQ(batch.isEmpty(), c.rows.isEmpty());
    // The array keeps one empty slot past the last entry (and, reversed, one before the first).
    EXPECT_EQ(batch.batchUrls.size(), batch.batchEnd + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BatchWalk,
    ::testing::Values(WalkCase{"Forward",
                               {2, 5, 7},
                               false,
                               {"http://h/p/s2.tif", "http://h/p/s5.tif", "http://h/p/s7.tif"},
                               {0, 1, 2}},
                      WalkCase{"Reverse",
                               {2, 5, 7},
                               true,
                               {"http://h/p/s7.tif", "http://h/p/s5.tif", "http://h/p/s2.tif"},
                               {1, 2, 3}},
                      WalkCase{"OneReversed", {0}, true, {"http://h/p/s0.tif"}, {1}},
                      WalkCase{"NoneForward", {}, false, {}, {}},
                      WalkCase{"NoneReversed", {}, true, {}, {}}),
    test::LabelName());

TEST(BatchBuild, RowWithoutAnAddressIsOutOfRange) {
    try {
        (void)buildPrintBatch({1, 8}, kPlanUrls, QString(), false);
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

TEST(BatchFileList, SortsNamesAsTextLikeTheOriginalFileSystem) {
    QTemporaryDir dir;
    for (int i = 11; i >= 0; --i) {
        touch(dir.filePath(QStringLiteral("%1-tmp.tif").arg(i)));
    }
    for (const char* name : {"b.tif", "A.tif", "a.tif", ".hidden"}) {
        touch(dir.filePath(QString::fromLatin1(name)));
    }
    QDir(dir.path()).mkdir(QStringLiteral("5-tmp.tif.d"));
    EXPECT_EQ(batchFileList(dir.path() + QLatin1Char('/')),
              (QStringList{"0-tmp.tif", "1-tmp.tif", "10-tmp.tif", "11-tmp.tif", "2-tmp.tif",
                           "3-tmp.tif", "4-tmp.tif", "5-tmp.tif", "6-tmp.tif", "7-tmp.tif",
                           "8-tmp.tif", "9-tmp.tif", "A.tif", "a.tif", "b.tif"}));
    EXPECT_EQ(batchFileList(dir.filePath(QStringLiteral("1*.tif"))),
              (QStringList{"1-tmp.tif", "10-tmp.tif", "11-tmp.tif"}));
    EXPECT_EQ(batchFileList(dir.filePath(QStringLiteral("*.pdf"))), QStringList{QString()});
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
