#include "plans/ui/batch_download.h"

#include "planserver/plan_server.h"
#include "support/test_paths.h"
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "base/ini_store.h"
#include "imaging/tiff_reader.h"
#include "imaging/tiff_writer.h"
#include "imaging/ui/imaging_control.h"
#include "plans/project_state.h"
#include "plans/ui/plan_dialogs.h"

namespace sw::plans {
namespace {

constexpr int kBatchTimeoutMs = 20000;

// A white bilevel sheet of w x h pixels with a 4 x 4 block of ink in its top left corner, so a
// turn can be told from its result.
imaging::Sheet cornerMarkedSheet(int w, int h) {
    QImage image(w, h, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    image.fill(0);
    for (int i = 0; i < 16; ++i) {
        image.setPixel(i % 4, i / 4, 1);
    }
    return imaging::Sheet(image, 200, 200);
}

QString planList(int sheets) {
    QString list = "hdr";
    for (int i = 1; i <= sheets; ++i) {
        list += QString("~A,Sheet %1,s%1.tif").arg(i);
    }
    return list;
}

// A project "2004-0815" of site "north" whose sheets s1.tif to s3.tif are served from a local
// folder laid out as on the plan server (the imaging control loads local paths as it loads
// URLs); the settings name a plan folder in the same temporary directory.
class BatchDownloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_base = m_temp.filePath("served") + '/';
        m_served = m_base + "2004/0815/plans/";
        m_folder = m_temp.filePath("plans/north/2004-0815/");
        base::writeProfileString(m_temp.filePath("Sheetwise.ini"), "Prefs", "Plan Directory",
                                 m_temp.filePath("plans"));
        for (const char* file : {"s1.tif", "s2.tif", "s3.tif"}) {
            serve(file, cornerMarkedSheet(40, 20));
        }
    }
    void TearDown() override {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            delete qobject_cast<BatchDownload*>(widget);
        }
    }

    // Serves the sheets over HTTP from now on, with the server's fault rules.
    tools::PlanServer& serveOverHttp(tools::PlanServerOptions options) {
        options.root = m_temp.filePath("served");
        m_server = std::make_unique<tools::PlanServer>(options);
        EXPECT_NE(m_server->start(), 0) << m_server->errorString().toStdString();
        m_base = m_server->baseUrl().toString();
        return *m_server;
    }

    void serve(const QString& file, const imaging::Sheet& sheet) {
        QDir().mkpath(m_served);
        imaging::saveTiffFile(sheet, m_served + file, imaging::kFormatCompressed, 1);
    }

    // The project as the viewer holds it after InitVars and MakePlanList.
    ProjectState project(std::int32_t rotation = 0, QString list = planList(3)) {
        ProjectState state;
        state.iniPath = m_temp.filePath("Sheetwise.ini");
        QString url = m_base;
        QString id = "2004~0815";
        QString name = "Main Street School";
        QString site = "north";
        state.InitVars(url, id, name, rotation, site);
        std::vector<TreeNode> nodes;
        state.MakePlanList(list, nodes);
        return state;
    }
    // Opens the dialog as the "Download" command does.
    BatchDownload* open(std::int32_t rotation = 0, const QString& list = planList(3)) {
        ProjectState state = project(rotation, list);
        return openBatchDownload(state, nullptr);
    }

    // Selects `rows`, clicks "Download", runs `whileRunning` and waits for the end of the batch.
    static void download(BatchDownload* dialog, const QList<int>& rows,
                         const std::function<void()>& whileRunning = {}) {
        for (const int row : rows) {
            dialog->thelist->item(row)->setSelected(true);
        }
        QSignalSpy finished(dialog, &BatchDownload::batchFinished);
        dialog->Command1->click();
        if (whileRunning) {
            whileRunning();
        }
        ASSERT_TRUE(finished.count() > 0 || finished.wait(kBatchTimeoutMs));
    }

