// Batch printing in DlgPrint against the plan server, run as a script runs it: download order,
// blue temporary files, failing and stalled downloads, the empty selection, closing mid-batch.
#include "planserver/plan_server.h"
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "base/host_calls.h"
#include "base/ini_store.h"
#include "host/ui/fast_viewer.h"
#include "host/ui/standard_calls.h"
#include "imaging/tiff_reader.h"
#include "imaging/tiff_writer.h"
#include "imaging/ui/imaging_control.h"
#include "printing/dialog_fixture.h"

namespace sw::printing {
namespace {

using sw::test::PrintTo;

constexpr int kSheets = 12;
constexpr int kBatchWaitMs = 30000;
const QString kPlans = QStringLiteral("2004/0815/plans/");

// The project's twelve sheets on the plan server; sheet k is 200 + 10k pixels wide and 300 high,
// so a printed picture tells its row: turned a quarter by the batch rotation (exactly once, or
// the row is wrong), its height is 200 + 10k.
class BatchPrinting : public test::DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        batchSave = values.localRoot;
        QDir().mkpath(served(QString()));
        QDir().mkpath(batchSave);
        for (int k = 0; k < kSheets; ++k) {
            imaging::saveTiffFile(test::grid(2 + k / 10.0, 3),
                                  served(QStringLiteral("s%1.tif").arg(k)),
                                  imaging::kFormatCompressed, 1);
        }
    }

    [[nodiscard]] QString served(const QString& name) const {
        return dir.filePath(QStringLiteral("served/") + kPlans + name);
    }

    // Starts the plan server, then opens the dialog as the viewer hands it over: a sheet on show,
    // the project's twelve sheets.
    void openBatch(bool blue, bool reverse, tools::PlanServerOptions options = {}) {
        options.root = dir.filePath(QStringLiteral("served"));
        server = std::make_unique<tools::PlanServer>(options);
        ASSERT_NE(server->start(), 0) << server->errorString().toStdString();
        QObject::connect(server.get(), &tools::PlanServer::requestServed,
                         [this](const QString&, const QString& path, int) {
                             requested << QFileInfo(path).fileName();
                         });
        for (int k = 0; k < kSheets; ++k) {
            values.planLabels << QStringLiteral("c%1~Sheet %1").arg(k);
            values.planFiles << QStringLiteral("s%1.tif").arg(k);
        }
        values.planLabels << QString();
        values.planFiles << QString();
        values.planUrl = server->baseUrl().toString() + kPlans;
        values.printInBlue = blue;
        values.reversePrint = reverse;
        ASSERT_NE(open(8, 6), nullptr);
    }

    // Chooses the rows in the batch list and presses "Download and Print".
    void press(const QList<int>& rows) {
        click("Command2");
        for (const int row : rows) {
            child<QListWidget>("BatchList")->item(row)->setSelected(true);
        }
        click("BatchOk");
    }

    // Runs the batch as a script does: opens the list, chooses the rows, presses "Download and
    // Print" and waits for the batch to end; gives what WaitBatch reports.
    QJsonObject runBatch(const QList<int>& rows) {
        host::FastViewer viewer;
        const base::HostCallRunner runner(viewer, host::standardRegistry(), base::Trust::Trusted);
        QJsonArray chosen;
        for (const int row : rows) {
            chosen << row;
        }
        for (const QJsonArray& call :
             {QJsonArray{"Click", "DlgPrint/Command2"},
              QJsonArray{"Select", "DlgPrint/BatchList", chosen},
              QJsonArray{"Click", "DlgPrint/BatchOk"}, QJsonArray{"WaitBatch", kBatchWaitMs}}) {
            const QJsonObject reply = runner.run(call);
            EXPECT_TRUE(reply.value("ok").toBool())
                << reply.value("error").toString().toStdString();
            if (call.at(0) == "WaitBatch") {
                return reply.value("result").toObject();
            }
        }
        return {};
    }

    QList<int> printedRows() {
        QList<int> rows;
        for (const QString& op : printers.fake(0).log.filter("picture ")) {
            rows << (op.section(' ', 1, 1).section('x', 1, 1).toInt() - 200) / 10;
        }
        return rows;
    }

