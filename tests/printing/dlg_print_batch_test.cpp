// Batch printing in DlgPrint against the plan server: download order, blue temporary files,
// failing and stalled downloads, the empty selection, closing mid-batch, and a scripted run.
#include "planserver/plan_server.h"
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "base/host_calls.h"
#include "host/ui/fast_viewer.h"
#include "host/ui/standard_calls.h"
#include "imaging/tiff_reader.h"
#include "imaging/tiff_writer.h"
#include "imaging/ui/imaging_control.h"
#include "printing/fake_printer_device.h"
#include "printing/test_sheets.h"
#include "printing/ui/dlg_print.h"
#include "printing/ui/print_messages.h"

namespace sw::printing {
namespace {

using test::FakePrinterDevice;

constexpr int kSheets = 12;
constexpr int kBatchWaitMs = 30000;
const QString kPlans = QStringLiteral("2004/0815/plans/");

class BatchPrinting : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir().mkpath(served(QString()));
        QDir().mkpath(batchSave);
        for (int k = 0; k < kSheets; ++k) {
            imaging::saveTiffFile(imaging::Sheet(test::gridSheet(2 + k / 10.0, 3, 100), 100, 100),
                                  served(QStringLiteral("s%1.tif").arg(k)),
                                  imaging::kFormatCompressed, 1);
        }
        printers.add(FakePrinterDevice::letter(QStringLiteral("Office")));
        clearRecordedPrintMessages();
    }
    void TearDown() override { delete dialog.data(); }

    QString served(const QString& name) const {
        return dir.filePath(QStringLiteral("served/") + kPlans + name);
    }

    // Starts the plan server, then opens the dialog as the viewer hands it over: a sheet on show,
    // the project's twelve sheets.
    void open(bool blue, bool reverse, tools::PlanServerOptions options = {}) {
        options.root = dir.filePath(QStringLiteral("served"));
        server = std::make_unique<tools::PlanServer>(options);
        ASSERT_NE(server->start(), 0) << server->errorString().toStdString();
        QObject::connect(server.get(), &tools::PlanServer::requestServed,
                         [this](const QString&, const QString& path, int) {
                             requested << QFileInfo(path).fileName();
                         });
        dialog = new DlgPrint(nullptr, &printers);
        dialog->setAttribute(Qt::WA_DeleteOnClose, false);
        dialog->IniFile = dir.filePath(QStringLiteral("Sheetwise.ini"));
        dialog->BatchSave = batchSave;
        dialog->viewer().insertImage(1, imaging::Sheet(test::gridSheet(8, 6, 100), 100, 100));
        QStringList names;
        QStringList urls;
        for (int k = 0; k < kSheets; ++k) {
            names << QStringLiteral("c%1~Sheet %1").arg(k);
            urls << QStringLiteral("s%1.tif").arg(k);
        }
        dialog->setBatch(batchSave, QStringLiteral("2004-0815/plans/"), names << QString(),
                         urls << QString(), server->baseUrl().toString() + kPlans,
                         QStringLiteral("2004-0815"), 9000);
        if (blue) {
            dialog->PrintInBlue();
        }
        dialog->ReverseBatch = reverse;
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    }

    template <typename W>
    W* child(const char* name) const {
        return dialog->findChild<W*>(QString::fromLatin1(name));
    }

    // Chooses the rows in the batch list and presses "Download and Print".
    void press(const QList<int>& rows) {
        child<QPushButton>("Command2")->click();
        for (const int row : rows) {
            child<QListWidget>("BatchList")->item(row)->setSelected(true);
        }
        child<QPushButton>("BatchOk")->click();
    }

    // Presses "Download and Print" and waits until the batch has ended.
    void runBatch(const QList<int>& rows) {
        QSignalSpy ended(&BatchPrintMonitor::instance(), &BatchPrintMonitor::ended);
        press(rows);
        ASSERT_TRUE(ended.count() > 0 || ended.wait(kBatchWaitMs)) << "the batch did not end";
    }

    // Sheet k is 200 + 10k pixels wide and 300 high, so a printed picture tells its row: turned a
    // quarter by the batch rotation (exactly once, or the row is wrong), its height is 200 + 10k.
    QList<int> printedRows() {
        QList<int> rows;
        for (const auto& op : printers.fake(0).ops(FakePrinterDevice::Op::Kind::Picture)) {
            rows << (op.pictureSize.height() - 200) / 10;
        }
        return rows;
    }