    static bool closesItself(const QPointer<BatchDownload>& dialog) {
        return QTest::qWaitFor([&] { return dialog.isNull(); }, 2000);
    }

    // Every entry of the project folder, hidden and temporary files included.
    QStringList stored() const {
        return QDir(m_folder).entryList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }

    QTemporaryDir m_temp;
    QString m_base;    // base URL handed to InitVars
    QString m_served;  // where the project's sheets are served from
    QString m_folder;  // project folder
    std::unique_ptr<tools::PlanServer> m_server;
};

TEST_F(BatchDownloadTest, RowsZeroAndTwoAreStoredTurnedInListOrderThenTheDialogCloses) {
    QPointer<BatchDownload> dialog =
        open(90, "hdr~A,Sheet 1,s1.tif~A,Sheet 2,s2.tif~B,O^Brien,s3.tif");
    ASSERT_EQ(dialog->thelist->count(), 3);
    EXPECT_EQ(dialog->thelist->item(2)->text(), "O'Brien");
    download(dialog, {0, 2}, [&] {
        EXPECT_FALSE(dialog->Frame1->isVisible());
        EXPECT_TRUE(dialog->Frame2->isVisible());
        EXPECT_EQ(dialog->Label1->text(), m_served + "s1.tif");
        EXPECT_EQ(dialog->findChild<QLabel*>("lblCount")->text(), "Sheet 1 of 2");
        EXPECT_EQ(dialog->findChild<QLabel*>("lblSheet")->text(), "Sheet 1");
    });
    EXPECT_EQ(dialog->chosenFiles, (QStringList{"s1.tif", "s3.tif", ""}));
    EXPECT_EQ(dialog->savedFiles(),
              (QStringList{m_folder + "Sheet 1.tif", m_folder + "O^Brien.tif"}));
    EXPECT_EQ(stored(), (QStringList{"O^Brien.tif", "Sheet 1.tif", "desc.txt"}));
    for (const QString& file : dialog->savedFiles()) {
        const imaging::Sheet sheet = imaging::readTiffFile(file);
        EXPECT_EQ(QSize(sheet.width(), sheet.height()), QSize(20, 40)) << file.toStdString();
        EXPECT_EQ(sheet.bitsPerPixel(), 1);
        EXPECT_EQ(sheet.image().pixelIndex(19, 0), 1) << "the corner mark turned clockwise";
        EXPECT_EQ(sheet.image().pixelIndex(10, 20), 0);
    }
    EXPECT_TRUE(closesItself(dialog));
}

TEST_F(BatchDownloadTest, DownloadNeedsASelectionAndSelectAllTogglesEveryRow) {
    QPointer<BatchDownload> dialog = open();
    auto* note = dialog->findChild<QLabel*>("lblNote");
    dialog->Command1->click();
    QTest::qWait(50);
    ASSERT_FALSE(dialog.isNull());
    EXPECT_EQ(dialog->phase(), BatchDownload::Phase::Selecting);
    EXPECT_TRUE(note->isVisible());
    EXPECT_FALSE(note->text().isEmpty());
    EXPECT_TRUE(dialog->viewer->loadAddress().isEmpty());

    dialog->Command3->click();
    EXPECT_EQ(dialog->Command3->text(), "Deselect All");
    EXPECT_EQ(dialog->thelist->selectedItems().size(), 3);
    EXPECT_FALSE(note->isVisible()) << "picking rows clears the note";
    dialog->Command3->click();
    EXPECT_EQ(dialog->Command3->text(), "Select All");
    EXPECT_TRUE(dialog->thelist->selectedItems().isEmpty());
    dialog->Command3->click();
    download(dialog, {});
    EXPECT_EQ(stored(), (QStringList{"Sheet 1.tif", "Sheet 2.tif", "Sheet 3.tif", "desc.txt"}));
}

