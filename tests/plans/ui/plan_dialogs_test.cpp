// The plan area's dialogs as the viewer's "Download", "Prefs" and "Markup" commands open them.
#include "planserver/plan_server.h"
#include "support/test_paths.h"
#include <gtest/gtest.h>

#include <memory>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "base/ini_store.h"
#include "base/paths.h"
#include "base/preferences.h"
#include "host/ui/fast_viewer.h"
#include "imaging/tiff_reader.h"
#include "imaging/tiff_writer.h"
#include "imaging/ui/imaging_control.h"
#include "plans/ui/batch_download.h"
#include "plans/ui/prefs_form.h"
#include "plans/ui/upgrade_frm.h"

namespace sw::plans {
namespace {

using sw::test::PrintTo;

constexpr int kBatchTimeoutMs = 20000;

const QString kEightSheets =
    "hdr~A,Sheet 1,s1.tif~A,Sheet 2,s2.tif~A,Sheet 3,s3.tif~A,Sheet 4,s4.tif~A,Sheet 5,s5.tif"
    "~A,Sheet 6,s6.tif~A,Sheet 7,s7.tif~A,Sheet 8,s8.tif";

// A viewer whose settings name a plan folder in a temporary directory, and project "2004-0815" of
// site "north" whose sheets s1.tif to s3.tif (white, with a 4 x 4 block of ink in the top left
// corner so that a turn can be told) are served from a local folder laid out as on the plan
// server (the imaging control loads local paths as it loads URLs). The dialogs belong to the
// viewer and go with it.
class PlanDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        m_viewer.iniPath = m_temp.filePath("Sheetwise.ini");
        base::writeProfileString(m_viewer.iniPath, "Prefs", "Plan Directory",
                                 m_temp.filePath("plans"));
        m_viewer.setMessageSink([](const QString&) {});
        for (const char* file : {"s1.tif", "s2.tif", "s3.tif"}) {
            serve(file);
        }
    }

    void serve(const QString& file, QSize size = {40, 20}) {
        QImage image(size, QImage::Format_Mono);
        image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
        image.fill(0);
        for (int i = 0; i < 16; ++i) {
            image.setPixel(i % 4, i / 4, 1);
        }
        QDir().mkpath(m_served);
        imaging::saveTiffFile(imaging::Sheet(image, 200, 200), m_served + file,
                              imaging::kFormatCompressed, 1);
    }
    // Serves the sheets over HTTP from now on, with the server's fault rules.
    tools::PlanServer& serveOverHttp(tools::PlanServerOptions options) {
        options.root = m_temp.filePath("served");
        m_server = std::make_unique<tools::PlanServer>(options);
        EXPECT_NE(m_server->start(), 0) << m_server->errorString().toStdString();
        m_base = m_server->baseUrl().toString();
        return *m_server;
    }

    // Sets the project up as a page does and runs "Download"; the dialog it opened, if one.
    BatchDownload* openDownload(qint32 rotation = 0, QString list = kEightSheets) {
        QString url = m_base, id = "2004~0815", name = "Main Street School", site = "north";
        m_viewer.InitVars(url, id, name, rotation, site);
        m_viewer.MakePlanList(list);
        m_viewer.DoCommand("Download");
        const QList<BatchDownload*> open = m_viewer.findChildren<BatchDownload*>();
        return open.size() == 1 ? open.first() : nullptr;
    }
    // "Prefs": the one preferences dialog.
    PrefsForm* openPrefs() {
        m_viewer.DoCommand("Prefs");
        const QList<PrefsForm*> open = m_viewer.findChildren<PrefsForm*>();
        return open.size() == 1 ? open.first() : nullptr;
    }
    template <typename Dialog>
    static bool closesItself(const QPointer<Dialog>& dialog) {
        return QTest::qWaitFor([&] { return dialog.isNull(); }, 2000);
    }
    // Every entry of the project folder, hidden and temporary files included.
    QStringList stored() const {
        return QDir(m_folder).entryList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }

    QTemporaryDir m_temp;
    QString m_served = m_temp.filePath("served/2004/0815/plans/");
    QString m_base = m_temp.filePath("served") + '/';              // base URL handed to InitVars
    QString m_folder = m_temp.filePath("plans/north/2004-0815/");  // project folder
    std::unique_ptr<tools::PlanServer> m_server;
    host::FastViewer m_viewer;
};

