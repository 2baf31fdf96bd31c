#include "host/ui/plan_dialog_commands.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include "base/host_calls.h"
#include "base/ini_store.h"
#include "base/preferences.h"
#include "host/ui/fast_viewer.h"
#include "host/ui/standard_calls.h"
#include "plans/ui/batch_download.h"
#include "plans/ui/prefs_form.h"
#include "plans/ui/upgrade_frm.h"

namespace sw::host {
namespace {

template <typename Dialog>
QList<Dialog*> openDialogs() {
    QList<Dialog*> found;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<Dialog*>(widget); dialog && dialog->isVisible()) {
            found << dialog;
        }
    }
    return found;
}

// The viewer's toolbar words reach the plan dialogs; project "2004-0815" of site "north".
class PlanDialogCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_viewer.iniPath = m_dir.filePath("Sheetwise.ini");
        base::writeProfileString(m_viewer.iniPath, "Prefs", "Plan Directory",
                                 m_dir.filePath("plans"));
        m_viewer.setMessageSink([](const QString&) {});
    }
    void TearDown() override {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            delete qobject_cast<QDialog*>(widget);
        }
    }

    void initProject(qint32 rotation) {
        QString url = "http://127.0.0.1:1/";
        QString id = "2004~0815";
        QString name = "Main Street School";
        QString site = "north";
        m_viewer.InitVars(url, id, name, rotation, site);
        QString list = "hdr~A,Sheet 1,s1.tif~A,Sheet 2,s2.tif~B,Sheet 3,s3.tif";
        m_viewer.MakePlanList(list);
    }

    bool call(const QJsonArray& call) {
        return base::HostCallRunner(m_viewer, standardRegistry(), base::Trust::Trusted)
            .run(call)
            .value("ok")
            .toBool();
    }

    QTemporaryDir m_dir;
    FastViewer m_viewer;
};

// A full turn does not fit the batch's 16-bit hundredths of a degree.
TEST_F(PlanDialogCommandsTest, DownloadOpensTheProjectsSheetsOrShowsTheOverflow) {
    initProject(90);
    m_viewer.DoCommand("Download");
    const QList<plans::BatchDownload*> open = openDialogs<plans::BatchDownload>();
    ASSERT_EQ(open.size(), 1);
    EXPECT_EQ(open.first()->parentWidget(), m_viewer.window());
    EXPECT_EQ(open.first()->batchRotation, 9000);
    EXPECT_EQ(open.first()->thelist->count(), 3);
    EXPECT_TRUE(QFile::exists(m_dir.filePath("plans/north/2004-0815/desc.txt")));
    EXPECT_TRUE(m_viewer.messagesShown.isEmpty());
    delete open.first();

    initProject(360);
    m_viewer.DoCommand("Download");
    EXPECT_TRUE(openDialogs<plans::BatchDownload>().isEmpty());
    EXPECT_EQ(m_viewer.messagesShown, QStringList{"Overflow"});
}

// A script drives the preferences through the object names, as a host page or a test would. A
// second "Prefs" keeps the one dialog and the user's edits. With no user the folder chooser is
// cancelled: the empty folder is saved and falls back to the default at the next ResetRoot.
TEST_F(PlanDialogCommandsTest, ScriptedPrefsSaveReachesTheNextResetRoot) {
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        GTEST_SKIP() << "a screen is attached: Choose Folder would wait for a user";
    }
    base::writeProfileString(m_viewer.iniPath, "Prefs", "Print In Blue", "0");
    EXPECT_TRUE(call({"DoCommand", "Prefs"}));
    ASSERT_EQ(openDialogs<plans::PrefsForm>().size(), 1);
    EXPECT_EQ(openDialogs<plans::PrefsForm>().first()->iniPath(), m_viewer.iniPath);
    EXPECT_TRUE(call({"Set", "PrefsForm/Check1", true}));
    EXPECT_TRUE(call({"DoCommand", "Prefs"}));
    ASSERT_EQ(openDialogs<plans::PrefsForm>().size(), 1);
    EXPECT_TRUE(openDialogs<plans::PrefsForm>().first()->Check1->isChecked());
    EXPECT_TRUE(call({"Click", "PrefsForm/Command1"}));
    EXPECT_TRUE(call({"Click", "PrefsForm/Command2"}));
    EXPECT_TRUE(QTest::qWaitFor([] { return openDialogs<plans::PrefsForm>().isEmpty(); }, 2000));
    EXPECT_EQ(base::readProfileString(m_viewer.iniPath, "Prefs", "Plan Directory", "none"), "");
    m_viewer.ResetRoot();
    EXPECT_TRUE(m_viewer.printInBlue);
    EXPECT_EQ(m_viewer.planDirectory, base::defaultPlanDirectory());
}

// "Markup" shows one about window with this build's version; once closed, it opens anew.
TEST_F(PlanDialogCommandsTest, MarkupShowsTheAboutWindowOnce) {
    m_viewer.DoCommand("Markup");
    m_viewer.DoCommand("Markup");
    const QList<plans::UpgradeFrm*> open = openDialogs<plans::UpgradeFrm>();
    ASSERT_EQ(open.size(), 1);
    QPointer<plans::UpgradeFrm> window = open.first();
    EXPECT_EQ(window->windowTitle(), "About Sheetwise");
    EXPECT_EQ(window->version->text(), "Version " SW_EXPECTED_VERSION);
    EXPECT_FALSE(window->Picture1->pixmap().isNull());
    window->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.isNull(); }, 2000));
    m_viewer.DoCommand("Markup");
    EXPECT_EQ(openDialogs<plans::UpgradeFrm>().size(), 1);
}

}  // namespace
}  // namespace sw::host