    QString batchSave;  // the plan folder, where blue batches keep their temporary files
    std::unique_ptr<tools::PlanServer> server;
    QStringList requested;
};

QStringList names(const QList<int>& numbers, const char* pattern) {
    QStringList list;
    for (const int n : numbers) {
        list << QString::fromLatin1(pattern).arg(n);
    }
    return list.isEmpty() ? QStringList{QString()} : list;
}

struct BatchCase {
    const char* name;
    bool blue;
    bool reverse;
    QList<int> rows;
    QList<int> downloaded;  // sheet numbers in download order
    QList<int> printed;     // rows in print order
    QList<int> tempFiles;   // numbers of the files left in BatchSave, sorted as text
    const char* fault;      // what goes wrong with sheet 5, as the batch panel tells it
};

class BatchRun : public BatchPrinting, public ::testing::WithParamInterface<BatchCase> {};

// The chosen sheets download and print in list or reverse order (blue ones saved as temporary
// files first and printed in name order), then the dialog closes. A failing sheet is told in the
// panel and the message and skipped; a stalled download times out instead of freezing the batch.
TEST_P(BatchRun, DownloadsAndPrintsInOrderSkippingFailedSheetsThenCloses) {
    const BatchCase& c = GetParam();
    const QString fault = QString::fromLatin1(c.fault);
    tools::PlanServerOptions options;
    if (fault == "404") {
        options.status = {{QStringLiteral("*/s5.tif"), 404}};
    } else if (fault == "No data received") {
        options.stall = {QStringLiteral("*/s5.tif")};
    } else if (!fault.isEmpty()) {
        QFile page(served(QStringLiteral("s5.tif")));
        ASSERT_TRUE(page.open(QIODevice::WriteOnly | QIODevice::Truncate));
        page.write("<html>Not Found</html>");
    }
    openBatch(c.blue, c.reverse, options);
    dialog->setBatchTimeout(fault.isEmpty() ? 60000 : 300);
    QFile(batchSave + QStringLiteral("left-over.txt")).open(QIODevice::WriteOnly);

    QString savedWhenEnded;  // the printer in the settings file when the batch says it ended
    QObject::connect(&BatchPrintMonitor::instance(), &BatchPrintMonitor::ended, dialog, [&] {
        savedWhenEnded = base::readProfileString(ini, kPrintingSection, kDefaultPrinterKey, "");
    });
    const QJsonObject report = runBatch(c.rows);
    EXPECT_EQ(savedWhenEnded, c.blue ? savedWhenEnded : "Office");  // saved by then
    EXPECT_EQ(report["sheets"], c.rows.size());
    EXPECT_EQ(report["printed"], c.printed.size());
    EXPECT_EQ(report["problems"].toArray().size(), fault.isEmpty() ? 0 : 1);
    EXPECT_EQ(report["stopped"], false);
    EXPECT_EQ(requested, names(c.downloaded, "s%1.tif"));
    EXPECT_EQ(printedRows(), c.printed);
    EXPECT_EQ(printers.fake(0).documentsEnded, c.printed.size());
    EXPECT_EQ(DlgPrint::FileList(batchSave), names(c.tempFiles, "%1-tmp.tif"));
    for (const QString& name : names(c.tempFiles, "%1-tmp.tif")) {
        if (!name.isEmpty()) {
            EXPECT_EQ(imaging::readTiffFile(batchSave + name).inkColour(), qRgb(0, 0, 255))
                << name.toStdString();
        }
    }
    EXPECT_FALSE(dialog->isVisible());
    const auto* panel = child<QListWidget>("batchMessages");
    ASSERT_EQ(panel->count(), fault.isEmpty() ? 0 : 1);
    ASSERT_EQ(recordedPrintMessages().size(), fault.isEmpty() ? 0 : 1);
    if (!fault.isEmpty()) {
        const QString message = panel->item(0)->text();
        EXPECT_TRUE(message.startsWith(server->baseUrl().toString() + kPlans + "s5.tif: ") &&
                    message.contains(fault))
            << message.toStdString();
        EXPECT_TRUE(
            recordedPrintMessages().first().startsWith("Print Batch: 2 of 3 sheets printed"));
    }
}