    QTemporaryDir dir;
    const QString batchSave = dir.filePath(QStringLiteral("plans/north/"));
    test::FakePrinterCatalog printers;
    std::unique_ptr<tools::PlanServer> server;
    QStringList requested;
    QPointer<DlgPrint> dialog;
};

// Numbers written as text: "2 5 7".
QList<int> numbers(const char* text) {
    QList<int> list;
    for (const QString& n : QString::fromLatin1(text).split(' ', Qt::SkipEmptyParts)) {
        list << n.toInt();
    }
    return list;
}

QStringList names(const char* text, const char* pattern) {
    QStringList list;
    for (const int n : numbers(text)) {
        list << QString::fromLatin1(pattern).arg(n);
    }
    return list.isEmpty() ? QStringList{QString()} : list;
}

struct OrderCase {
    const char* label;
    bool blue;
    bool reverse;
    const char* rows;
    const char* downloaded;  // sheet numbers in download order
    const char* tempFiles;   // numbers of the files left in BatchSave, sorted as text
    const char* printed;     // rows in print order
};

SW_PRINT_LABEL(OrderCase)

class BatchOrder : public BatchPrinting, public ::testing::WithParamInterface<OrderCase> {};

TEST_P(BatchOrder, DownloadsAndPrintsInOrderThenCloses) {
    const OrderCase& c = GetParam();
    open(c.blue, c.reverse);
    QFile(batchSave + QStringLiteral("left-over.txt")).open(QIODevice::WriteOnly);

    runBatch(numbers(c.rows));
    EXPECT_EQ(requested, names(c.downloaded, "s%1.tif"));
    EXPECT_EQ(printedRows(), numbers(c.printed));
    EXPECT_EQ(printers.fake(0).documentsEnded(), numbers(c.printed).size());
    EXPECT_EQ(DlgPrint::FileList(batchSave), names(c.tempFiles, "%1-tmp.tif"));
    for (const QString& name : names(c.tempFiles, "%1-tmp.tif")) {
        if (!name.isEmpty()) {
            EXPECT_EQ(imaging::readTiffFile(batchSave + name).inkColour(), qRgb(0, 0, 255))
                << name.toStdString();
        }
    }
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->batchReport().printed, numbers(c.printed).size());
    EXPECT_EQ(dialog->batchReport().problems, QStringList());
    EXPECT_TRUE(recordedPrintMessages().isEmpty());
}

const OrderCase kOrders[] = {
    {"Forward", false, false, "2 5 7", "2 5 7", "", "2 5 7"},
    {"Reverse", false, true, "2 5 7", "7 5 2", "", "7 5 2"},
    {"BlueForward", true, false, "2 5 7", "2 5 7", "0 1 2", "2 5 7"},
    {"BlueReverse", true, true, "2 5 7", "7 5 2", "1 2 3", "7 5 2"},
    {"BlueTwelveSortedAsText", true, false, "0 1 2 3 4 5 6 7 8 9 10 11",
     "0 1 2 3 4 5 6 7 8 9 10 11", "0 1 10 11 2 3 4 5 6 7 8 9", "0 1 10 11 2 3 4 5 6 7 8 9"},
};
INSTANTIATE_TEST_SUITE_P(Table, BatchOrder, ::testing::ValuesIn(kOrders), test::LabelName());

struct FaultCase {
    const char* label;   // what happens to sheet 5
    const char* reason;  // part of the panel's message
};

SW_PRINT_LABEL(FaultCase)

class BatchFault : public BatchPrinting, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(BatchFault, FailedSheetIsReportedAndSkipped) {
    const FaultCase& c = GetParam();
    tools::PlanServerOptions options;
    if (c.label == std::string("NotFound")) {
        options.status = {{QStringLiteral("*/s5.tif"), 404}};
    } else if (c.label == std::string("Stalled")) {
        options.stall = {QStringLiteral("*/s5.tif")};
    } else {
        QFile page(served(QStringLiteral("s5.tif")));
        ASSERT_TRUE(page.open(QIODevice::WriteOnly | QIODevice::Truncate));
        page.write("<html>Not Found</html>");
    }
    open(false, false, options);
    dialog->setBatchTimeout(300);