// ---- Download --------------------------------------------------------------------------------

// The chosen rows are fetched in list order, turned by the project rotation and stored whole
// under their sheet names; the dialog belongs to the viewer, shows its progress, and closes by
// itself when everything was stored.
TEST_F(PlanDialogs, DownloadStoresTheChosenSheetsTurnedInListOrderThenCloses) {
    QPointer<BatchDownload> dialog =
        openDownload(90, "hdr~A,A-101 Site,s1.tif~A,Sheet 2,s2.tif~B,O^Brien,s3.tif");
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->parentWidget(), m_viewer.window());
    EXPECT_EQ(dialog->thelist->item(0)->text() + dialog->thelist->item(2)->text(),
              "A-101 SiteO'Brien");
    dialog->thelist->item(0)->setSelected(true);
    dialog->thelist->item(2)->setSelected(true);
    QSignalSpy finished(dialog, &BatchDownload::batchFinished);
    dialog->Command1->click();
    EXPECT_TRUE(dialog->Frame2->isVisible() && !dialog->Frame1->isVisible()) << "the progress";
    EXPECT_EQ(dialog->Label1->text(), m_served + "s1.tif");
    EXPECT_EQ(dialog->findChild<QLabel*>("lblCount")->text(), "Sheet 1 of 2");
    EXPECT_EQ(dialog->findChild<QLabel*>("lblSheet")->text(), "A-101 Site");
    ASSERT_TRUE(finished.wait(kBatchTimeoutMs));
    EXPECT_EQ(dialog->savedFiles(),
              (QStringList{m_folder + "A-101 Site.tif", m_folder + "O^Brien.tif"}));
    EXPECT_EQ(stored(), (QStringList{"A-101 Site.tif", "O^Brien.tif", "desc.txt"}));
    const QImage turned = imaging::readTiffFile(m_folder + "O^Brien.tif").image();
    EXPECT_EQ(turned.size(), QSize(20, 40));
    EXPECT_EQ(turned.depth(), 1);
    EXPECT_EQ(turned.pixelIndex(19, 0) - turned.pixelIndex(10, 20), 1) << "the mark turned right";
    EXPECT_TRUE(closesItself(dialog));
}

// A batch that stores nothing leaves only the description written on opening: a full turn does
// not fit the batch's 16-bit hundredths of a degree (the error is shown, and neither folder nor
// dialog is made); "Download" without a chosen row says so and fetches nothing ("Select All"
// toggles every row); "Cancel" closes; and closing while a sheet decodes stops the batch.
TEST_F(PlanDialogs, ABatchThatStoresNothingLeavesOnlyTheDescription) {
    EXPECT_EQ(openDownload(360), nullptr);
    EXPECT_EQ(m_viewer.messagesShown, QStringList{"Overflow"});
    EXPECT_FALSE(QFileInfo::exists(m_folder));
    QPointer<BatchDownload> dialog = openDownload();
    ASSERT_TRUE(dialog);
    auto* note = dialog->findChild<QLabel*>("lblNote");
    dialog->Command1->click();
    QTest::qWait(50);
    ASSERT_FALSE(dialog.isNull());
    EXPECT_TRUE(note->isVisible());
    EXPECT_TRUE(dialog->viewer->loadAddress().isEmpty());
    dialog->Command3->click();
    EXPECT_EQ(dialog->Command3->text(), "Deselect All");
    EXPECT_EQ(dialog->thelist->selectedItems().size(), 8) << "a row per sheet, none for the spare";
    EXPECT_FALSE(note->isVisible()) << "picking rows clears the note";
    dialog->Command3->click();
    EXPECT_EQ(dialog->Command3->text(), "Select All");
    EXPECT_TRUE(dialog->thelist->selectedItems().isEmpty());
    dialog->Command2->click();
    EXPECT_TRUE(closesItself(dialog));

    serve("big.tif", {4000, 3000});
    dialog = openDownload(90, "hdr~A,Big,big.tif~A,Big 2,big.tif");
    ASSERT_TRUE(dialog);
    dialog->Command3->click();
    dialog->Command1->click();
    ASSERT_EQ(dialog->phase(), BatchDownload::Phase::Downloading);
    dialog->close();
    EXPECT_TRUE(closesItself(dialog));
    QTest::qWait(500);
    EXPECT_EQ(stored(), QStringList{"desc.txt"});
    EXPECT_EQ(sw::test::readFile(m_folder + "desc.txt"), "Main Street School\r\n");
}

