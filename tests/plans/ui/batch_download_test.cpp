#include "plans/ui/batch_download.h"

#include "plan_sheets.h"
#include "planserver/plan_server.h"
#include "support/qt_print.h"
#include "support/test_paths.h"
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include "imaging/tiff_reader.h"
#include "imaging/ui/imaging_control.h"
#include "plans/project_state.h"
#include "plans/ui/plan_dialogs.h"

namespace sw::plans {
namespace {

using test::folderEntries;
using test::isInk;

constexpr int kBatchTimeoutMs = 20000;
const QString kProject = QStringLiteral("Main Street School");

// A project "2004-0815" of site "north": its sheets are served from a local folder laid out as
// on the plan server (the imaging control loads local paths as it loads URLs), and the settings
// name a plan folder in the same temporary directory.
class BatchDownloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_temp.isValid());
        m_base = m_temp.filePath(QStringLiteral("served")) + '/';
        m_served = m_base + QStringLiteral("2004/0815/plans/");
        m_plans = m_temp.filePath(QStringLiteral("plans"));
        m_folder = m_plans + QStringLiteral("/north/2004-0815/");
        QFile ini(m_temp.filePath(QStringLiteral("Sheetwise.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Prefs]\r\nPlan Directory=" + m_plans.toUtf8() + "\r\n");
    }

    void TearDown() override {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (qobject_cast<BatchDownload*>(widget) != nullptr) {
                delete widget;
            }
        }
    }

public:
    // Serves the sheets over HTTP from now on, with the server's fault rules.
    void serveOverHttp(tools::PlanServerOptions options) {
        options.root = m_temp.filePath(QStringLiteral("served"));
        m_server = std::make_unique<tools::PlanServer>(options);
        ASSERT_NE(m_server->start(), 0) << m_server->errorString().toStdString();
        m_base = m_server->baseUrl().toString();
    }

protected:
    void serve(const QString& file, const imaging::Sheet& sheet) {
        test::writeSheet(m_served + file, sheet);
    }
    void serveThree() {
        for (const char* file : {"s1.tif", "s2.tif", "s3.tif"}) {
            serve(QLatin1String(file), test::cornerMarkedSheet(40, 20));
        }
    }

    // The project as the viewer holds it after InitVars and MakePlanList.
    ProjectState project(std::int32_t rotation = 0,
                         const QString& list = QStringLiteral(
                             "hdr~A,Sheet 1,s1.tif~A,Sheet 2,s2.tif~B,Sheet 3,s3.tif")) {
        ProjectState state;
        state.iniPath = m_temp.filePath(QStringLiteral("Sheetwise.ini"));
        QString url = m_base;
        QString id = QStringLiteral("2004~0815");
        QString name = kProject;
        QString site = QStringLiteral("north");
        state.InitVars(url, id, name, rotation, site);
        std::vector<TreeNode> nodes;
        state.MakePlanList(list, nodes);
        return state;
    }

    // Opens the dialog as the "Download" command does.
    BatchDownload* open(std::int32_t rotation = 0) {
        ProjectState state = project(rotation);
        return openBatchDownload(state, nullptr);
    }

    // Selects `rows`, clicks "Download" and waits for the end of the batch.
    static void download(BatchDownload* dialog, const QList<int>& rows) {
        for (const int row : rows) {
            dialog->thelist->item(row)->setSelected(true);
        }
        QSignalSpy finished(dialog, &BatchDownload::batchFinished);
        dialog->Command1->click();
        ASSERT_TRUE(finished.count() > 0 || finished.wait(kBatchTimeoutMs));
    }

    static bool closesItself(const QPointer<BatchDownload>& dialog) {
        return QTest::qWaitFor([&] { return dialog.isNull(); }, 2000);
    }

    QStringList stored() const { return folderEntries(m_folder); }

    QTemporaryDir m_temp;
    QString m_base;    // base URL handed to InitVars
    QString m_served;  // where the project's sheets are served from
    QString m_plans;   // plan folder
    QString m_folder;  // project folder
    std::unique_ptr<tools::PlanServer> m_server;
};