    runBatch({2, 5, 7});
    EXPECT_EQ(printedRows(), (QList<int>{2, 7}));
    const auto* panel = child<QListWidget>("batchMessages");
    ASSERT_EQ(panel->count(), 1);
    const QString message = panel->item(0)->text();
    EXPECT_TRUE(message.startsWith(server->baseUrl().toString() + kPlans + "s5.tif: ") &&
                message.contains(c.reason))
        << message.toStdString();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(dialog->batchReport().stopped);
    ASSERT_EQ(recordedPrintMessages().size(), 1);
    EXPECT_TRUE(recordedPrintMessages().first().startsWith("Print Batch: 2 of 3 sheets printed"));
}

INSTANTIATE_TEST_SUITE_P(Table, BatchFault,
                         ::testing::Values(FaultCase{"NotFound", "404"},
                                           FaultCase{"NotATiff", "TIFF"},
                                           FaultCase{"Stalled", "No data received"}),
                         test::LabelName());

TEST_F(BatchPrinting, EmptySelectionDoesNothingButSaySo) {
    open(true, false);
    QFile(batchSave + QStringLiteral("0-tmp.tif")).open(QIODevice::WriteOnly);
    press({});
    QTest::qWait(100);
    EXPECT_TRUE(requested.isEmpty());
    EXPECT_TRUE(child<QListWidget>("BatchList")->isVisible());
    EXPECT_TRUE(child<QLabel>("batchNote")->text().contains("No sheet is selected"));
    EXPECT_TRUE(QFile::exists(batchSave + QStringLiteral("0-tmp.tif")));
    EXPECT_EQ(BatchPrintMonitor::instance().running(), 0);
    EXPECT_TRUE(dialog->isVisible());
}

// Closing during a download: the stalled sheet is never followed up and the dialog goes away.
TEST_F(BatchPrinting, ClosingDuringADownloadStopsTheBatch) {
    tools::PlanServerOptions options;
    options.stall = {QStringLiteral("*/s2.tif")};
    open(false, false, options);
    dialog->setAttribute(Qt::WA_DeleteOnClose, true);
    QSignalSpy ended(&BatchPrintMonitor::instance(), &BatchPrintMonitor::ended);
    press({2, 5});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !requested.isEmpty(); }, kBatchWaitMs));
    dialog->close();
    ASSERT_EQ(ended.count(), 1);
    EXPECT_TRUE(BatchPrintMonitor::instance().lastReport().stopped);
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.isNull(); }, 2000));
    QTest::qWait(200);
    EXPECT_EQ(requested, QStringList{"s2.tif"});
    EXPECT_TRUE(printers.fake(0).ops().empty());
}

// Closing while a sheet prints: the job finishes its page, then the batch stops there.
TEST_F(BatchPrinting, ClosingDuringAPrintJobStopsTheBatchAfterThatJob) {
    open(false, false);
    QObject::connect(&dialog->viewer(), &imaging::ImagingControl::loadProgress, dialog,
                     [this](int percent) {
                         if (percent == 100) {
                             QTimer::singleShot(0, dialog, [this] { dialog->close(); });
                         }
                     });
    runBatch({2, 5});
    EXPECT_FALSE(dialog->viewer().isLoading());
    QTest::qWait(200);
    EXPECT_EQ(printedRows(), QList<int>{2});
    EXPECT_EQ(requested, QStringList{"s2.tif"});
    EXPECT_TRUE(dialog->batchReport().stopped);
    EXPECT_FALSE(dialog->isVisible());
}

// A script opens the batch list, chooses rows and waits for the batch as a user would.
TEST_F(BatchPrinting, ScriptRunsABatchAndWaitsForIt) {
    open(false, true);
    host::FastViewer viewer;
    const base::HostCallRunner runner(viewer, host::standardRegistry(), base::Trust::Trusted);
    for (const QJsonArray& call : {QJsonArray{"Click", "DlgPrint/Command2"},
                                   QJsonArray{"Select", "DlgPrint/BatchList", QJsonArray{2, 5, 7}},
                                   QJsonArray{"Click", "DlgPrint/BatchOk"}}) {
        ASSERT_TRUE(runner.run(call).value("ok").toBool()) << call.at(0).toString().toStdString();
    }
    const QJsonObject reply = runner.run(QJsonArray{"WaitBatch", kBatchWaitMs});
    ASSERT_TRUE(reply.value("ok").toBool()) << reply.value("error").toString().toStdString();
    EXPECT_EQ(reply.value("result").toObject(),
              (QJsonObject{
                  {"sheets", 3}, {"printed", 3}, {"problems", QJsonArray{}}, {"stopped", false}}));
    EXPECT_EQ(printedRows(), (QList<int>{7, 5, 2}));
}

}  // namespace
}  // namespace sw::printing