const QList<int> kTwelve{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
const QList<int> kTwelveAsText{0, 1, 10, 11, 2, 3, 4, 5, 6, 7, 8, 9};
const BatchCase kBatches[] = {
    {"Forward", false, false, {2, 5, 7}, {2, 5, 7}, {2, 5, 7}, {}, ""},
    {"Reverse", false, true, {2, 5, 7}, {7, 5, 2}, {7, 5, 2}, {}, ""},
    {"BlueForward", true, false, {2, 5, 7}, {2, 5, 7}, {2, 5, 7}, {0, 1, 2}, ""},
    {"BlueReverse", true, true, {2, 5, 7}, {7, 5, 2}, {7, 5, 2}, {1, 2, 3}, ""},
    {"BlueTwelveSortedAsText", true, false, kTwelve, kTwelve, kTwelveAsText, kTwelveAsText, ""},
    {"NotFound", false, false, {2, 5, 7}, {2, 5, 7}, {2, 7}, {}, "404"},
    {"NotATiff", false, false, {2, 5, 7}, {2, 5, 7}, {2, 7}, {}, "TIFF"},
    {"Stalled", false, false, {2, 5, 7}, {2, 5, 7}, {2, 7}, {}, "No data received"},
};
INSTANTIATE_TEST_SUITE_P(Table, BatchRun, ::testing::ValuesIn(kBatches), sw::test::byName);

// The list names the sheets without their codes; "Select All" and "Deselect All" toggle every
// row; downloading nothing only says so.
TEST_F(BatchPrinting, ListTogglesEveryRowAndAnEmptySelectionDoesNothingButSaySo) {
    values.planLabels = {"no separator"};
    values.planFiles = {"x.tif"};
    openBatch(true, false);
    QFile(batchSave + QStringLiteral("0-tmp.tif")).open(QIODevice::WriteOnly);
    click("Command2");
    auto* list = child<QListWidget>("BatchList");
    ASSERT_EQ(list->count(), kSheets);
    EXPECT_EQ(list->item(1)->text(), QStringLiteral("Sheet 1"));
    for (const auto& [caption, selected] :
         {std::pair{"Deselect All", kSheets}, {"Select All", 0}}) {
        click("Command4");
        EXPECT_EQ(child<QPushButton>("Command4")->text(), caption);
        EXPECT_EQ(list->selectedItems().size(), selected);
    }
    click("BatchOk");
    QTest::qWait(100);
    EXPECT_TRUE(requested.isEmpty());
    EXPECT_TRUE(child("BatchList")->isVisible());
    EXPECT_TRUE(text("batchNote").contains("No sheet is selected"));
    EXPECT_TRUE(QFile::exists(batchSave + QStringLiteral("0-tmp.tif")));
    EXPECT_EQ(BatchPrintMonitor::instance().running(), 0);
    EXPECT_TRUE(dialog->isVisible());
}

// Closing during a download: the stalled sheet is never followed up and the dialog goes away.
TEST_F(BatchPrinting, ClosingDuringADownloadStopsTheBatch) {
    tools::PlanServerOptions options;
    options.stall = {QStringLiteral("*/s2.tif")};
    openBatch(false, false, options);
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
    EXPECT_TRUE(printers.fake(0).log.isEmpty());
}

// Closing while a sheet prints: the job finishes its page, then the batch stops there.
TEST_F(BatchPrinting, ClosingDuringAPrintJobStopsTheBatchAfterThatJob) {
    openBatch(false, false);
    QObject::connect(&dialog->viewer(), &imaging::ImagingControl::loadProgress, dialog,
                     [this](int percent) {
                         if (percent == 100) {
                             QTimer::singleShot(0, dialog, [this] { dialog->close(); });
                         }
                     });
    EXPECT_TRUE(runBatch({2, 5}).value("stopped").toBool());
    EXPECT_FALSE(dialog->viewer().isLoading());
    QTest::qWait(200);
    EXPECT_EQ(printedRows(), QList<int>{2});
    EXPECT_EQ(requested, QStringList{"s2.tif"});
    EXPECT_FALSE(dialog->isVisible());
}

}  // namespace
}  // namespace sw::printing