TEST_F(BatchDownloadTest, RowsZeroAndTwoOfThreeAreStoredInListOrderThenTheDialogCloses) {
    serveThree();
    QPointer<BatchDownload> dialog = open();
    EXPECT_EQ(dialog->thelist->count(), 3);
    download(dialog, {0, 2});
    EXPECT_EQ(dialog->chosenFiles, (QStringList{"s1.tif", "s3.tif", ""}));
    EXPECT_EQ(dialog->savedFiles(),
              (QStringList{m_folder + "Sheet 1.tif", m_folder + "Sheet 3.tif"}));
    EXPECT_EQ(stored(), (QStringList{"Sheet 1.tif", "Sheet 3.tif", "desc.txt"}));
    EXPECT_TRUE(closesItself(dialog));
}

TEST_F(BatchDownloadTest, SelectAllTogglesItsCaptionAndEveryRow) {
    serveThree();
    QPointer<BatchDownload> dialog = open();
    dialog->Command3->click();
    EXPECT_EQ(dialog->Command3->text(), "Deselect All");
    EXPECT_EQ(dialog->thelist->selectedItems().size(), 3);
    dialog->Command3->click();
    EXPECT_EQ(dialog->Command3->text(), "Select All");
    EXPECT_TRUE(dialog->thelist->selectedItems().isEmpty());

    dialog->Command3->click();
    download(dialog, {});
    EXPECT_EQ(stored(), (QStringList{"Sheet 1.tif", "Sheet 2.tif", "Sheet 3.tif", "desc.txt"}));
}

TEST_F(BatchDownloadTest, CaretIsListedAsApostropheButStoredAsCaret) {
    serve(QStringLiteral("ob.tif"), test::cornerMarkedSheet(16, 16));
    ProjectState state = project(0, QStringLiteral("hdr~Halls,O^Brien Hall,ob.tif"));
    QPointer<BatchDownload> dialog = openBatchDownload(state, nullptr);
    ASSERT_EQ(dialog->thelist->count(), 1);
    EXPECT_EQ(dialog->thelist->item(0)->text(), "O'Brien Hall");
    download(dialog, {0});
    EXPECT_EQ(stored(), (QStringList{"O^Brien Hall.tif", "desc.txt"}));
}

TEST_F(BatchDownloadTest, DownloadWithoutSelectionSaysSoAndStaysOnTheList) {
    serveThree();
    QPointer<BatchDownload> dialog = open();
    dialog->Command1->click();
    QTest::qWait(50);
    ASSERT_FALSE(dialog.isNull());
    EXPECT_EQ(dialog->phase(), BatchDownload::Phase::Selecting);
    EXPECT_TRUE(dialog->Frame1->isVisible());
    EXPECT_FALSE(dialog->Frame2->isVisible());
    auto* note = dialog->findChild<QLabel*>(QStringLiteral("lblNote"));
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->isVisible());
    EXPECT_FALSE(note->text().isEmpty());
    EXPECT_TRUE(dialog->viewer->loadAddress().isEmpty());

    // Picking a row clears the note, and the download then runs.
    dialog->thelist->item(1)->setSelected(true);
    EXPECT_FALSE(note->isVisible());
    download(dialog, {});
    EXPECT_EQ(stored(), (QStringList{"Sheet 2.tif", "desc.txt"}));
}

TEST_F(BatchDownloadTest, ProgressPanelIsBlueAndNamesTheSheetBeingFetched) {
    serveThree();
    QPointer<BatchDownload> dialog = open();
    dialog->thelist->item(1)->setSelected(true);
    dialog->thelist->item(2)->setSelected(true);
    dialog->Command1->click();
    EXPECT_FALSE(dialog->Frame1->isVisible());
    EXPECT_TRUE(dialog->Frame2->isVisible());
    EXPECT_EQ(dialog->palette().color(QPalette::Window), QColor(58, 132, 247));
    EXPECT_EQ(dialog->Label1->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_EQ(dialog->Label1->text(), m_served + "s2.tif");
    EXPECT_EQ(dialog->findChild<QLabel*>("lblCount")->text(), "Sheet 1 of 2");
    EXPECT_EQ(dialog->findChild<QLabel*>("lblSheet")->text(), "Sheet 2");
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.isNull(); }, kBatchTimeoutMs));
}

