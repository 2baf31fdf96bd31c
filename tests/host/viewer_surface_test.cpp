// The viewer control as a user drives it: focus changes and real mouse, wheel and key events on
// the real imaging control, toolbar and trees, with sheets loaded from files in a temporary folder.
#include "host_test_support.h"
#include <gtest/gtest.h>

#include <functional>

#include <QDir>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "base/ini_store.h"
#include "base/script_error.h"
#include "host/ui/fast_viewer.h"
#include "host/ui/tree_nodes.h"
#include "imaging/ui/imaging_control.h"
#include "viewing/ui/command_toolbar.h"
#include "viewing/ui/status_panels.h"
#include "widgets/sw_ruler.h"
#include "widgets/twips.h"

namespace sw::host {
namespace {

using imaging::ImagingControl;
using test::writeTestSheet;

void mouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
           QPointF at) {
    QMouseEvent event(type, at, w->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

void click(QWidget* w, QPointF at) {
    mouse(w, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, at);
    mouse(w, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, at);
}

class ViewerSurface : public ::testing::Test {
protected:
    void SetUp() override {
        widgets::pinTwipsPerPixel(15.0);
        m_viewer.iniPath = m_dir.filePath("Sheetwise.ini");
        base::writeProfileString(m_viewer.iniPath, "Prefs", "Plan Directory",
                                 m_dir.filePath("plans"));
        QDir().mkpath(m_dir.filePath("sheets"));
        writeTestSheet(sheet("A-101.tif"), 36, 24);
        m_viewer.resize(1000, 700);
        m_viewer.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_viewer));
    }

    void TearDown() override { widgets::pinTwipsPerPixel(std::nullopt); }

    QString sheet(const QString& name) const { return m_dir.filePath("sheets/" + name); }

    // The project of the sheets folder: its plan URL is the folder itself.
    void initProject() {
        QString url = QUrl::fromLocalFile(m_dir.path()).toString() + "/", id = "sheets-x",
                name = "Main Street School", site = "north";
        qint32 rotation = 0;
        m_viewer.InitVars(url, id, name, rotation, site);
        m_viewer.planUrl = m_dir.filePath("sheets") + "/";
        QString list = "hdr~A,A-101 Site,A-101.tif~A,A-102 Roof,A-102.tif~S,S-201 Frame,S-201.tif";
        m_viewer.MakePlanList(list);
    }

    // Runs `start` and waits for the load it starts to end; returns whether the sheet loaded.
    bool loaded(const std::function<void()>& start) {
        QSignalSpy ended(&m_viewer, &FastViewer::loadEnded);
        start();
        if (!ended.wait(30000)) {
            return false;
        }
        QCoreApplication::processEvents();
        return ended.first().at(0).toBool();
    }
    bool load(const QString& path, const QString& name) {
        return loaded([&] { m_viewer.SetFirstImage(path, name); });
    }

    QRectF display() const { return m_viewer.viewer->displayRect(); }

    // The rulers' scales (20 pixels after the horizontal ruler's start) run along the sheet.
    void expectRulersAlongTheSheet() {
        const QRectF d = display().translated(m_viewer.viewer->pos());
        EXPECT_NEAR(m_viewer.HorRuler->x() + 20, d.left(), 1.0);
        EXPECT_NEAR(m_viewer.HorRuler->width() - 20, d.width(), 1.0);
        EXPECT_NEAR(m_viewer.VertRuler->y(), d.top(), 1.0);
        EXPECT_NEAR(m_viewer.VertRuler->height(), d.height(), 1.0);
    }

    QTemporaryDir m_dir;
    FastViewer m_viewer;
};

TEST_F(ViewerSurface, AClickZoomsADoubleClickFitsTheWheelZoomsAboutThePointerADragToTheBand) {
    ASSERT_TRUE(load(sheet("A-101.tif"), "A-101"));
    ImagingControl* v = m_viewer.viewer;
    const double fitted = v->zoom();
    click(v, {300, 200});
    EXPECT_EQ(v->paintSizeMode(), ImagingControl::kZoom);
    EXPECT_DOUBLE_EQ(v->zoom(), fitted + 10);
    click(v, {300, 200});
    mouse(v, QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, {300, 200});
    mouse(v, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {300, 200});
    EXPECT_EQ(v->paintSizeMode(), ImagingControl::kFit);
    EXPECT_FALSE(m_viewer.suppressClickZoom) << "the second release cleared it";

    // The wheel zooms about the pointer: the sheet's point under it stays under it.
    const QPointF at(250, 180);
    const QRectF before = display();
    const QPointF fraction((at.x() - before.left()) / before.width(),
                           (at.y() - before.top()) / before.height());
    QWheelEvent wheel(at, v->mapToGlobal(at), {}, {0, 240}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(v, &wheel);
    const QRectF after = display();
    EXPECT_GT(after.width(), before.width() * 1.5) << "two notches from the fitted scale";
    EXPECT_NEAR(after.left() + fraction.x() * after.width(), at.x(), 1.0);
    EXPECT_NEAR(after.top() + fraction.y() * after.height(), at.y(), 1.0);

    mouse(v, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {200, 150});
    mouse(v, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {400, 300});
    mouse(v, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {400, 300});
    EXPECT_EQ(v->paintSizeMode(), ImagingControl::kZoom);
    EXPECT_NE(v->zoom(), fitted + 10) << "the release did not zoom at its point as well";
    EXPECT_FALSE(m_viewer.suppressClickZoom);
    expectRulersAlongTheSheet();
}

// Keys run their commands, from the window and from the sheet once it has the focus; the plan
// list opens on the shown sheet and Enter opens the chosen one.
TEST_F(ViewerSurface, KeysRunTheirCommands) {
    writeTestSheet(sheet("A-102.tif"), 24, 18);
    initProject();
    ASSERT_TRUE(load("A-101.tif", "A-101 Site"));
    QTest::keyClick(&m_viewer, Qt::Key_Plus);
    EXPECT_EQ(m_viewer.viewer->paintSizeMode(), ImagingControl::kZoom);
    QTest::keyClick(m_viewer.viewer, Qt::Key_0);
    EXPECT_EQ(m_viewer.viewer->paintSizeMode(), ImagingControl::kFit);
    ASSERT_TRUE(loaded([this] { QTest::keyClick(m_viewer.viewer, Qt::Key_PageDown); }));
    EXPECT_EQ(m_viewer.panelText(3), "Plan 2 of 3");

    m_viewer.DoCommand("Plans");
    ASSERT_NE(m_viewer.pmn->currentItem(), nullptr);
    EXPECT_EQ(m_viewer.pmn->currentItem()->text(0), "A-102 Roof");
    QTest::keyClick(m_viewer.pmn, Qt::Key_Up);
    ASSERT_TRUE(loaded([this] { QTest::keyClick(m_viewer.pmn, Qt::Key_Return); }));
    EXPECT_FALSE(m_viewer.pmn->isVisible());
    EXPECT_EQ(m_viewer.panelText(1), "A-101 Site");
}

// Without a sheet both rulers run along the viewer, empty; with the sheet zoomed so that its top
// lies above the viewer, the vertical ruler slides under the toolbar without showing through it.
TEST_F(ViewerSurface, TheRulersStayBelowTheToolbarAndRunEmptyWithoutASheet) {
    EXPECT_EQ(m_viewer.HorRuler->width(), m_viewer.viewer->width() + 20);
    EXPECT_EQ(m_viewer.VertRuler->height(), m_viewer.viewer->height());
    ASSERT_TRUE(load(sheet("A-101.tif"), "A-101"));
    for (int i = 0; i < 3; ++i) {
        m_viewer.DoCommand("In");
    }
    const QRect bar = m_viewer.toolbar->geometry();
    ASSERT_LT(m_viewer.VertRuler->y(), bar.bottom());
    const QImage shot = m_viewer.grab(bar).toImage();
    EXPECT_EQ(shot.pixel(2, 2), shot.pixel(shot.width() - 3, 2));
    const QWidget* panel5 = m_viewer.status->findChild<QWidget*>("panel5");
    EXPECT_GT(m_viewer.statusbar->x(), panel5->mapTo(&m_viewer, QPoint(panel5->width(), 0)).x());
}

// A site of thousands of levels is refused by the page's call when it cannot be a path at all,
// and by "Save" before any folder is made when the plan folder makes it too long.
TEST_F(ViewerSurface, ASiteTooDeepForTheFileSystemLeavesNoFolders) {
    initProject();
    ASSERT_TRUE(load("A-101.tif", "A-101 Site"));
    QString url = "http://h/", id = "1-2", name = "P";
    qint32 rotation = 0;
    QString site = QString("a/").repeated(160000);
    EXPECT_THROW(m_viewer.InitVars(url, id, name, rotation, site), base::ScriptError);
    site = QString("a/").repeated(2040);
    m_viewer.InitVars(url, id, name, rotation, site);
    m_viewer.DoCommand("Save");
    EXPECT_FALSE(QFileInfo::exists(m_dir.filePath("plans/a")));
    ASSERT_EQ(m_viewer.messagesShown.size(), 2);
    EXPECT_TRUE(m_viewer.messagesShown.first().startsWith("Path too long"));
}

// The plan list closes once the pointer has left it (the pointer going on moving does not put
// the tick off).
TEST_F(ViewerSurface, ThePlanListClosesOnceThePointerHasLeftIt) {
    initProject();
    m_viewer.DoCommand("Plans");
    ASSERT_TRUE(m_viewer.pmn->isVisible());
    const QPoint outside(m_viewer.pmn->width() + 200, 200);  // over the sheet, right of the list
    QCursor::setPos(m_viewer.viewer->mapToGlobal(outside));
    mouse(m_viewer.viewer, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, outside);
    EXPECT_TRUE(m_viewer.Timer1->isActive());
    QTest::qSleep(250);
    mouse(m_viewer.viewer, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, outside + QPoint(5, 0));
    EXPECT_LT(m_viewer.Timer1->remainingTime(), 400);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !m_viewer.pmn->isVisible(); }, 5000));
    EXPECT_FALSE(m_viewer.planListShown);
    EXPECT_FALSE(m_viewer.Timer1->isActive());
}

