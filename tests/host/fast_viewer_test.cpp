#include "host/ui/fast_viewer.h"

#include "support/qt_print.h"
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "host/ini_store.h"
#include "host/script_error.h"
#include "host/ui/tree_nodes.h"
#include "imaging/ui/imaging_control.h"
#include "viewing/ui/status_panels.h"

namespace sw::host {
namespace {

class ViewerFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_viewer.iniPath = m_dir.filePath("Sheetwise.ini");
        writeProfileString(m_viewer.iniPath, "Prefs", "Plan Directory", m_dir.filePath("plans"));
        m_viewer.resize(800, 600);
    }

    void initProject() {
        QString url = "http://h/";
        QString id = "2004~0815";
        QString name = "Main Street School";
        qint32 rotation = 90;
        QString site = "north";
        m_viewer.InitVars(url, id, name, rotation, site);
        QString list = "hdr~A,Sheet 1,s1.tif~A,Sheet 2,s2.tif~B,Sheet 3,s3.tif";
        m_viewer.MakePlanList(list);
    }

    QTemporaryDir m_dir;
    FastViewer m_viewer;
};

TEST_F(ViewerFixture, StartsWithHiddenPopupsAndFivePanels) {
    EXPECT_EQ(m_viewer.objectName(), "FastViewer");
    EXPECT_TRUE(m_viewer.pmn->isHidden());
    EXPECT_TRUE(m_viewer.LocalPlans->isHidden());
    EXPECT_TRUE(m_viewer.v2->isHidden());
    EXPECT_FALSE(m_viewer.viewer->isHidden());
    EXPECT_EQ(m_viewer.status->findChildren<QLabel*>().size(), FastViewer::kStatusPanels);
    EXPECT_EQ(m_viewer.planLabels, QStringList{""});
}

TEST_F(ViewerFixture, InitVarsChangesTheCallersVariableAndClearsPanState) {
    m_viewer.panning = true;
    m_viewer.suppressClickZoom = true;
    QString url = "http://h/";
    QString id = "2004~08~15";
    QString name = "P";
    qint32 rotation = 180;
    QString site = "north";
    m_viewer.InitVars(url, id, name, rotation, site);
    EXPECT_EQ(id, "2004-08-15");
    EXPECT_EQ(m_viewer.planUrl, "http://h/2004/08-15/plans/");
    EXPECT_FALSE(m_viewer.panning);
    EXPECT_FALSE(m_viewer.suppressClickZoom);
}

TEST_F(ViewerFixture, SetImageBeforeInitVarsLoadsThePathUnchanged) {
    m_viewer.SetImage("s1.tif", "ignored");
    EXPECT_EQ(m_viewer.viewer->loadAddress(), "s1.tif");
    EXPECT_TRUE(m_viewer.viewer->loadSwitch());
    EXPECT_EQ(m_viewer.panelText(1), "s1.tif");
    EXPECT_EQ(m_viewer.currentPlanName, "");
}

TEST_F(ViewerFixture, SetFirstImageLoadsUnderThePlanUrlAndNamesTheSheet) {
    initProject();
    m_viewer.SetFirstImage("s1.tif", "A-101 Site Plan");
    EXPECT_EQ(m_viewer.viewer->loadAddress(), "http://h/2004/0815/plans/s1.tif");
    EXPECT_EQ(m_viewer.panelText(1), "s1.tif");
    EXPECT_EQ(m_viewer.currentPlanName, "A-101 Site Plan");
}

TEST_F(ViewerFixture, PlanTreeShowsTheList) {
    initProject();
    EXPECT_EQ(m_viewer.pmn->topLevelItemCount(), 2);
    EXPECT_EQ(m_viewer.pmn->topLevelItem(1)->child(0)->text(0), "Sheet 3");
    EXPECT_EQ(treeItemKey(*m_viewer.pmn->topLevelItem(1)->child(0)), "c4");
}