TEST_F(BatchDownloadTest, DescriptionIsWrittenOnOpeningEvenWhenCancelled) {
    QPointer<BatchDownload> dialog = open();
    const QString desc = m_folder + "desc.txt";
    ASSERT_TRUE(QFile::exists(desc));
    dialog->Command2->click();
    EXPECT_TRUE(closesItself(dialog));
    QFile file(desc);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), kProject.toUtf8() + "\r\n");

    // A later opening keeps the first description.
    ProjectState renamed = project();
    renamed.projectName = QStringLiteral("Renamed");
    delete openBatchDownload(renamed, nullptr);
    file.seek(0);
    EXPECT_EQ(file.readAll(), kProject.toUtf8() + "\r\n");
}

// How a stored 40 x 20 sheet with ink in its top left corner looks for a project rotation.
struct TurnCase {
    const char* name;
    std::int32_t degrees;
    int width;
    int height;
    QPoint ink;  // where the corner mark ends up
};

void PrintTo(const TurnCase& c, std::ostream* os) {
    *os << c.name;
}

class BatchRotationTest : public BatchDownloadTest,
                          public ::testing::WithParamInterface<TurnCase> {};

TEST_P(BatchRotationTest, EveryStoredSheetIsTurnedByTheProjectRotation) {
    const TurnCase& c = GetParam();
    serveThree();
    QPointer<BatchDownload> dialog = open(c.degrees);
    EXPECT_EQ(dialog->batchRotation, c.degrees * 100);
    download(dialog, {0, 1});
    for (const char* name : {"Sheet 1.tif", "Sheet 2.tif"}) {
        const imaging::Sheet sheet = imaging::readTiffFile(m_folder + QLatin1String(name));
        EXPECT_EQ(sheet.width(), c.width) << name;
        EXPECT_EQ(sheet.height(), c.height) << name;
        EXPECT_EQ(sheet.bitsPerPixel(), 1) << name;
        EXPECT_TRUE(isInk(sheet, c.ink.x(), c.ink.y())) << name;
        EXPECT_FALSE(isInk(sheet, c.width / 2, c.height / 2)) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Rotations, BatchRotationTest,
                         ::testing::Values(TurnCase{"None", 0, 40, 20, {0, 0}},
                                           TurnCase{"Clockwise", 90, 20, 40, {19, 0}},
                                           TurnCase{"AntiClockwise", -90, 20, 40, {0, 39}},
                                           TurnCase{"HalfTurn", 180, 40, 20, {39, 19}}),
                         [](const auto& info) { return std::string(info.param.name); });

// The second of three sheets cannot be stored; how it fails differs per case.
struct FailureCase {
    const char* name;
    std::function<void(BatchDownloadTest&, const QString& served, const QString& folder)> arrange;
    const char* reasonPart;  // part of the reason the panel lists
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class BatchFailureTest : public BatchDownloadTest,
                         public ::testing::WithParamInterface<FailureCase> {};

TEST_P(BatchFailureTest, OthersAreStoredAndTheFailureStaysListed) {
    serveThree();
    GetParam().arrange(*this, m_served, m_folder);
    QPointer<BatchDownload> dialog = open();
    download(dialog, {0, 1, 2});
    ASSERT_FALSE(dialog.isNull());
    ASSERT_EQ(dialog->failures().size(), 1);
    EXPECT_TRUE(dialog->failures().first().startsWith("Sheet 2: "));
    EXPECT_TRUE(dialog->failures().first().contains(QLatin1String(GetParam().reasonPart)))
        << dialog->failures().first().toStdString();
    EXPECT_EQ(dialog->savedFiles().size(), 2);

    QTest::qWait(100);
    ASSERT_FALSE(dialog.isNull()) << "closed itself although a sheet failed";
    EXPECT_EQ(dialog->phase(), BatchDownload::Phase::Finished);
    auto* list = dialog->findChild<QListWidget*>(QStringLiteral("lstFailures"));
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(list->count(), 1);
    auto* close = dialog->findChild<QPushButton*>(QStringLiteral("cmdClose"));
    ASSERT_NE(close, nullptr);
    EXPECT_TRUE(close->isVisible());

    QStringList expected{"Sheet 1.tif", "Sheet 3.tif", "desc.txt"};
    if (QFileInfo(m_folder + "Sheet 2.tif").isDir()) {
        expected.insert(1, "Sheet 2.tif");
    }
    EXPECT_EQ(stored(), expected);
    close->click();
    EXPECT_TRUE(closesItself(dialog));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, BatchFailureTest,
    ::testing::Values(FailureCase{"ServerError",
                                  [](BatchDownloadTest& t, const QString&, const QString&) {
                                      tools::PlanServerOptions options;
                                      options.status = {{"*/s2.tif", 500}};
                                      t.serveOverHttp(options);
                                  },
                                  "500"},
                      FailureCase{"ServerCutsTheSheetShort",
                                  [](BatchDownloadTest& t, const QString&, const QString&) {
                                      tools::PlanServerOptions options;
                                      options.truncate = {"*/s2.tif"};
                                      t.serveOverHttp(options);
                                  },
                                  "cut short"},
                      FailureCase{"MissingSheet",
                                  [](BatchDownloadTest&, const QString& served, const QString&) {
                                      QFile::remove(served + "s2.tif");
                                  },
                                  "s2.tif"},
                      FailureCase{"CorruptSheet",
                                  [](BatchDownloadTest&, const QString& served, const QString&) {
                                      QFile::remove(served + "s2.tif");
                                      QFile::copy(test::dataPath(
                                                      "corpus/malformed/fuzz-inf_loop-000028.tif"),
                                                  served + "s2.tif");
                                  },
                                  ""},
                      FailureCase{"NotATiff",
                                  [](BatchDownloadTest&, const QString& served, const QString&) {
                                      QFile file(served + "s2.tif");
                                      file.open(QIODevice::WriteOnly | QIODevice::Truncate);
                                      file.write("<html>Not Found</html>");
                                  },
                                  "TIFF"},
                      // A folder in the way of the file: the save fails when it replaces it.
                      FailureCase{"SaveFails",
                                  [](BatchDownloadTest&, const QString&, const QString& folder) {
                                      QDir().mkpath(folder + "Sheet 2.tif/inner");
                                  },
                                  "Cannot write"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BatchDownloadTest, ClosingWhileASheetDecodesStopsCleanly) {
    serve(QStringLiteral("big.tif"), test::cornerMarkedSheet(4000, 3000));
    ProjectState state = project(90, QStringLiteral("hdr~A,Big,big.tif~A,Big 2,big.tif"));
    QPointer<BatchDownload> dialog = openBatchDownload(state, nullptr);
    dialog->Command3->click();
    dialog->Command1->click();
    ASSERT_EQ(dialog->phase(), BatchDownload::Phase::Downloading);
    dialog->close();
    EXPECT_TRUE(closesItself(dialog));
    QTest::qWait(500);
    EXPECT_EQ(stored(), QStringList{"desc.txt"});
}

TEST_F(BatchDownloadTest, EscapeDuringAStalledTransferClosesAndStops) {
    QTcpServer silent;  // accepts and never answers
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    QList<QTcpSocket*> held;
    QObject::connect(&silent, &QTcpServer::newConnection, [&] {
        while (QTcpSocket* socket = silent.nextPendingConnection()) {
            held << socket;
        }
    });
    ProjectState state = project();
    state.planUrl = QStringLiteral("http://127.0.0.1:%1/2004/0815/plans/").arg(silent.serverPort());
    QPointer<BatchDownload> dialog = openBatchDownload(state, nullptr);
    dialog->thelist->item(0)->setSelected(true);
    dialog->Command1->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !held.isEmpty(); }, 5000));
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_TRUE(closesItself(dialog));
    QTest::qWait(100);
    EXPECT_EQ(stored(), QStringList{"desc.txt"});
}

}  // namespace
}  // namespace sw::plans