// A saved sheet opens from the saved tree without the server, as it was saved; one that cannot
// be opened shows a message and leaves the viewer empty.
TEST_F(ViewerSurface, SavedSheetsOpenFromTheSavedTreeWithoutTheServerOrSayWhyNot) {
    initProject();
    QDir().mkpath(m_dir.filePath("plans/north/p1"));
    ASSERT_TRUE(test::writeFile(m_dir.filePath("plans/north/p1/broken.tif"), "not a tiff"));
    m_viewer.DoCommand("Saved");
    emit m_viewer.LocalPlans->itemDoubleClicked(findTreeItem(*m_viewer.LocalPlans, "broken.tif"),
                                                0);
    ASSERT_EQ(m_viewer.messagesShown.size(), 1);
    EXPECT_EQ(m_viewer.viewer->loadedImage(), 0);

    ASSERT_TRUE(load("A-101.tif", "A-101 Site"));
    m_viewer.DoCommand("+90");
    m_viewer.DoCommand("Save");
    m_viewer.DoCommand("Saved");

    m_viewer.DoCommand("-90");  // the shown sheet differs from the saved one again
    QTreeWidgetItem* item = findTreeItem(*m_viewer.LocalPlans, "A-101 Site.tif");
    ASSERT_NE(item, nullptr);
    emit m_viewer.LocalPlans->itemDoubleClicked(item, 0);
    EXPECT_FALSE(m_viewer.LocalPlans->isVisible());
    EXPECT_EQ(m_viewer.HorRuler->Max(), 24) << "saved turned, opened without a turn";
    EXPECT_EQ(m_viewer.viewer->paintSizeMode(), ImagingControl::kFit);
    EXPECT_EQ(m_viewer.messagesShown.size(), 1);
}

}  // namespace
}  // namespace sw::host