// Over HTTP, sheets 2 to 7 of 8 fail each in its own way; the batch goes on, stores the others
// whole and leaves no partial file, and the dialog stays open with the failures listed.
TEST_F(PlanDialogs, EachFailingSheetIsListedAndTheOthersAreStoredWhole) {
    serve("s7.tif");
    serve("s8.tif");
    QFile::copy(sw::test::dataPath("corpus/malformed/fuzz-inf_loop-000028.tif"),
                m_served + "s5.tif");
    ASSERT_TRUE(sw::test::writeFile(m_served + "s6.tif", "<html>Not Found</html>"));
    QDir().mkpath(m_folder + "Sheet 7.tif/inner");  // a folder in the way of the file
    tools::PlanServerOptions options;
    options.status = {{"*/s2.tif", 500}};
    options.truncate = {"*/s3.tif"};
    serveOverHttp(options);

    QPointer<BatchDownload> dialog = openDownload();
    ASSERT_TRUE(dialog);
    QSignalSpy finished(dialog, &BatchDownload::batchFinished);
    dialog->Command3->click();
    dialog->Command1->click();
    ASSERT_TRUE(finished.wait(kBatchTimeoutMs));
    QTest::qWait(100);
    ASSERT_FALSE(dialog.isNull()) << "closed itself although sheets failed";
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
    EXPECT_TRUE(close->isVisible());
    close->click();
    EXPECT_TRUE(closesItself(dialog));
}

// Escape closes the dialog while a transfer stalls, and the batch stops with nothing stored.
TEST_F(PlanDialogs, EscapeDuringAStalledTransferClosesAndStops) {
    tools::PlanServerOptions options;
    options.stall = {"*/s1.tif"};
    QSignalSpy answered(&serveOverHttp(options), &tools::PlanServer::requestServed);
    QPointer<BatchDownload> dialog = openDownload();
    ASSERT_TRUE(dialog);
    dialog->thelist->item(0)->setSelected(true);
    dialog->Command1->click();
    ASSERT_TRUE(answered.wait(5000));
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_TRUE(closesItself(dialog));
    QTest::qWait(100);
    EXPECT_EQ(stored(), QStringList{"desc.txt"});
}

// ---- Prefs -----------------------------------------------------------------------------------

// Section "Prefs" as the dialog writes it.
QByteArray prefsSection(const QString& folder, bool blue, bool reverse) {
    const QString format =
        "[Prefs]\r\nPlan Directory=%1\r\nPrint In Blue=%2\r\nReverse Print=%3\r\n";
    return format.arg(folder, QString::number(blue), QString::number(reverse)).toUtf8();
}

struct PrefsCase {
    const char* name;
    QString folder;  // what "Choose Folder" answers; empty: no user, so the chooser cancels
    bool blue;
    bool reverse;
    const char* exit;  // object name of the button that ends the dialog; another: the close box
};

class PrefsTable : public PlanDialogs, public ::testing::WithParamInterface<PrefsCase> {};

// What "Save" writes the next dialog shows, and the file's other sections stay; "Cancel" and the
// close box write nothing. A second "Prefs" keeps the one dialog and the user's edits. With no
// user to answer, "Choose Folder" must not wait for one.
TEST_P(PrefsTable, SaveWritesWhatTheNextDialogShowsCancelAndCloseWriteNothing) {
    const PrefsCase& c = GetParam();
    if (c.folder.isEmpty() && QApplication::platformName() != QLatin1String("offscreen")) {
        GTEST_SKIP() << "a screen is attached: Choose Folder would wait for a user";
    }
    const QByteArray other = "[Printing]\r\nDefault Paper=1\r\n";
    ASSERT_TRUE(sw::test::writeFile(m_viewer.iniPath, other + prefsSection("/data/Plans", 0, 0)));
    QPointer<PrefsForm> form = openPrefs();
    ASSERT_TRUE(form);
    if (!c.folder.isEmpty()) {
        form->setFolderChooser([&](QWidget*, const QString&, const QString&) { return c.folder; });
    }
    form->Command1->click();
    form->Check1->setChecked(c.blue);
    form->ReverseBatch->setChecked(c.reverse);
    EXPECT_EQ(openPrefs(), form.data());
    if (auto* button = form->findChild<QPushButton*>(c.exit)) {
        button->click();
    } else {
        form->close();
    }
    EXPECT_TRUE(closesItself(form));
    const QByteArray written = QLatin1String(c.exit) == QLatin1String("Command2")
                                   ? prefsSection(c.folder, c.blue, c.reverse)
                                   : prefsSection("/data/Plans", 0, 0);
    EXPECT_EQ(sw::test::readFile(m_viewer.iniPath), other + written);
    const PrefsForm* again = openPrefs();
    EXPECT_EQ(prefsSection(again->PlanFolder->text(), again->Check1->isChecked(),
                           again->ReverseBatch->isChecked()),
              written);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, PrefsTable,
    ::testing::Values(PrefsCase{"SaveBlueOnly", "/srv/plan room/saved", true, false, "Command2"},
                      PrefsCase{"SaveReverseOnly", QStringLiteral("/home/zoë/Pläne"), false, true,
                                "Command2"},
                      PrefsCase{"SaveBothTrailingSeparator", "/mnt/plans/", true, true, "Command2"},
                      PrefsCase{"SaveWithNoUserToChoose", "", true, false, "Command2"},
                      PrefsCase{"CancelWritesNothing", "/elsewhere", true, true, "Command3"},
                      PrefsCase{"CloseBoxWritesNothing", "/elsewhere", true, true, "-"}),
    sw::test::byName);

