// The Measure tool in the viewer, driven by host calls as a page or a user would: its call
// surface, values that hold through turns, zoom and resizes with the drawing on the sheet, and
// the measurements kept with the sheet and read again from the server and the saved plans.
#include "../host/host_test_support.h"
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>

#include "base/host_calls.h"
#include "base/ini_store.h"
#include "host/ui/fast_viewer.h"
#include "host/ui/standard_calls.h"
#include "imaging/ui/imaging_control.h"

namespace sw::host {
namespace {

QString compact(const QJsonValue& v) {
    return QString::fromUtf8(QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact));
}

class MeasureViewer : public ::testing::Test {
protected:
    void SetUp() override {
        m_viewer.iniPath = m_dir.filePath("Sheetwise.ini");
        base::writeProfileString(m_viewer.iniPath, "Prefs", "Plan Directory",
                                 m_dir.filePath("plans"));
        QDir().mkpath(m_dir.filePath("server/2004/0815/plans"));
        // 6 x 4 in at 100 dpi: 600 x 400 sheet pixels.
        test::writeTestSheet(m_dir.filePath("server/2004/0815/plans/A-101.tif"), 6, 4, 100);
        test::writeTestSheet(m_dir.filePath("server/2004/0815/plans/A-102.tif"), 5, 4, 100);
        m_viewer.resize(1000, 700);
        m_viewer.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_viewer));
        ok({"InitVars", m_dir.filePath("server") + "/", "2004-0815", "Main Street School", 0,
            "north"});
        ok({"MakePlanList", "hdr~A,A-101 Site,A-101.tif~A,A-102 Roof,A-102.tif"});
        open("A-101.tif", "A-101 Site");
    }

    QJsonObject run(const QJsonArray& call) {
        return base::HostCallRunner(m_viewer, standardRegistry(), base::Trust::Trusted).run(call);
    }
    void ok(const QJsonArray& call) {
        const QJsonObject reply = run(call);
        ASSERT_TRUE(reply.value("ok").toBool()) << compact(reply).toStdString();
    }
    void open(const char* file, const char* name) {
        ok({"SetFirstImage", file, name});
        ok({"WaitLoaded", 30000});
    }
    QJsonObject state() { return run({"Dump"})["state"].toObject(); }
    QJsonObject measure() { return state()["measure"].toObject(); }
    QJsonArray items() { return measure()["items"].toArray(); }

    // Window pixel of the imaging control where source pixel `p` lies while the sheet shows as
    // fetched, or turned a quarter clockwise (source (x, y) is then image (H - y, x)).
    QPointF window(QPointF p, bool turned = false) {
        const QJsonObject imaging = state()["imaging"].toObject();
        const QJsonArray d = imaging["displayRect"].toArray();
        const double w = imaging["width"].toDouble();
        const double h = imaging["height"].toDouble();
        const QPointF image = turned ? QPointF(w - p.y(), p.x()) : p;
        return {d[0].toDouble() + image.x() * d[2].toDouble() / w,
                d[1].toDouble() + image.y() * d[3].toDouble() / h};
    }
    void click(QPointF p, bool turned = false) {
        const QPointF at = window(p, turned);
        ok({"Mouse", "down", 1, at.x(), at.y()});
        ok({"Mouse", "up", 1, at.x(), at.y()});
    }
    // A length, a path ended by a double click and an area ended by Enter after Backspace took
    // a stray point back.
    void measureThreeKinds() {
        ok({"Set", "Measure/Kind", "length"});
        click({100, 100});
        click({500, 100});
        ok({"Set", "Measure/Kind", "path"});
        click({100, 200});
        click({300, 200});
        click({300, 350});
        const QPointF end = window({300, 350});
        ok({"Mouse", "dblclick", 1, end.x(), end.y()});
        ok({"Mouse", "up", 1, end.x(), end.y()});
        ok({"Set", "Measure/Kind", "area"});
        for (const QPointF p :
             {QPointF(350, 150), QPointF(550, 150), QPointF(550, 350), QPointF(450, 390)}) {
            click(p);
        }
        ok({"Key", "Backspace"});
        click({350, 350});
        ok({"Key", "Enter"});
    }
    QString sidecar() const {
        return m_dir.filePath("plans/north/2004-0815/measurements/A-101 Site.measure.json");
    }

    QTemporaryDir m_dir;
    FastViewer m_viewer;
};