TEST_F(ViewerFixture, FailingListKeepsTheNodesAddedBefore) {
    initProject();
    QString list = "hdr~A,1,a~B";
    EXPECT_THROW(m_viewer.MakePlanList(list), ScriptError);
    EXPECT_EQ(treeNodesJson(*m_viewer.pmn).size(), 3);
    EXPECT_EQ(m_viewer.planLabels, QStringList({"c1~1", ""}));
}

TEST_F(ViewerFixture, DoubleClickOnASheetOpensIt) {
    initProject();
    m_viewer.show();
    m_viewer.pmn->show();
    m_viewer.planListShown = true;
    emit m_viewer.pmn->itemDoubleClicked(findTreeItem(*m_viewer.pmn, "c4"), 0);
    EXPECT_EQ(m_viewer.viewer->loadAddress(), "http://h/2004/0815/plans/s3.tif");
    EXPECT_EQ(m_viewer.currentPlanName, "Sheet 3");
    EXPECT_EQ(m_viewer.panelText(1), "s3.tif");
    EXPECT_TRUE(m_viewer.pmn->isHidden());
    EXPECT_TRUE(m_viewer.planListShown);
}

TEST_F(ViewerFixture, DoubleClickOnAGroupDoesNothing) {
    initProject();
    m_viewer.show();
    m_viewer.pmn->show();
    emit m_viewer.pmn->itemDoubleClicked(findTreeItem(*m_viewer.pmn, "c3"), 0);
    EXPECT_EQ(m_viewer.viewer->loadAddress(), "");
    EXPECT_FALSE(m_viewer.pmn->isHidden());
}

TEST_F(ViewerFixture, PopupTreeHidesWhenItLosesTheFocus) {
    QLineEdit elsewhere(&m_viewer);
    m_viewer.show();
    QApplication::setActiveWindow(&m_viewer);
    m_viewer.pmn->show();
    m_viewer.pmn->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(m_viewer.pmn->hasFocus());
    elsewhere.setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(m_viewer.pmn->isHidden());
}

TEST_F(ViewerFixture, GainingTheFocusRereadsThePlanFolder) {
    QLineEdit outside;
    outside.show();
    m_viewer.show();
    QApplication::processEvents();  // the platform activates shown windows asynchronously
    QApplication::setActiveWindow(&outside);
    outside.setFocus();
    QApplication::processEvents();
    writeProfileString(m_viewer.iniPath, "Prefs", "Plan Directory", "/elsewhere");
    QApplication::setActiveWindow(&m_viewer);
    m_viewer.viewer->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(m_viewer.planDirectory, "/elsewhere");
}

TEST_F(ViewerFixture, SavedPlansTreeComesFromDisk) {
    const QString project = m_dir.filePath("plans/north/2004-0815");
    ASSERT_TRUE(QDir().mkpath(project));
    QFile desc(project + "/desc.txt");
    ASSERT_TRUE(desc.open(QIODevice::WriteOnly));
    desc.write("Main Street School\r\n");
    desc.close();
    QFile sheet(project + "/A1.tif");
    ASSERT_TRUE(sheet.open(QIODevice::WriteOnly));
    sheet.close();
    m_viewer.FillSavedPlans();
    EXPECT_EQ(treeNodesJson(*m_viewer.LocalPlans).size(), 3);
    EXPECT_EQ(findTreeItem(*m_viewer.LocalPlans, "c2")->text(0), "Main Street School");
    EXPECT_EQ(m_viewer.savedFolders.size(), 3);
}

TEST_F(ViewerFixture, MessagesGoToTheSinkAndAreKept) {
    QStringList seen;
    m_viewer.setMessageSink([&seen](const QString& text) { seen << text; });
    m_viewer.showMessage("Path not found");
    EXPECT_EQ(seen, QStringList{"Path not found"});
    EXPECT_EQ(m_viewer.messagesShown, QStringList{"Path not found"});
}

}  // namespace
}  // namespace sw::host