// With no plan folder in the settings the dialog shows the default folder and writes it, and
// nothing else.
TEST_F(PlanDialogs, AbsentPlanFolderShowsAndWritesTheDefaultOnly) {
    const QString expected = base::withTrailingSeparator(base::defaultPlanDirectory());
    for (const QByteArray& content :
         {QByteArray(), QByteArray("[Prefs]\r\nPlan Directory=NONE\r\n")}) {
        ASSERT_TRUE(sw::test::writeFile(m_viewer.iniPath, content));
        PrefsForm form;
        form.SetIni(m_viewer.iniPath);
        form.show();
        EXPECT_EQ(form.PlanFolder->text(), expected);
        EXPECT_EQ(base::readProfileString(m_viewer.iniPath, "Prefs", "Plan Directory", "-"),
                  expected);
        EXPECT_FALSE(sw::test::readFile(m_viewer.iniPath).contains("Print")) << "only the folder";
    }
}

// With a configuration folder that cannot be written, a save was lost with only a warning on
// standard error: the dialog says why at opening and on "Save", and keeps the user's choices.
// (The folder is a plain file here: a folder made read-only does not stop the root user.)
TEST_F(PlanDialogs, ASaveThatFailsIsToldInTheDialogWhichStaysOpen) {
    ASSERT_TRUE(sw::test::writeFile(m_temp.filePath("config"), {}));
    const QString ini = m_viewer.iniPath = m_temp.filePath("config/Sheetwise.ini");
    QPointer<PrefsForm> form = openPrefs();
    ASSERT_TRUE(form);
    EXPECT_TRUE(form->Problem->text().startsWith("Preferences cannot be saved: cannot write"));
    form->Check1->setChecked(true);
    form->Command2->click();
    QTest::qWait(50);
    ASSERT_FALSE(form.isNull());
    EXPECT_TRUE(form->Problem->isVisible());
    EXPECT_TRUE(form->Problem->text().startsWith(
        "The preferences were not saved: cannot write the settings file " + ini))
        << form->Problem->text().toStdString();
    EXPECT_TRUE(form->Check1->isChecked());
}

// ---- Markup ----------------------------------------------------------------------------------

// "Markup" shows one about window with this build's version; once closed, it opens anew.
TEST_F(PlanDialogs, MarkupShowsTheAboutWindowOnce) {
    m_viewer.DoCommand("Markup");
    m_viewer.DoCommand("Markup");
    ASSERT_EQ(m_viewer.findChildren<UpgradeFrm*>().size(), 1);
    QPointer<UpgradeFrm> window = m_viewer.findChild<UpgradeFrm*>();
    EXPECT_EQ(window->windowTitle() + ", " + window->version->text(),
              "About Sheetwise, Version " SW_EXPECTED_VERSION);
    EXPECT_FALSE(window->Picture1->pixmap().isNull());
    window->close();
    EXPECT_TRUE(closesItself(window));
    m_viewer.DoCommand("Markup");
    EXPECT_EQ(m_viewer.findChildren<UpgradeFrm*>().size(), 1);
}

}  // namespace
}  // namespace sw::plans