// Opening writes desc.txt even when cancelled; a later opening keeps the first description.
TEST_F(BatchDownloadTest, DescriptionIsWrittenOnOpeningEvenWhenCancelled) {
    QPointer<BatchDownload> dialog = open();
    dialog->Command2->click();
    EXPECT_TRUE(closesItself(dialog));
    ProjectState renamed = project();
    renamed.projectName = "Renamed";
    delete openBatchDownload(renamed, nullptr);
    QFile file(m_folder + "desc.txt");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "Main Street School\r\n");
}

// Over HTTP, sheets 2 to 7 of 8 fail each in its own way; the batch goes on, stores the others
// whole and leaves no partial file, and the dialog stays open with the failures listed.
TEST_F(BatchDownloadTest, EachFailingSheetIsListedAndTheOthersAreStoredWhole) {
    for (const char* file : {"s7.tif", "s8.tif"}) {
        serve(file, cornerMarkedSheet(40, 20));
    }
    QFile::copy(test::dataPath("corpus/malformed/fuzz-inf_loop-000028.tif"), m_served + "s5.tif");
    QFile html(m_served + "s6.tif");
    ASSERT_TRUE(html.open(QIODevice::WriteOnly));
    html.write("<html>Not Found</html>");
    html.close();
    QDir().mkpath(m_folder + "Sheet 7.tif/inner");  // a folder in the way of the file
    tools::PlanServerOptions options;
    options.status = {{"*/s2.tif", 500}};
    options.truncate = {"*/s3.tif"};
    serveOverHttp(options);

    QPointer<BatchDownload> dialog = open(0, planList(8));
    download(dialog, {0, 1, 2, 3, 4, 5, 6, 7});
    QTest::qWait(100);
    ASSERT_FALSE(dialog.isNull()) << "closed itself although sheets failed";
    EXPECT_EQ(dialog->phase(), BatchDownload::Phase::Finished);
    const QStringList failures = dialog->failures();
    ASSERT_EQ(failures.size(), 6) << failures.join('\n').toStdString();
    const char* reasons[] = {"500", "cut short", "404", "", "TIFF", "Cannot write"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(failures[i].startsWith(QString("Sheet %1: ").arg(i + 2)));
        EXPECT_TRUE(failures[i].contains(reasons[i])) << failures[i].toStdString();
    }
    EXPECT_EQ(stored(), (QStringList{"Sheet 1.tif", "Sheet 7.tif", "Sheet 8.tif", "desc.txt"}));
    EXPECT_EQ(dialog->findChild<QListWidget*>("lstFailures")->count(), 6);
    auto* close = dialog->findChild<QPushButton*>("cmdClose");
    ASSERT_TRUE(close->isVisible());
    close->click();
    EXPECT_TRUE(closesItself(dialog));
}

TEST_F(BatchDownloadTest, ClosingWhileASheetDecodesStopsCleanly) {
    serve("big.tif", cornerMarkedSheet(4000, 3000));
    QPointer<BatchDownload> dialog = open(90, "hdr~A,Big,big.tif~A,Big 2,big.tif");
    dialog->Command3->click();
    dialog->Command1->click();
    ASSERT_EQ(dialog->phase(), BatchDownload::Phase::Downloading);
    dialog->close();
    EXPECT_TRUE(closesItself(dialog));
    QTest::qWait(500);
    EXPECT_EQ(stored(), QStringList{"desc.txt"});
}

TEST_F(BatchDownloadTest, EscapeDuringAStalledTransferClosesAndStops) {
    tools::PlanServerOptions options;
    options.stall = {"*/s1.tif"};
    tools::PlanServer& server = serveOverHttp(options);
    QPointer<BatchDownload> dialog = open();
    dialog->thelist->item(0)->setSelected(true);
    QSignalSpy answered(&server, &tools::PlanServer::requestServed);
    dialog->Command1->click();
    ASSERT_TRUE(answered.wait(5000));
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_TRUE(closesItself(dialog));
    QTest::qWait(100);
    EXPECT_EQ(stored(), QStringList{"desc.txt"});
}

}  // namespace
}  // namespace sw::plans