// The call surface end to end, then the same values through a turn, a zoom and a resize, with
// clicks and drawing on the turned sheet.
TEST_F(MeasureViewer, HostCallsDriveTheToolAndValuesHoldThroughTurnsZoomAndResize) {
    EXPECT_EQ(compact(measure()),
              R"([{"active":false,"items":[],"kind":"length","scale":"paper","units":"ft-in"}])");
    ok({"DoCommand", "Measure"});
    EXPECT_TRUE(run({"Get", "FastViewer/button_Measure"})["result"][u"checked"].toBool());
    ok({"Set", "Measure/Scale", "1/4\" = 1'-0\""});
    EXPECT_EQ(run({"Set", "Measure/Scale", "quarter inch"})["error"].toString(),
              "\"quarter inch\" is not a drawing scale; write it as 1/4\" = 1'-0\", 1\" = 20', "
              "1:50 or paper");
    const QJsonValue fit = state()["imaging"][u"displayRect"];
    measureThreeKinds();
    EXPECT_EQ(state()["imaging"][u"displayRect"], fit);  // the clicks did not zoom
    EXPECT_EQ(
        compact(measure()),
        R"([{"active":true,"items":[{"kind":"length","points":[[100,100],[500,100]],"real":192,)"
        R"("text":"16'-0\""},{"kind":"path","points":[[100,200],[300,200],[300,350]],"real":168,)"
        R"("text":"14'-0\""},{"kind":"area","points":[[350,150],[550,150],[550,350],[350,350]],)"
        R"("real":9216,"text":"64.00 sq ft, perimeter 32'-0\""}],"kind":"area",)"
        R"("scale":"1/4\" = 1'-0\"","units":"ft-in"}])");

    // Calibration: 400 pixels (4 in on paper) are 10 m.
    ok({"Click", "Measure/Calibrate"});
    click({100, 380});
    click({500, 380});
    ok({"Set", "Measure/Calibration", "10 m"});
    EXPECT_EQ(measure()["scale"].toString(), "1:98.4252 (calibrated)");
    ok({"Set", "Measure/Units", "m"});
    EXPECT_EQ(items().at(0)[u"text"].toString(), "10.000 m");

    const QJsonArray before = items();
    ok({"DoCommand", "+90"});
    ok({"DoCommand", "In"});
    ok({"Resize", 1100, 750});
    EXPECT_EQ(compact(items()), compact(before));
    // After the turn a click still lands on the sheet point under it.
    ok({"Set", "Measure/Kind", "length"});
    click({200, 150}, true);
    click({200, 350}, true);
    EXPECT_EQ(compact(items().last()[u"points"]), "[[[200,150],[200,350]]]");
    // The first length is drawn where its sheet points now lie (a quarter along it).
    const QRgb line = m_viewer.viewer->grab().toImage().pixel(window({200, 100}, true).toPoint());
    EXPECT_GT(qRed(line), 150);
    EXPECT_LT(qGreen(line), 90);

    ok({"DoCommand", "Magnify"});  // another tool
    EXPECT_FALSE(measure()["active"].toBool());
    ok({"Key", "m"});
    EXPECT_TRUE(measure()["active"].toBool());
    ok({"Key", "Escape"});
    EXPECT_FALSE(measure()["active"].toBool());
    const QJsonValue shown = state()["imaging"][u"displayRect"];
    click({300, 200}, true);  // measuring is off: a click zooms again
    EXPECT_NE(state()["imaging"][u"displayRect"], shown);
}

TEST_F(MeasureViewer, KeptWithTheSheetAndReadAgainFromServerAndSavedPlans) {
    ok({"DoCommand", "Measure"});
    ok({"Set", "Measure/Scale", "1\" = 10'"});
    click({100, 100});
    click({500, 100});
    click({100, 300});
    click({500, 300});
    ok({"Select", "Measure/Items", QJsonArray{0}});
    ok({"Key", "Delete"});  // the removal is kept too
    const QJsonArray kept = items();
    ASSERT_EQ(kept.size(), 1);
    EXPECT_TRUE(QFile::exists(sidecar()));
    EXPECT_TRUE(QFile::exists(m_dir.filePath("plans/north/2004-0815/desc.txt")));

    open("A-102.tif", "A-102 Roof");
    EXPECT_EQ(items().size(), 0);
    EXPECT_EQ(measure()["scale"].toString(), "paper");
    open("A-101.tif", "A-101 Site");
    EXPECT_EQ(compact(items()), compact(kept));
    EXPECT_EQ(measure()["scale"].toString(), "1\" = 10'");

    // Saved turned, opened from the saved plans: the same sheet points, on a turned file.
    ok({"DoCommand", "+90"});
    ok({"DoCommand", "Save"});
    ok({"DoCommand", "-90"});
    ok({"DoCommand", "Saved"});
    ok({"DblClick", "FastViewer/LocalPlans", "A-101 Site.tif"});
    EXPECT_EQ(state()["imaging"][u"width"].toInt(), 400);
    EXPECT_EQ(compact(items()), compact(kept));
    click({300, 300}, true);
    click({500, 300}, true);
    EXPECT_EQ(compact(items().last()[u"points"]), "[[[300,300],[500,300]]]");

    // A damaged file: a clear message, an empty list, and the file set aside at the next change.
    ASSERT_TRUE(test::writeFile(sidecar(), "{\"sheetwise\": "));
    open("A-101.tif", "A-101 Site");
    EXPECT_EQ(items().size(), 0);
    EXPECT_TRUE(m_viewer.messagesShown.last().contains("cannot be read"));
    click({100, 100});
    click({200, 100});
    EXPECT_TRUE(QFile::exists(sidecar() + ".damaged"));
    EXPECT_EQ(items().size(), 1);
}

}  // namespace
}  // namespace sw::host
