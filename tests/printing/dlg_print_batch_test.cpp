// Batch printing in DlgPrint against the plan server: download order, blue temporary files,
// failing and stalled downloads, the empty selection, closing mid-batch, and a scripted run.
#include "planserver/plan_server.h"
#include "support/qt_print.h"
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

#include "host/host_calls.h"
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
        batchSave = dir.filePath(QStringLiteral("plans/north")) + QLatin1Char('/');
        for (int k = 0; k < kSheets; ++k) {
            const QString path = served(QStringLiteral("s%1.tif").arg(k));
            QDir().mkpath(QFileInfo(path).absolutePath());
            imaging::saveTiffFile(imaging::Sheet(test::gridSheet(2 + k / 10.0, 3, 100), 100, 100),
                                  path, imaging::kFormatCompressed, 1);
        }
        printers.add(FakePrinterDevice::letter(QStringLiteral("Office")));
        clearRecordedPrintMessages();
    }
    void TearDown() override { delete dialog.data(); }

    QString served(const QString& name) const {
        return dir.filePath(QStringLiteral("served/") + kPlans + name);
    }

    void startServer(tools::PlanServerOptions options = {}) {
        options.root = dir.filePath(QStringLiteral("served"));
        server = std::make_unique<tools::PlanServer>(options);
        ASSERT_NE(server->start(), 0) << server->errorString().toStdString();
        QObject::connect(server.get(), &tools::PlanServer::requestServed,
                         [this](const QString&, const QString& path, int) {
                             requested << QFileInfo(path).fileName();
                         });
    }

    // A dialog as the viewer hands it over: a sheet on show, the project's twelve sheets.
    void open(bool blue, bool reverse) {
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
        names << QString();
        urls << QString();
        dialog->setBatch(batchSave, QStringLiteral("2004-0815/plans/"), names, urls,
                         server->baseUrl().toString() + kPlans, QStringLiteral("2004-0815"), 9000);
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
    QString batchSave;
    test::FakePrinterCatalog printers;
    std::unique_ptr<tools::PlanServer> server;
    QStringList requested;
    QPointer<DlgPrint> dialog;
};

struct OrderCase {
    std::string label;
    bool blue;
    bool reverse;
    QList<int> rows;
    QStringList requested;  // sheet files in download order
    QStringList tempFiles;  // left in BatchSave, sorted as text
    QList<int> printed;     // rows in print order
};

class BatchOrder : public BatchPrinting, public ::testing::WithParamInterface<OrderCase> {};

TEST_P(BatchOrder, DownloadsAndPrintsInOrderThenCloses) {
    const OrderCase& c = GetParam();
    startServer();
    open(c.blue, c.reverse);
    const QString stray = batchSave + QStringLiteral("left-over.txt");
    QDir().mkpath(batchSave);
    QFile(stray).open(QIODevice::WriteOnly);

    runBatch(c.rows);
    EXPECT_EQ(requested, c.requested);
    EXPECT_EQ(printedRows(), c.printed);
    EXPECT_EQ(printers.fake(0).documentsEnded(), c.printed.size());
    EXPECT_EQ(DlgPrint::FileList(batchSave),
              c.tempFiles.isEmpty() ? QStringList{QString()} : c.tempFiles);
    for (const QString& name : c.tempFiles) {
        const imaging::Sheet saved = imaging::readTiffFile(batchSave + name);
        EXPECT_EQ(saved.inkColour(), qRgb(0, 0, 255)) << name.toStdString();
    }
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->batchReport().printed, c.printed.size());
    EXPECT_TRUE(dialog->batchReport().problems.isEmpty())
        << dialog->batchReport().problems.join('\n').toStdString();
    EXPECT_TRUE(recordedPrintMessages().isEmpty());
}

QStringList files(const QList<int>& numbers, const char* pattern) {
    QStringList names;
    for (const int n : numbers) {
        names << QString::fromLatin1(pattern).arg(n);
    }
    return names;
}

INSTANTIATE_TEST_SUITE_P(
    Table, BatchOrder,
    ::testing::Values(
        OrderCase{"Forward", false, false, {2, 5, 7}, files({2, 5, 7}, "s%1.tif"), {}, {2, 5, 7}},
        OrderCase{"Reverse", false, true, {2, 5, 7}, files({7, 5, 2}, "s%1.tif"), {}, {7, 5, 2}},
        OrderCase{"BlueForward",
                  true,
                  false,
                  {2, 5, 7},
                  files({2, 5, 7}, "s%1.tif"),
                  files({0, 1, 2}, "%1-tmp.tif"),
                  {2, 5, 7}},
        OrderCase{"BlueReverse",
                  true,
                  true,
                  {2, 5, 7},
                  files({7, 5, 2}, "s%1.tif"),
                  files({1, 2, 3}, "%1-tmp.tif"),
                  {7, 5, 2}},
        OrderCase{"BlueTwelveSortedAsText",
                  true,
                  false,
                  {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11},
                  files({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, "s%1.tif"),
                  files({0, 1, 10, 11, 2, 3, 4, 5, 6, 7, 8, 9}, "%1-tmp.tif"),
                  {0, 1, 10, 11, 2, 3, 4, 5, 6, 7, 8, 9}}),
    test::LabelName());

struct FaultCase {
    std::string label;
    std::function<void(tools::PlanServerOptions&, const QString& sheetFile)> fault;
    QString reason;  // part of the panel's message
};

class BatchFault : public BatchPrinting, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(BatchFault, FailedSheetIsReportedAndSkipped) {
    const FaultCase& c = GetParam();
    tools::PlanServerOptions options;
    c.fault(options, served(QStringLiteral("s5.tif")));
    startServer(options);
    open(false, false);
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

INSTANTIATE_TEST_SUITE_P(
    Table, BatchFault,
    ::testing::Values(FaultCase{"NotFound",
                                [](tools::PlanServerOptions& o, const QString&) {
                                    o.status = {{QStringLiteral("*/s5.tif"), 404}};
                                },
                                "404"},
                      FaultCase{"NotATiff",
                                [](tools::PlanServerOptions&, const QString& file) {
                                    QFile page(file);
                                    page.open(QIODevice::WriteOnly | QIODevice::Truncate);
                                    page.write("<html>Not Found</html>");
                                },
                                "TIFF"},
                      FaultCase{"StalledTimesOut",
                                [](tools::PlanServerOptions& o, const QString&) {
                                    o.stall = {QStringLiteral("*/s5.tif")};
                                },
                                "No data received"}),
    test::LabelName());

TEST_F(BatchPrinting, EmptySelectionDoesNothingButSaySo) {
    startServer();
    open(true, false);
    QDir().mkpath(batchSave);
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
    startServer(options);
    open(false, false);
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
    startServer();
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
    startServer();
    open(false, true);
    host::FastViewer viewer;
    const host::HostCallRunner runner(viewer, host::standardRegistry(), host::Trust::Trusted);
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
